// quandel-cli as a user runs it: exit codes, bytes written, files left behind.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <filesystem>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "check.h"
#include "cp1252.h"
#include "dtaus.h"
#include "dtaus_builder.h"
#include "known_accounts.h"
#include "product.h"
#include "run_cli.h"
#include "temp_dir.h"
#include "verdict.h"
#include "version.h"

using clitest::DataFile;
using clitest::ReadBytes;
using clitest::RunCli;
using namespace testdta;

namespace {

// Three payments with what the exports must treat carefully: DIN umlauts in a purpose line,
// Windows-1252 letters, a name holding ";" and a double quote, extension parts.
std::string SampleFile() {
  ARecord a;
  a.name =
      "M\xFC"
      "LLER & S\xD6HNE";
  CRecord c1;
  c1.name = "MEIER; \"X\" GMBH";
  c1.purpose = "RECHNUNG [1]";
  c1.euro = "00000123456";
  CRecord c2;
  c2.blz = "10020030";
  c2.konto = "0000000042";
  c2.name =
      "B\xC4"
      "CKEREI \x80";
  c2.euro = "00000000029";
  c2.extensions = {{"02", "ZWEITE ZEILE"}, {"02", ""}, {"02", "DRITTE \\BER"}};
  CRecord c3;
  c3.name = "KOMMA, KLAUS";
  c3.euro = "00000000001";
  return File(a, {c1, c2, c3});
}

std::string Rendered(const std::string& file, const ombra::TRegionalSettings& rs) {
  ombra::TDtaus doc;
  doc.Load(file, rs);
  ombra::TLineList lines;
  doc.RenderControlList(lines, support::FooterText(), rs);
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

std::size_t EntriesIn(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

class CliTest : public ::testing::Test {
 protected:
  TempDir dir;
};

// --- html ---------------------------------------------------------------------------------

TEST_F(CliTest, HtmlIsTheCoreRenderingWithTheSharedFooterInEitherLocale) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  const std::pair<const char*, ombra::TRegionalSettings> locales[] = {
      {"de_DE", ombra::TRegionalSettings::de_DE()}, {"en_US", ombra::TRegionalSettings::en_US()}};
  for (const auto& [name, rs] : locales) {
    SCOPED_TRACE(name);
    const auto run = RunCli({"html", file, "--locale", name});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, Rendered(file, rs));
    EXPECT_NE(run.Out.find(support::FooterText() + "</font></p></body></html>\r\n"), std::string::npos);
  }
  // The two locales must really differ, or the comparison above proves little.
  EXPECT_NE(Rendered(file, ombra::TRegionalSettings::de_DE()),
            Rendered(file, ombra::TRegionalSettings::en_US()));
}

TEST_F(CliTest, HtmlToAFileReplacesTheEarlierOneAndLeavesNoTemporaryFile) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  const auto out = dir.Path() / "liste.html";
  dir.Write("liste.html", "earlier content that is much longer than nothing");
  ::chmod(out.c_str(), 0640);

  const auto run = RunCli({"html", file, "-o", out.string(), "--locale", "de_DE"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(ReadBytes(out), Rendered(file, ombra::TRegionalSettings::de_DE()));
  EXPECT_EQ(std::filesystem::status(out).permissions() & std::filesystem::perms::all,
            std::filesystem::perms(0640));
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST_F(CliTest, HtmlOfAMissingFileWritesTheErrorPageAndExitsOne) {
  const std::string missing = (dir.Path() / "fehlt.dta").string();
  const auto run = RunCli({"html", missing});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Out, "<font face=arial color=#ff0000>Beim Lesen der Datei " + missing +
                         " ist ein Fehler aufgetreten.</font>\r\n");
  EXPECT_NE(run.Err.find("Beim Lesen der Datei"), std::string::npos);
}

TEST_F(CliTest, HtmlOfAFileThatDoesNotConvertExitsOne) {
  ARecord a;
  a.date = "000000";  // no such date
  const std::string file = dir.Write("bad.dta", File(a, {CRecord()}));
  const auto run = RunCli({"html", file, "--locale", "de_DE"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Out, Rendered(file, ombra::TRegionalSettings::de_DE()));
  EXPECT_EQ(run.Out.rfind("<font face=arial color=#ff0000>", 0), 0u);
}

TEST_F(CliTest, HtmlExitsTwoWhenTheOutputCannotBeWritten) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  const std::string noFolder = (dir.Path() / "nicht-da" / "liste.html").string();
  const auto run = RunCli({"html", file, "-o", noFolder});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_NE(run.Err.find("kann nicht geschrieben werden: Der Ordner ist nicht vorhanden."),
            std::string::npos);
}

TEST_F(CliTest, AWriteFailingHalfwayKeepsTheEarlierOutput) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  const auto out = dir.Path() / "liste.html";
  dir.Write("liste.html", "earlier page");
  clitest::TRunOptions options;
  options.FileSizeLimit = 1000;  // the page has about 1600 bytes
  ASSERT_GT(Rendered(file, ombra::TRegionalSettings::de_DE()).size(), options.FileSizeLimit);

  const auto run = RunCli({"html", file, "-o", out.string(), "--locale", "de_DE"}, options);
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_NE(run.Err.find("kann nicht geschrieben werden: Die Datei wird zu groß."), std::string::npos)
      << run.Err;
  EXPECT_EQ(ReadBytes(out), "earlier page");
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST_F(CliTest, HtmlAndCsvRefuseToWriteOverTheFileTheyRead) {
  const std::string bytes = SampleFile();
  const std::string file = dir.Write("sample.dta", bytes);
  const auto link = dir.Path() / "zweiter-name.dta";
  std::filesystem::create_hard_link(file, link);
  const std::string viaDot = (dir.Path() / "." / "sample.dta").string();
  for (const char* command : {"html", "csv"}) {
    for (const std::string& target : {viaDot, link.string()}) {
      SCOPED_TRACE(std::string(command) + " " + target);
      const auto run = RunCli({command, file, "-o", target});
      EXPECT_EQ(run.ExitCode, 2);
      EXPECT_NE(run.Err.find("ist die gelesene Datei selbst"), std::string::npos);
      EXPECT_EQ(ReadBytes(file), bytes);
    }
  }
}

TEST_F(CliTest, HtmlToAPipeOrDeviceWritesThroughIt) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  clitest::TFifoCapture fifo(dir.Path());
  const auto run = RunCli({"html", file, "-o", fifo.Path().string(), "--locale", "de_DE"});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(fifo.Finish(), Rendered(file, ombra::TRegionalSettings::de_DE()));
  EXPECT_TRUE(std::filesystem::is_fifo(fifo.Path()));
}

// Whether a hidden temporary sibling of `name` is in `folder`.
bool HasTemporaryOf(const std::filesystem::path& folder, const std::string& name) {
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().starts_with("." + name + ".")) return true;
  return false;
}

TEST_F(CliTest, ARunStoppedWhileWritingLeavesNoTemporaryFile) {
  // Big enough that the page takes a while to write.
  std::string bytes = ARecord().Bytes();
  const std::string payment = CRecord().Bytes();
  for (int i = 0; i < 100'000; ++i) bytes += payment;
  bytes += ERecord().Bytes();
  const std::string file = dir.Write("gross.dta", bytes);
  for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signalNumber);
    bool caught = false;
    // A run that finished before the signal reached it proves nothing; it is tried again.
    for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
      const pid_t pid = clitest::StartCli({"html", file, "-o", (dir.Path() / "liste.html").string()});
      int status = 0;
      bool ended = false;
      while (!ended && !HasTemporaryOf(dir.Path(), "liste.html")) {
        ended = ::waitpid(pid, &status, WNOHANG) == pid;
        ::usleep(200);
      }
      if (!ended) {
        ::kill(pid, signalNumber);
        ::waitpid(pid, &status, 0);
      }
      caught = WIFSIGNALED(status) && WTERMSIG(status) == signalNumber;
    }
    ASSERT_TRUE(caught) << "the run always ended before the signal";
    EXPECT_FALSE(HasTemporaryOf(dir.Path(), "liste.html"));
  }
}

// --- usage --------------------------------------------------------------------------------

TEST_F(CliTest, UsageErrorsExitTwoWithAGermanMessageAndNoOutput) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  // The wording of each parser error is tested with the command line itself.
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "Es fehlt der Befehl"},
      {{"html"}, "Es fehlt die Angabe DATEI"},
      {{"csv", file, "--locale", "fr_FR"}, "Unbekannte Regionaleinstellung „fr_FR“"},
      {{"json", file, "-o", "x.json"}, "Unbekannte Option „-o“"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    const auto run = RunCli(args);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find(message), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("quandel-cli --help"), std::string::npos);
  }
}

TEST_F(CliTest, VersionAndHelp) {
  auto run = RunCli({"--version"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out, "Quandel " QUANDEL_VERSION ", build " QUANDEL_BUILD_NUMBER "\n");

  run = RunCli({"--help"});
  EXPECT_EQ(run.ExitCode, 0);
  for (const char* expected :
       {"Aufruf: quandel-cli", "html", "json", "csv", "check", "--version", "Rückgabewert"})
    EXPECT_NE(run.Out.find(expected), std::string::npos) << expected;

  run = RunCli({"csv", "--help"});
  EXPECT_EQ(run.ExitCode, 0);
  for (const char* expected : {"Aufruf: quandel-cli csv", "DATEI", "--ausgabe", "--locale"})
    EXPECT_NE(run.Out.find(expected), std::string::npos) << expected;
}

TEST_F(CliTest, VersionAndHelpThatCannotBeWrittenAreNoSuccess) {
  clitest::TRunOptions options;
  options.FileSizeLimit = 4;  // standard output is a file here
  for (const char* flag : {"--version", "--help"}) {
    SCOPED_TRACE(flag);
    EXPECT_EQ(RunCli({flag}, options).ExitCode, 2);
  }
}

// --- json ---------------------------------------------------------------------------------

TEST_F(CliTest, JsonReadsBackWithEveryFieldInUtf8AndUnchanged) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  const auto run = RunCli({"json", file, "--locale", "de_DE"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const auto json = nlohmann::json::parse(run.Out);

  ombra::TDtaus doc;
  doc.Load(file, ombra::TRegionalSettings::de_DE());
  ASSERT_EQ(doc.ErrorText, "");
  const auto u = [](std::string_view text) { return support::Cp1252ToUtf8(text); };

  EXPECT_EQ(json.size(), 4u);
  EXPECT_EQ(json.at("ErrorText"), "");
  const auto& a = json.at("SatzA");
  EXPECT_EQ(a.size(), 7u);
  EXPECT_EQ(a.at("Datum"), "2002-12-31");
  EXPECT_EQ(a.at("Art"), "Überweisungen");
  EXPECT_EQ(a.at("Name"), "MüLLER & SÖHNE" + std::string(13, ' '));
  EXPECT_EQ(a.at("BLZ"), "123 456 78");
  EXPECT_EQ(a.at("Konto"), "1234567");
  EXPECT_EQ(a.at("Referenz"), "REF0000001");
  EXPECT_EQ(a.at("Euro"), true);

  const auto& list = json.at("SatzCList");
  ASSERT_EQ(list.size(), doc.SatzCList.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    SCOPED_TRACE(i);
    const auto& c = doc.SatzCList[i];
    EXPECT_EQ(list[i].size(), 5u);
    EXPECT_EQ(list[i].at("Betrag").get<double>(), c.Betrag);
    EXPECT_EQ(list[i].at("BLZ"), u(c.BLZ));
    EXPECT_EQ(list[i].at("Konto"), u(c.Konto));
    EXPECT_EQ(list[i].at("Name"), u(c.Name));
    ASSERT_EQ(list[i].at("Verwendungszweck").size(), c.Verwendungszweck.size());
    for (std::size_t k = 0; k < c.Verwendungszweck.size(); ++k)
      EXPECT_EQ(list[i].at("Verwendungszweck")[k], u(c.Verwendungszweck[k]));
  }
  // Not umlaut-decoded, not trimmed, not escaped; Windows-1252 letters become UTF-8.
  EXPECT_EQ(list[0].at("Name"), "MEIER; \"X\" GMBH" + std::string(12, ' '));
  EXPECT_EQ(list[0].at("Verwendungszweck")[0], "RECHNUNG [1]" + std::string(15, ' '));
  EXPECT_EQ(list[1].at("Name"), "BÄCKEREI €" + std::string(17, ' '));
  EXPECT_EQ(list[1].at("Betrag").get<double>(), 0.29);
  EXPECT_EQ(list[1].at("Verwendungszweck")[3], "DRITTE \\BER" + std::string(16, ' '));

  const auto& e = json.at("SatzE");
  EXPECT_EQ(e.size(), 6u);
  EXPECT_EQ(e.at("Anzahl"), 3);
  EXPECT_EQ(e.at("AnzahlDatei"), 3);
  EXPECT_EQ(e.at("SummeDM").get<double>(), 0.0);
  EXPECT_EQ(e.at("SummeKonto"), doc.SatzE->SummeKonto);
  EXPECT_EQ(e.at("SummeBLZ"), doc.SatzE->SummeBLZ);
  EXPECT_EQ(e.at("SummeEuro").get<double>(), 1234.86);
}

TEST_F(CliTest, JsonOfAFailedLoadHoldsOnlyTheFileName) {
  const std::string missing = (dir.Path() / "fehlt.dta").string();
  const auto run = RunCli({"json", missing});
  EXPECT_EQ(run.ExitCode, 1);
  const auto json = nlohmann::json::parse(run.Out);
  EXPECT_EQ(json, nlohmann::json({{"ErrorText", missing}}));
}

// --- csv ----------------------------------------------------------------------------------

TEST_F(CliTest, CsvForGermanSpreadsheets) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  const auto out = dir.Path() / "zahlungen.csv";
  const auto run = RunCli({"csv", file, "-o", out.string(), "--locale", "de_DE"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(ReadBytes(out),
            "\xEF\xBB\xBF"
            "Nr.;Empfänger;BLZ;Konto;Verwendungszweck;Betrag;Währung\r\n"
            "1;\"MEIER; \"\"X\"\" GMBH\";876 543 21;123456;RECHNUNG Ä1Ü;1234,56;EUR\r\n"
            "2;BÄCKEREI €;100 200 30;42;RECHNUNG 1 / ZWEITE ZEILE / DRITTE ÖBER;0,29;EUR\r\n"
            "3;KOMMA, KLAUS;876 543 21;123456;RECHNUNG 1;0,01;EUR\r\n");
}

TEST_F(CliTest, CsvUnderEnUsSeparatesByCommaAndQuotesAccordingly) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  const auto run = RunCli({"csv", file, "--locale", "en_US"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out,
            "\xEF\xBB\xBF"
            "Nr.,Empfänger,BLZ,Konto,Verwendungszweck,Betrag,Währung\r\n"
            "1,\"MEIER; \"\"X\"\" GMBH\",876 543 21,123456,RECHNUNG Ä1Ü,1234.56,EUR\r\n"
            "2,BÄCKEREI €,100 200 30,42,RECHNUNG 1 / ZWEITE ZEILE / DRITTE ÖBER,0.29,EUR\r\n"
            "3,\"KOMMA, KLAUS\",876 543 21,123456,RECHNUNG 1,0.01,EUR\r\n");
}

TEST_F(CliTest, CsvWithoutLocaleFollowsTheEnvironment) {
  ARecord a;
  a.currency = " ";
  CRecord c;
  c.dm = "00000250000";
  const std::string file = dir.Write("dm.dta", File(a, {c}));
  const auto run = RunCli({"csv", file}, {{{"LC_ALL", "C"}}});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_NE(run.Out.find("\r\n1;EMPFAENGER;876 543 21;123456;RECHNUNG 1;2500,00;DM\r\n"), std::string::npos)
      << run.Out;
}

TEST_F(CliTest, CsvOfAFailedLoadExitsOneAndKeepsTheEarlierExport) {
  const auto out = dir.Path() / "zahlungen.csv";
  dir.Write("zahlungen.csv", "earlier export");
  const auto run = RunCli({"csv", (dir.Path() / "fehlt.dta").string(), "-o", out.string()});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("Beim Lesen der Datei"), std::string::npos);
  EXPECT_EQ(ReadBytes(out), "earlier export");
}

// Rows for a named file go to its temporary copy as they are read, a megabyte at a time; a
// file found damaged only at its end must still leave the earlier export as it was, and
// --partial and a sound file must give the bytes that standard output gets.
TEST_F(CliTest, CsvToAFileDropsTheRowsOfADamagedFileWrittenSoFar) {
  std::string sound = ARecord().Bytes();
  const std::string payment = CRecord().Bytes();
  for (int i = 0; i < 30'000; ++i) sound += payment;
  const std::string damaged = sound + ERecord().Bytes().substr(0, 60);
  sound += ERecord().Bytes();
  const struct {
    const char* name;
    std::string bytes;
    bool partial;
    int exitCode;
    bool replaced;
  } cases[] = {
      {"damaged", damaged, false, 1, false},
      {"damaged, --partial", damaged, true, 1, true},
      {"sound", sound, false, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = dir.Write("gross.dta", c.bytes);
    const auto out = dir.Path() / "zahlungen.csv";
    dir.Write("zahlungen.csv", "earlier export");
    std::vector<std::string> args = {"csv", file, "--locale", "de_DE"};
    if (c.partial) args.emplace_back("--partial");
    const auto toStdout = RunCli(args);
    args.insert(args.end(), {"-o", out.string()});
    const auto toFile = RunCli(args);
    EXPECT_EQ(toFile.ExitCode, c.exitCode) << toFile.Err;
    EXPECT_EQ(toFile.Err, toStdout.Err);
    EXPECT_EQ(ReadBytes(out), c.replaced ? toStdout.Out : "earlier export");
    // More than the first block: rows were in the copy when the damage was found.
    if (c.replaced) {
      EXPECT_GT(toStdout.Out.size(), std::size_t{1} << 20);
    }
    EXPECT_FALSE(HasTemporaryOf(dir.Path(), "zahlungen.csv"));
  }
}

TEST_F(CliTest, AnEmptyFileNameIsAFailedLoadAndAnEarlierExportSurvives) {
  const auto out = dir.Path() / "z.csv";
  dir.Write("z.csv", "earlier export");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"html", ""},
       "<font face=arial color=#ff0000>Beim Lesen der Datei  ist ein Fehler aufgetreten.</font>\r\n"},
      {{"json", ""}, "{\n  \"ErrorText\": \"\"\n}\n"},
      {{"csv", "", "-o", out.string()}, ""},
      {{"check", ""},
       "Prüfbericht für \nBeim Lesen der Datei  ist ein Fehler aufgetreten.\n"
       "Grund: Datei nicht gefunden\nErgebnis: Die Datei konnte nicht gelesen werden.\n"},
  };
  for (const auto& [args, output] : cases) {
    SCOPED_TRACE(args.front());
    const auto run = RunCli(args);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, output);
  }
  EXPECT_EQ(ReadBytes(out), "earlier export");
}

// --- check --------------------------------------------------------------------------------

TEST_F(CliTest, CheckOfAConsistentFileReportsEveryAgreementAndExitsZero) {
  const std::string file = dir.Write("sample.dta", SampleFile());
  const auto run = RunCli({"check", file, "--locale", "de_DE"});
  EXPECT_EQ(run.ExitCode, 0) << run.Out;
  EXPECT_EQ(run.Out, "Prüfbericht für " + file +
                         "\n"
                         "Feldprüfungen: keine Beanstandung\n"
                         "Anzahl der Zahlungen: Datei 3, gelesen 3 - in Ordnung\n"
                         "Gesamtsumme (EUR): Datei 1.234,86, berechnet 1.234,86 - in Ordnung\n"
                         "Prüfsumme Kontonummern: Datei 246954, berechnet 246954 - in Ordnung\n"
                         "Prüfsumme Bankleitzahlen: Datei 185328672, berechnet 185328672 - in Ordnung\n"
                         "Datei in sich stimmig\n"
                         "Ergebnis: keine Abweichungen.\n");
}

// The single file's report gives both verdicts in the very lines the viewer and the printout
// take from the core, one after the other, and nowhere else in its own words.
TEST_F(CliTest, CheckSaysTheVerdictsInTheSharedWords) {
  const clitest::TKnownAccounts known;
  const auto& [sender, passes, fails, unknown] = known;
  std::string wrongTotal = File(sender, {passes, passes});
  wrongTotal.replace(wrongTotal.size() - 128 + 64, 13, "0000000024691");  // positions 65-77
  struct Case {
    const char* name;
    std::string bytes;
    bool accounts;
    int exitCode;
  };
  const std::vector<Case> cases{
      {"sound", File(sender, {passes}), true, 0},
      {"sound, accounts not asked", File(sender, {passes}), false, 0},
      {"sum mismatch", wrongTotal, true, 1},
      {"account findings", File(sender, {passes, fails, unknown}), true, 1},
  };
  const auto banks = ombra::OpenSystemBankDirectory();
  ASSERT_NE(banks, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = dir.Write("verdict.dta", c.bytes);
    ombra::TDtaus doc;
    ombra::TFileCheck check = ombra::LoadAndCheck(doc, file, ombra::TRegionalSettings::de_DE());
    if (c.accounts) ombra::AddAccountFindings(check, doc, ombra::CheckAccounts(doc, *banks), banks->DataDate());
    std::vector<std::string> verdicts = ombra::VerdictLines(check);
    if (!c.accounts) verdicts.resize(1);

    std::vector<std::string> args{"check", file};
    if (c.accounts) args.push_back("--accounts");
    const auto run = RunCli(args);
    EXPECT_EQ(run.ExitCode, c.exitCode) << run.Out;
    const std::vector<std::string> lines = clitest::Lines(run.Out);
    const auto first = std::find(lines.begin(), lines.end(), verdicts.front());
    ASSERT_NE(first, lines.end()) << run.Out;
    ASSERT_GE(lines.end() - first, static_cast<std::ptrdiff_t>(verdicts.size())) << run.Out;
    EXPECT_EQ(std::vector<std::string>(first, first + static_cast<std::ptrdiff_t>(verdicts.size())), verdicts);
    const auto verdictWords = [](const std::string& line) {
      return line.starts_with("Datei in sich stimmig") || line.starts_with("Datei nicht stimmig") ||
             line.starts_with("Kontenprüfung nach");
    };
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), verdictWords),
              std::count_if(verdicts.begin(), verdicts.end(), verdictWords))
        << run.Out;
  }
}

TEST_F(CliTest, CheckFindsAWrongCount) {
  std::string bytes = File(ARecord(), {CRecord(), CRecord()});
  bytes.replace(bytes.size() - 128 + 10, 7, "0000003");
  const auto run = RunCli({"check", dir.Write("count.dta", bytes)});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Out.find("Anzahl der Zahlungen: Datei 3, gelesen 2 - ABWEICHUNG\n"), std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find("Ergebnis: 1 Abweichung gefunden."), std::string::npos);
}

TEST_F(CliTest, CheckFindsAWrongTotalToTheCent) {
  CRecord c1, c2;
  c1.euro = "00000000010";
  c2.euro = "00000000020";
  std::string bytes = File(ARecord(), {c1, c2});
  ASSERT_EQ(bytes.substr(bytes.size() - 128 + 64, 13), "0000000000030");
  bytes.replace(bytes.size() - 128 + 64, 13, "0000000000031");
  const auto run = RunCli({"check", dir.Write("total.dta", bytes), "--locale", "de_DE"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Out.find("Gesamtsumme (EUR): Datei 0,31, berechnet 0,30 - ABWEICHUNG\n"), std::string::npos)
      << run.Out;
}

TEST_F(CliTest, CheckComparesTheTotalOfADmFileInDm) {
  ARecord a;
  a.currency = " ";
  CRecord c;
  c.dm = "00000000500";
  c.euro = "00000000000";
  std::string bytes = File(a, {c});
  // A Euro total in a DM file is not the one to compare.
  bytes.replace(bytes.size() - 128 + 64, 13, "0000000000999");
  const auto run = RunCli({"check", dir.Write("dm.dta", bytes), "--locale", "de_DE"});
  EXPECT_EQ(run.ExitCode, 0) << run.Out;
  EXPECT_NE(run.Out.find("Gesamtsumme (DM): Datei 5,00, berechnet 5,00 - in Ordnung"), std::string::npos);
}

TEST_F(CliTest, CheckFindsWrongCheckSumsInSampleFiles) {
  auto run = RunCli({"check", DataFile("pear_wrong_E_blz_sum.dta")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Out.find("Prüfsumme Bankleitzahlen: Datei 66668887, berechnet 66668888 - ABWEICHUNG"),
            std::string::npos)
      << run.Out;

  run = RunCli({"check", DataFile("pear_wrong_E_account_sum.dta")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Out.find("Prüfsumme Kontonummern: Datei 27159000, berechnet 27158000 - ABWEICHUNG"),
            std::string::npos)
      << run.Out;
}

TEST_F(CliTest, CheckPassesConsistentSampleFilesWithExtensionParts) {
  for (const char* name : {"pear_basic_credit_GK.dta", "pear_basic_debit_LK.dta", "pear_15_extensions.dta",
                           "pear_writer_debit_5ext.dta", "pear_8bit_latin1_names.dta"}) {
    SCOPED_TRACE(name);
    const auto run = RunCli({"check", DataFile(name)});
    EXPECT_EQ(run.ExitCode, 0) << run.Out;
    EXPECT_NE(run.Out.find("Ergebnis: keine Abweichungen."), std::string::npos);
  }
}

TEST_F(CliTest, CheckListsTheReadersFieldChecks) {
  ARecord a;
  a.kind = "XY";
  a.length = "0127";
  const auto run = RunCli({"check", dir.Write("kind.dta", File(a, {CRecord()}))});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Out.find("Feldprüfung: Ungültige Länge - ABWEICHUNG\n"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("Feldprüfung: Nur Kennzeichen GK, LK, GB, LB erlaubt - ABWEICHUNG\n"),
            std::string::npos);
  EXPECT_EQ(run.Out.find("keine Beanstandung"), std::string::npos);
  EXPECT_NE(run.Out.find("Ergebnis: 2 Abweichungen gefunden."), std::string::npos);
}

TEST_F(CliTest, CheckOfAnUnreadableFileExitsOne) {
  const std::string missing = (dir.Path() / "fehlt.dta").string();
  const auto run = RunCli({"check", missing});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Out.find("Beim Lesen der Datei " + missing + " ist ein Fehler aufgetreten."),
            std::string::npos);
  EXPECT_NE(run.Out.find("Ergebnis: Die Datei konnte nicht gelesen werden."), std::string::npos);
}

}  // namespace

namespace {

// --- damaged files --------------------------------------------------------------------------

// SampleFile() without the last 80 bytes of its trailer: three payments read, then the damage.
std::string CutSample() {
  const std::string whole = SampleFile();
  return whole.substr(0, whole.size() - 80);
}

TEST_F(CliTest, EveryCommandGivesTheReasonOfAFailedLoadInChecksWords) {
  const std::string file = dir.Write("kaputt.dta", CutSample());
  const auto check = RunCli({"check", file});
  EXPECT_EQ(check.ExitCode, 1);
  const std::string reason = "Grund: Datei endet vorzeitig: E-Satz (ab Byte 1025) hat nur 48 von 128 Bytes\n";
  const std::string read = "3 Zahlungen bis Byte 1.024 gelesen; Summen nicht prüfbar\n";
  EXPECT_NE(check.Out.find(reason + read), std::string::npos) << check.Out;
  const std::string expected = "quandel-cli: Beim Lesen der Datei " + file +
                               " ist ein Fehler aufgetreten.\n" + "quandel-cli: " + reason +
                               "quandel-cli: " + read;
  const auto html = RunCli({"html", file});
  EXPECT_EQ(html.Err, expected);
  EXPECT_EQ(html.ExitCode, 1);
  EXPECT_EQ(html.Out, Rendered(file, ombra::TRegionalSettings::de_DE()));  // the one-line error page
  // The exports that leave out a damaged file's payments say how to get them.
  const std::string hint = "quandel-cli: Mit --partial wird ausgegeben, was vor dem Schaden gelesen wurde.\n";
  const auto json = RunCli({"json", file});
  EXPECT_EQ(json.Err, expected + hint);
  EXPECT_EQ(json.ExitCode, 1);
  EXPECT_EQ(nlohmann::json::parse(json.Out), nlohmann::json({{"ErrorText", file}}));
  const auto csv = RunCli({"csv", file});
  EXPECT_EQ(csv.Err, expected + hint);
  EXPECT_EQ(csv.ExitCode, 1);
  EXPECT_EQ(csv.Out, "");

  const std::string text = dir.Write("liesmich.txt", "Hallo Welt, ein Text.\n");
  EXPECT_EQ(RunCli({"csv", text}).Err,
            "quandel-cli: Beim Lesen der Datei " + text +
                " ist ein Fehler aufgetreten.\nquandel-cli: Grund: keine DTAUS-Datei\n");
  EXPECT_NE(RunCli({"check", text}).Out.find("\nGrund: keine DTAUS-Datei\n"), std::string::npos);
}

TEST_F(CliTest, PartialExportsWriteWhatWasReadAndSaySo) {
  const std::string file = dir.Write("kaputt.dta", CutSample());
  const auto json = RunCli({"json", "--partial", file});
  EXPECT_EQ(json.ExitCode, 1);
  EXPECT_NE(
      json.Err.find("quandel-cli: Ausgegeben ist nur, was vor dem Schaden gelesen wurde (--partial).\n"),
      std::string::npos)
      << json.Err;
  const auto doc = nlohmann::json::parse(json.Out);
  EXPECT_EQ(doc.at("SatzCList").size(), 3u);
  EXPECT_EQ(doc.at("SatzCList")[2].at("Name"), "KOMMA, KLAUS               ");
  EXPECT_EQ(doc.at("SatzA").at("Name"), "MüLLER & SÖHNE             ");
  EXPECT_TRUE(doc.at("SatzE").is_null());
  const auto& damage = doc.at("Beschaedigung");
  EXPECT_EQ(damage.at("Satz"), "E");
  EXPECT_EQ(damage.at("SatzAbByte"), 1025);
  EXPECT_EQ(damage.at("Was"), "E-Satz hat nur 48 von 128 Bytes");
  EXPECT_EQ(damage.at("ZahlungenGelesen"), 3);
  EXPECT_EQ(damage.at("Gelesen"), "3 Zahlungen bis Byte 1.024 gelesen; Summen nicht prüfbar");

  const auto out = dir.Path() / "teil.csv";
  const auto csv = RunCli({"csv", "--partial", file, "-o", out.string(), "--locale", "de_DE"});
  EXPECT_EQ(csv.ExitCode, 1);
  EXPECT_NE(csv.Err.find("(--partial)"), std::string::npos);
  EXPECT_EQ(csv.Err.find("Mit --partial"), std::string::npos) << csv.Err;
  const std::string table = ReadBytes(out);
  EXPECT_NE(table.find("\r\n3;KOMMA, KLAUS;876 543 21;123456;RECHNUNG 1;0,01;EUR\r\n"
                       "\"Datei beschädigt: Datei endet vorzeitig: E-Satz (ab Byte 1025) hat nur 48 von 128 "
                       "Bytes; 3 Zahlungen bis Byte 1.024 gelesen; Summen nicht prüfbar\"\r\n"),
            std::string::npos)
      << table;

  // Nothing to show of a file that is no DTAUS file; a whole file is written as ever.
  const std::string text = dir.Write("liesmich.txt", "Hallo Welt, ein Text.\n");
  const auto none = RunCli({"csv", "--partial", text});
  EXPECT_EQ(none.ExitCode, 1);
  EXPECT_EQ(none.Out, "");
  const std::string good = dir.Write("gut.dta", SampleFile());
  const auto whole = RunCli({"json", "--partial", good});
  EXPECT_EQ(whole.ExitCode, 0);
  EXPECT_EQ(whole.Out, RunCli({"json", good}).Out);
}

TEST_F(CliTest, CheckJsonCarriesBothVerdictsAndTheDamage) {
  const std::string file = dir.Write("kaputt.dta", CutSample());
  const auto broken = nlohmann::json::parse(RunCli({"check", "--json", file}).Out);
  EXPECT_EQ(broken.at("verdict"), "Datei nicht lesbar");
  EXPECT_EQ(broken.at("consistent"), false);
  EXPECT_EQ(broken.at("damage").at("kind"), "cut_short");
  EXPECT_EQ(broken.at("damage").at("record_offset"), 1024);
  EXPECT_EQ(broken.at("damage").at("payments_read"), 3);

  std::string bytes = SampleFile();
  bytes.replace(bytes.size() - 128 + 64, 13, "0000000123487");  // the total one cent high
  const auto wrong = nlohmann::json::parse(RunCli({"check", "--json", dir.Write("summe.dta", bytes)}).Out);
  EXPECT_EQ(wrong.at("verdict"), "Datei nicht stimmig");
  EXPECT_FALSE(wrong.contains("accounts"));
  const auto& total = wrong.at("findings")[0];
  EXPECT_EQ(total.at("kind"), "total");
  EXPECT_EQ(total.at("expected_value"), 123486);
  EXPECT_EQ(total.at("found_value"), 123487);
  EXPECT_EQ(total.at("offset"), bytes.size() - 128 + 64);
}

}  // namespace
