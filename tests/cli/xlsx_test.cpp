// `xlsx`: the workbook read back with unzip and a few regular expressions: numbers are numbers,
// codes and accounts text, the header frozen and filtered, both sheets there, umlauts decoded.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>

#include <gtest/gtest.h>

#include "dtaus_builder.h"
#include "known_accounts.h"
#include "run_cli.h"
#include "temp_dir.h"
#include "xlsx_export.h"
#include "xlsx_reader.h"

using clitest::ReadBytes;
using clitest::RunCli;
using namespace testdta;

namespace {

class XlsxTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) { return dir.Write(name, bytes); }
  std::string Out() const { return (dir.Path() / "zahlungen.xlsx").string(); }
  TempDir dir;
};

std::string Payments() {
  CRecord mueller;
  mueller.name = "M]LLER, HANS";
  mueller.euro = "00000125000";
  mueller.purpose = "MIETE M[RZ";
  mueller.extensions = {{"02", "F]R WOHNUNG 3"}};
  CRecord schmidt;
  schmidt.name = "SCHMIDT & S\\HNE";
  schmidt.blz = "01234567";
  schmidt.konto = "0000000042";
  schmidt.euro = "00000000010";
  CRecord formula;
  formula.name = "=SUMME(A1)";
  return File(ARecord(), {mueller, schmidt, formula});
}

TEST_F(XlsxTest, PaymentsReadBackAsNumbersAndText) {
  const auto file = Write("zahlungen.dta", Payments());
  const auto run = RunCli({"xlsx", file, "-o", Out()});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  const std::string sheet = Unzip(Out(), "xl/worksheets/sheet1.xml");
  const struct {
    const char* ref;
    TCell cell;
  } cases[] = {
      {"A1", {"inlineStr", "Nr."}},
      {"B1", {"inlineStr", "Empfänger"}},
      {"F1", {"inlineStr", "Betrag"}},
      {"G1", {"inlineStr", "Währung"}},
      {"A2", {"n", "1"}},
      {"B2", {"inlineStr", "MÜLLER, HANS"}},
      {"C2", {"inlineStr", "876 543 21"}},
      {"D2", {"inlineStr", "123456"}},
      {"E2", {"inlineStr", "MIETE MÄRZ / FÜR WOHNUNG 3"}},
      {"F2", {"n", "1250"}},
      {"G2", {"inlineStr", "EUR"}},
      {"B3", {"inlineStr", "SCHMIDT & SÖHNE"}},
      {"C3", {"inlineStr", "012 345 67"}},  // the leading zero kept
      {"D3", {"inlineStr", "42"}},
      {"F3", {"n", "0.1"}},
      {"B4", {"inlineStr", "=SUMME(A1)"}},  // text, never a formula
      {"H2", {"fehlt", ""}},                // no bank columns without --banks
  };
  for (const auto& c : cases) EXPECT_EQ(Cell(sheet, c.ref), c.cell) << c.ref;
  EXPECT_EQ(sheet.find("<f>"), std::string::npos);
  EXPECT_NE(sheet.find("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"),
            std::string::npos);
  EXPECT_NE(sheet.find("<autoFilter ref=\"A1:G4\"/>"), std::string::npos);
  // The amount's style is the currency format.
  std::smatch style;
  ASSERT_TRUE(std::regex_search(sheet, style, std::regex("<c r=\"F2\" s=\"(\\d+)\"")));
  const std::string styles = Unzip(Out(), "xl/styles.xml");
  std::smatch format;
  ASSERT_TRUE(std::regex_search(
      styles, format, std::regex("<numFmt numFmtId=\"(\\d+)\" formatCode=\"#,##0.00 \\[\\$EUR\\]\"/>")));
  const std::regex xf("<xf numFmtId=\"(\\d+)\"[^>]*/?>");
  std::vector<std::string> formats;  // of each cell style, by index
  const std::string cellXfs = styles.substr(styles.find("<cellXfs"));
  for (std::sregex_iterator it(cellXfs.begin(), cellXfs.end(), xf), end; it != end; ++it)
    formats.push_back((*it)[1]);
  ASSERT_LT(std::stoul(style[1]), formats.size());
  EXPECT_EQ(formats[std::stoul(style[1])], format[1].str());

  const std::string book = Unzip(Out(), "xl/workbook.xml");
  EXPECT_NE(book.find("<sheet name=\"Zahlungen\" sheetId=\"1\""), std::string::npos) << book;
  EXPECT_NE(book.find("<sheet name=\"Datei\" sheetId=\"2\""), std::string::npos) << book;

  struct stat st {};
  ASSERT_EQ(::stat(Out().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(XlsxTest, TheFileSheetHasTheRecordsAndTheVerdict) {
  std::string wrong = Payments();
  wrong.replace(wrong.size() - 128 + 10, 7, "0000004");
  ARecord dm;
  dm.currency = " ";
  dm.kind = "LK";
  CRecord dmPayment;
  dmPayment.dm = "00000004711";
  const struct {
    std::string bytes;
    std::string art;
    TCell count;
    TCell verdict;
    std::string currencyFormat;
  } cases[] = {
      {Payments(), "Überweisungen", {"n", "3"}, {"inlineStr", "Datei in sich stimmig"}, "#,##0.00 [$EUR]"},
      {wrong, "Überweisungen", {"n", "4"}, {"inlineStr", "Datei nicht stimmig"}, "#,##0.00 [$EUR]"},
      {File(dm, {dmPayment}),
       "Lastschriften",
       {"n", "1"},
       {"inlineStr", "Datei in sich stimmig"},
       "#,##0.00 &quot;DM&quot;"},
  };
  for (const auto& c : cases) {
    const auto file = Write("datei.dta", c.bytes);
    ASSERT_EQ(RunCli({"xlsx", file, "-o", Out()}).ExitCode, 0);
    const std::string sheet = Unzip(Out(), "xl/worksheets/sheet2.xml");
    EXPECT_EQ(Cell(sheet, "A1"), (TCell{"inlineStr", "Datei"}));
    EXPECT_EQ(Cell(sheet, "B1"), (TCell{"inlineStr", file}));
    EXPECT_EQ(Cell(sheet, "B2"), (TCell{"inlineStr", c.art}));
    EXPECT_EQ(Cell(sheet, "B4"), (TCell{"inlineStr", "ABSENDER GMBH"}));
    EXPECT_EQ(Cell(sheet, "B5"), (TCell{"inlineStr", "123 456 78"}));
    EXPECT_EQ(Cell(sheet, "A11"), (TCell{"inlineStr", "Anzahl laut E-Satz"}));
    EXPECT_EQ(Cell(sheet, "B11"), c.count);
    EXPECT_EQ(Cell(sheet, "A16"), (TCell{"inlineStr", "Prüfung"}));
    EXPECT_EQ(Cell(sheet, "B16"), c.verdict);
    EXPECT_NE(Unzip(Out(), "xl/styles.xml").find("formatCode=\"" + c.currencyFormat + "\""),
              std::string::npos);
  }
  // The last case's finding follows the verdict.
  const auto file = Write("datei.dta", wrong);
  ASSERT_EQ(RunCli({"xlsx", file, "-o", Out()}).ExitCode, 0);
  const std::string sheet = Unzip(Out(), "xl/worksheets/sheet2.xml");
  EXPECT_EQ(Cell(sheet, "A17"), (TCell{"inlineStr", "Fehler"}));
  EXPECT_EQ(Cell(sheet, "B17"), (TCell{"inlineStr", "Anzahl der Zahlungen: Datei 4, gelesen 3"}));
}

TEST_F(XlsxTest, BanksAddThreeColumnsAndTheSendersVerdict) {
  const clitest::TKnownAccounts known;
  const auto file = Write("konten.dta", File(known.sender, {known.passes, known.fails, known.unknown}));
  const auto run = RunCli({"xlsx", "--banks", file, "-o", Out()});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::string sheet = Unzip(Out(), "xl/worksheets/sheet1.xml");
  const struct {
    const char* ref;
    const char* text;
  } cases[] = {
      {"H1", "Bank"},        {"I1", "Ort"},      {"J1", "Kontoprüfung"},
      {"H2", "Commerzbank"}, {"I2", "Köln"},     {"J2", "gültig"},
      {"I3", "Hamburg"},     {"J3", "ungültig"}, {"J4", "Bankleitzahl unbekannt"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cell(sheet, c.ref), (TCell{"inlineStr", c.text})) << c.ref;
  EXPECT_EQ(Cell(sheet, "H4"), (TCell{"fehlt", ""}));  // no bank for an unknown code
  EXPECT_NE(sheet.find("<autoFilter ref=\"A1:J4\"/>"), std::string::npos);
  const std::string fileSheet = Unzip(Out(), "xl/worksheets/sheet2.xml");
  EXPECT_EQ(Cell(fileSheet, "A9"), (TCell{"inlineStr", "Kontoprüfung Absender"}));
  EXPECT_EQ(Cell(fileSheet, "B9"), (TCell{"inlineStr", "gültig"}));
}

TEST_F(XlsxTest, AFileThatCannotBeReadLeavesAnEarlierWorkbookAlone) {
  const auto good = Write("gut.dta", Payments());
  ASSERT_EQ(RunCli({"xlsx", good, "-o", Out()}).ExitCode, 0);
  const std::string before = ReadBytes(Out());
  const struct {
    std::vector<std::string> args;
    int exitCode;
  } cases[] = {
      {{"xlsx", Write("kurz.dta", Payments().substr(0, 300)), "-o", Out()}, 1},
      {{"xlsx", (dir.Path() / "fehlt.dta").string(), "-o", Out()}, 1},
      {{"xlsx", good}, 2},              // no -o
      {{"xlsx", good, "-o", good}, 2},  // the file read itself
  };
  for (const auto& c : cases) {
    const auto run = RunCli(c.args);
    EXPECT_EQ(run.ExitCode, c.exitCode) << run.Err;
    EXPECT_FALSE(run.Err.empty());
    EXPECT_EQ(ReadBytes(Out()), before);
  }
  EXPECT_EQ(ReadBytes(good), Payments());
}

TEST_F(XlsxTest, AWorkbookThatCannotBeWrittenInFullIsNoSuccess) {
  const auto good = Write("gut.dta", Payments());
  ASSERT_EQ(RunCli({"xlsx", good, "-o", Out()}).ExitCode, 0);
  const std::string before = ReadBytes(Out());
  // The rows of 5,000 payments do not fit into the 64 KiB a file may grow to here.
  CRecord payment;
  payment.purpose = "ABSCHLAG";
  const auto big = Write("gross.dta", File(ARecord(), std::vector<CRecord>(5000, payment)));
  clitest::TRunOptions options;
  options.FileSizeLimit = 64 * 1024;
  const auto run = RunCli({"xlsx", big, "-o", Out()}, options);
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_EQ(run.Err, "quandel-cli: " + Out() +
                         ": Die Arbeitsmappe kann nicht geschrieben werden: Die Datei wird zu groß.\n");
  EXPECT_TRUE(ReadBytes(Out()) == before);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"gross.dta", "gut.dta", "zahlungen.xlsx"}));
}

TEST_F(XlsxTest, TheViewerCanStopALongExport) {
  ombra::TDtaus doc;
  for (int i = 0; i < 10000; ++i) doc.AddSatzC(1.5, "100 200 30", "42", "NAME", {"ZWECK"});
  cli::TXlsxContents contents;
  std::size_t calls = 0;
  contents.Progress = [&calls](std::size_t done) { return ++calls < 2 && done < 10000; };
  std::string error;
  EXPECT_FALSE(cli::WriteXlsx(doc, Out(), contents, error));
  EXPECT_EQ(error, "Der Export wurde abgebrochen.");
  EXPECT_EQ(calls, 2u);
  contents.Progress = nullptr;
  EXPECT_TRUE(cli::WriteXlsx(doc, Out(), contents, error)) << error;
  EXPECT_EQ(Cell(Unzip(Out(), "xl/worksheets/sheet1.xml"), "F10001"), (TCell{"n", "1.5"}));
}

}  // namespace
