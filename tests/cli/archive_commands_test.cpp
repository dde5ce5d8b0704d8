// find, duplicates and list over a crafted archive: nested folders, a text file, a damaged
// file, a batch copied twice, a payment repeated within one file and across files, and names
// written with DIN codes, Windows-1252 umlauts and spelled out.
#include <filesystem>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "amounts.h"
#include "archive_duplicates.h"
#include "archive_find.h"
#include "archive_list.h"
#include "dtaus_builder.h"
#include "known_accounts.h"
#include "run_cli.h"
#include "temp_dir.h"

using clitest::Lines;
using clitest::RunCli;
using namespace testdta;
namespace fs = std::filesystem;

namespace {

CRecord Payment(const std::string& name, const std::string& blz, const std::string& konto,
                const std::string& euro, const std::string& purpose) {
  CRecord c;
  c.name = name;
  c.blz = blz;
  c.konto = konto;
  c.euro = euro;
  c.purpose = purpose;
  return c;
}

ARecord Batch(const std::string& date, const std::string& referenz) {
  ARecord a;
  a.name = "FIRMA M]LLER";
  a.date = date;
  a.referenz = referenz;
  return a;
}

// archiv/
//   liesmich.txt             no DTAUS file
//   2012/juni.dta            Mueller Hans 500,00 (RECHNUNG 4711); STRA~ENBAU 2.000,00; executed 20.06.2012
//   2012/mai/lohn.dta        M]LLER HANS 500,00 (RECHNUNG 4711); SCHMIDT 120,00 (MIETE MAI);
//                            M]LLER HANS 500,00 (Rechnung  4711); SCHMIDT 120,00 (MIETE JUNI)
//   2013/kaputt.dta          SCHMIDT 120,00 (MIETE MAI); MÜLLER OTTO 75,00; a third payment cut short
//   kopie/juni.dta           the bytes of 2012/juni.dta
class ArchiveCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = dir.Path() / "archiv";
    for (const char* folder : {"2012/mai", "2013", "kopie"}) fs::create_directories(root / folder);
    const CRecord hans = Payment("Mueller Hans", "20050550", "0001234567", "00000050000", "RECHNUNG 4711");
    const CRecord hansDin = Payment("M]LLER HANS", "20050550", "0001234567", "00000050000", "RECHNUNG 4711");
    const CRecord hansAgain =
        Payment("M]LLER HANS", "20050550", "0001234567", "00000050000", "Rechnung  4711");
    const CRecord mieteMai = Payment("SCHMIDT", "10020030", "0000000099", "00000012000", "MIETE MAI");
    const CRecord mieteJuni = Payment("SCHMIDT", "10020030", "0000000099", "00000012000", "MIETE JUNI");
    const CRecord bau = Payment("STRA~ENBAU GMBH", "30030030", "0000000555", "00000200000", "BAUARBEITEN");
    const CRecord otto = Payment("M\xDCLLER OTTO", "20050550", "0007654321", "00000007500", "GUTSCHRIFT");

    std::string juni = File(Batch("150612", "JUNI"), {hans, bau});
    Put(juni, 96, 103, "20062012");
    Write("2012/juni.dta", juni);
    Write("kopie/juni.dta", juni);
    Write("2012/mai/lohn.dta", File(Batch("150512", "MAI"), {hansDin, mieteMai, hansAgain, mieteJuni}));
    Write("2013/kaputt.dta", File(Batch("150113", "KAPUTT"), {mieteMai, otto, otto}).substr(0, 740));
    Write("liesmich.txt", "Dies ist keine DTAUS-Datei.\n");
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(root / name, std::ios::binary) << bytes;
  }
  std::string Path(const std::string& name) const { return (root / name).string(); }
  std::string Damaged() const {
    return "quandel-cli: " + Path("2013/kaputt.dta") +
           ": beschädigt, nur 2 Zahlungen gelesen: Datei endet vorzeitig: Zahlung 3 (C-Satz ab Byte 641) hat "
           "nur "
           "100 von 187 Bytes\n";
  }

  TempDir dir;
  fs::path root;
};

TEST_F(ArchiveCommandsTest, FindMatchesEveryConditionAcrossTheArchive) {
  const std::string juni = Path("2012/juni.dta") + "\t";
  const std::string lohn = Path("2012/mai/lohn.dta") + "\t";
  const std::string kaputt = Path("2013/kaputt.dta") + "\t";
  const std::string kopie = Path("kopie/juni.dta") + "\t";
  const std::string hansJuni = "15.06.2012\tMueller Hans\t200 505 50\t1234567\t500,00 EUR\tRECHNUNG 4711";
  const std::string hansMai = "15.05.2012\tMÜLLER HANS\t200 505 50\t1234567\t500,00 EUR\t";
  const std::string bau = "15.06.2012\tSTRA~ENBAU GMBH\t300 300 30\t555\t2.000,00 EUR\tBAUARBEITEN";
  const std::string miete = "\tSCHMIDT\t100 200 30\t99\t120,00 EUR\tMIETE ";
  const struct {
    std::vector<std::string> conditions;
    std::vector<std::string> lines;
    std::string summary;
  } cases[] = {
      {{"--name", "müller"},
       {juni + "1\t" + hansJuni, lohn + "1\t" + hansMai + "RECHNUNG 4711",
        lohn + "3\t" + hansMai + "Rechnung  4711",
        kaputt + "2\t15.01.2013\tMÜLLER OTTO\t200 505 50\t7654321\t75,00 EUR\tGUTSCHRIFT",
        kopie + "1\t" + hansJuni},
       "5 Zahlungen in 4 von 4 Dateien"},
      {{"--name", "MUELLER HANS", "--purpose", "rechnung 4711"},
       {juni + "1\t" + hansJuni, lohn + "1\t" + hansMai + "RECHNUNG 4711",
        lohn + "3\t" + hansMai + "Rechnung  4711", kopie + "1\t" + hansJuni},
       "4 Zahlungen in 3 von 4 Dateien"},
      {{"--name", "Straße"}, {juni + "2\t" + bau, kopie + "2\t" + bau}, "2 Zahlungen in 2 von 4 Dateien"},
      {{"--account", "200 505 50/0007654321"},
       {kaputt + "2\t15.01.2013\tMÜLLER OTTO\t200 505 50\t7654321\t75,00 EUR\tGUTSCHRIFT"},
       "1 Zahlung in 1 von 4 Dateien"},
      {{"--account", "99", "--amount", "100..120"},
       {lohn + "2\t15.05.2012" + miete + "MAI", lohn + "4\t15.05.2012" + miete + "JUNI",
        kaputt + "1\t15.01.2013" + miete + "MAI"},
       "3 Zahlungen in 2 von 4 Dateien"},
      {{"--amount", "1.000..", "--date", "2012-06-01..30.06.2012"},
       {juni + "2\t" + bau, kopie + "2\t" + bau},
       "2 Zahlungen in 2 von 4 Dateien"},
      {{"--date", "2013", "--amount", "75"},
       {kaputt + "2\t15.01.2013\tMÜLLER OTTO\t200 505 50\t7654321\t75,00 EUR\tGUTSCHRIFT"},
       "1 Zahlung in 1 von 4 Dateien"},
      {{"--purpose", "MIETE APRIL"}, {}, "0 Zahlungen in 0 von 4 Dateien"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"find", root.string(), "--jobs", "2"};
    args.insert(args.end(), c.conditions.begin(), c.conditions.end());
    const auto run = RunCli(args);
    EXPECT_EQ(run.ExitCode, 1) << c.summary;  // the damaged file
    EXPECT_EQ(Lines(run.Out), c.lines) << c.conditions[1];
    EXPECT_EQ(run.Err, Damaged() + c.summary + "\n") << c.conditions[1];
  }
}

TEST_F(ArchiveCommandsTest, FindGivesJsonLinesAndTheSameResultForAnyNumberOfJobs) {
  const auto run = RunCli({"find", "--json", "--name", "m]ller", root.string(), "--jobs", "3"});
  EXPECT_EQ(run.ExitCode, 1);
  const auto lines = Lines(run.Out);
  ASSERT_EQ(lines.size(), 5u) << run.Out;
  const auto otto = nlohmann::json::parse(lines[3]);
  EXPECT_EQ(otto.at("file"), Path("2013/kaputt.dta"));
  EXPECT_EQ(otto.at("payment"), 2);
  EXPECT_EQ(otto.at("date"), "2013-01-15");
  EXPECT_EQ(otto.at("name"), "MÜLLER OTTO");
  EXPECT_EQ(otto.at("blz"), "20050550");
  EXPECT_EQ(otto.at("konto"), "7654321");
  EXPECT_EQ(otto.at("cents"), 7500);
  EXPECT_EQ(otto.at("currency"), "EUR");
  EXPECT_EQ(otto.at("purpose"), nlohmann::json::array({"GUTSCHRIFT"}));
  for (const auto& line : lines) EXPECT_EQ(nlohmann::json::parse(line).at("blz"), "20050550");
  EXPECT_EQ(RunCli({"find", "--json", "--name", "m]ller", root.string(), "--jobs", "1"}).Out, run.Out);
}

TEST_F(ArchiveCommandsTest, DuplicatesGroupsCopiesAndRepeatedPayments) {
  const auto run = RunCli({"duplicates", root.string()});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(
      Lines(run.Out),
      (std::vector<std::string>{
          "Datei 2-mal (gleiche Bytes): 2 Zahlungen, 2.500,00 EUR",
          "  " + Path("2012/juni.dta"),
          "  " + Path("kopie/juni.dta"),
          "",
          "Zahlung 3-mal: 500,00 EUR an M\u00dcLLER HANS, BLZ 200 505 50, Konto 1234567, „RECHNUNG 4711“",
          "  " + Path("2012/juni.dta") + " Zahlung 1",
          "  " + Path("2012/mai/lohn.dta") + " Zahlung 1",
          "  " + Path("2012/mai/lohn.dta") + " Zahlung 3",
          "",
          "Zahlung 2-mal: 120,00 EUR an SCHMIDT, BLZ 100 200 30, Konto 99, „MIETE MAI“",
          "  " + Path("2012/mai/lohn.dta") + " Zahlung 2",
          "  " + Path("2013/kaputt.dta") + " Zahlung 1",
      }));
  EXPECT_EQ(run.Err, Damaged() + "3 Gruppen, 9 Zahlungen, 3.620,00 EUR mehrfach\n");

  // Without the purpose the rent of June joins the rent of May.
  const auto loose = RunCli({"duplicates", "--loose", "--json", root.string(), "--jobs", "2"});
  EXPECT_EQ(loose.ExitCode, 1);
  EXPECT_EQ(loose.Err, Damaged() + "3 Gruppen, 10 Zahlungen, 3.740,00 EUR mehrfach\n");
  const auto lines = Lines(loose.Out);
  ASSERT_EQ(lines.size(), 3u) << loose.Out;
  const auto file = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(file.at("kind"), "file");
  EXPECT_EQ(file.at("cents"), 250000);
  EXPECT_EQ(file.at("payments"), 2);
  EXPECT_EQ(file.at("members").size(), 2u);
  const auto rent = nlohmann::json::parse(lines[2]);
  EXPECT_EQ(rent.at("kind"), "payment");
  EXPECT_EQ(rent.at("cents"), 12000);
  EXPECT_EQ(rent.at("blz"), "10020030");
  EXPECT_FALSE(rent.contains("purpose"));
  EXPECT_EQ(
      rent.at("members"),
      nlohmann::json::parse(R"([{"file":")" + Path("2012/mai/lohn.dta") + R"(","payment":2},{"file":")" +
                            Path("2012/mai/lohn.dta") + R"(","payment":4},{"file":")" +
                            Path("2013/kaputt.dta") + R"(","payment":1}])"));
}

TEST_F(ArchiveCommandsTest, DuplicatesTellsTheSameBatchFromTheSameBytes) {
  // Other bytes after the trailer: the same A and E records, no longer the same file.
  Write("kopie/juni.dta", clitest::ReadBytes(Path("2012/juni.dta")) + "\r\n");
  const auto run = RunCli({"duplicates", Path("2012/juni.dta"), Path("kopie")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(Lines(run.Out),
            (std::vector<std::string>{"Datenträger 2-mal (gleicher A- und E-Satz): 2 Zahlungen, 2.500,00 EUR",
                                      "  " + Path("2012/juni.dta"), "  " + Path("kopie/juni.dta")}));
  EXPECT_EQ(run.Err, "1 Gruppe, 4 Zahlungen, 2.500,00 EUR mehrfach\n");
}

TEST_F(ArchiveCommandsTest, DuplicatesKeepTheFieldsOfABrokenNameApart) {
  const CRecord tab = Payment("A\tB", "20050550", "0000000001", "00000000100", "X\tY");
  Write("tab.dta", File(Batch("010112", "TAB"), {tab, tab}));
  const auto run = RunCli({"duplicates", Path("tab.dta")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(Lines(run.Out)[0], "Zahlung 2-mal: 1,00 EUR an A B, BLZ 200 505 50, Konto 1, „X Y“");
}

TEST_F(ArchiveCommandsTest, DuplicatesFindRepeatsAcrossManyDistinctPayments) {
  // Enough payments for the table of payments seen to grow several times in between.
  std::vector<CRecord> payments;
  for (int i = 0; i < 5000; ++i)
    payments.push_back(Payment("P", "20050550", Digits(i + 1, 10), "00000000100", "R"));
  payments.insert(payments.begin() + 10, payments[5]);  // a group started early ...
  payments.push_back(payments[5]);                      // ... and joined late
  payments.push_back(payments[0]);
  Write("viele.dta", File(Batch("010112", "VIELE"), payments));
  const auto run = RunCli({"duplicates", Path("viele.dta")});
  EXPECT_EQ(run.ExitCode, 1);
  const std::string file = "  " + Path("viele.dta") + " Zahlung ";
  EXPECT_EQ(Lines(run.Out),
            (std::vector<std::string>{"Zahlung 3-mal: 1,00 EUR an P, BLZ 200 505 50, Konto 6, „R“",
                                      file + "6", file + "11", file + "5002", "",
                                      "Zahlung 2-mal: 1,00 EUR an P, BLZ 200 505 50, Konto 1, „R“",
                                      file + "1", file + "5003"}));
  EXPECT_EQ(run.Err, "2 Gruppen, 5 Zahlungen, 3,00 EUR mehrfach\n");
}

TEST_F(ArchiveCommandsTest, ListCataloguesEveryFileSortedByPath) {
  const std::string juni =
      "\tGutschriften\t15.06.2012\t20.06.2012\tFIRMA MÜLLER\t123 456 "
      "78\t1234567\tJUNI\tEUR\t2\t2.500,00\tstimmig\t";
  // Given out of order, with the copy's folder first.
  const auto run = RunCli({"list", Path("kopie"), Path("2013"), Path("2012")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(Lines(run.Out),
            (std::vector<std::string>{
                Path("2012/juni.dta") + juni + "768",
                Path("2012/mai/lohn.dta") + "\tGutschriften\t15.05.2012\t\tFIRMA MÜLLER\t123 456 "
                                            "78\t1234567\tMAI\tEUR\t4\t1.240,00\tstimmig\t1.280",
                Path("2013/kaputt.dta") + "\tGutschriften\t15.01.2013\t\tFIRMA MÜLLER\t123 456 "
                                          "78\t1234567\tKAPUTT\tEUR\t2\t195,00\tnicht lesbar\t740",
                Path("kopie/juni.dta") + juni + "768",
            }));
  EXPECT_EQ(run.Err,
            Damaged() + "4 Dateien geprüft: 3 stimmig, 0 mit Abweichungen, 1 nicht lesbar, 0 übersprungen\n");
}

TEST_F(ArchiveCommandsTest, ListAsJsonAndCsv) {
  const auto json = RunCli({"list", "--json", root.string()});
  const auto lines = Lines(json.Out);
  ASSERT_EQ(lines.size(), 4u) << json.Out;
  const auto juni = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(juni.at("file"), Path("2012/juni.dta"));
  EXPECT_EQ(juni.at("kind"), "Gutschriften");
  EXPECT_EQ(juni.at("date"), "2012-06-15");
  EXPECT_EQ(juni.at("execution"), "20.06.2012");
  EXPECT_EQ(juni.at("name"), "FIRMA MÜLLER");
  EXPECT_EQ(juni.at("payments"), 2);
  EXPECT_EQ(juni.at("cents"), 250000);
  EXPECT_EQ(juni.at("consistent"), true);
  EXPECT_FALSE(juni.contains("accounts"));
  const auto kaputt = nlohmann::json::parse(lines[2]);
  EXPECT_TRUE(kaputt.at("consistent").is_null());
  EXPECT_EQ(kaputt.at("payments"), 2);
  EXPECT_EQ(kaputt.at("size"), 740);

  const auto csv = RunCli({"list", "--csv", Path("2013"), "--locale", "en_US"});
  EXPECT_EQ(csv.Out,
            "\xEF\xBB\xBF"
            "Datei,Art,Datum,Ausführung,Absender,BLZ,Konto,Referenz,Währung,Anzahl,Summe,Prüfung,Größe\r\n" +
                Path("2013/kaputt.dta") +
                ",Gutschriften,1/15/2013,,FIRMA MÜLLER,123 456 78,1234567,KAPUTT,EUR,2,195.00,nicht "
                "lesbar,740\r\n");
}

TEST_F(ArchiveCommandsTest, ListGivesTheVerdictOnTheAccountsWhenAsked) {
  const clitest::TKnownAccounts known;
  const auto& [sender, passes, fails, unknown] = known;
  fs::create_directory(root / "konten");
  Write("konten/a.dta", File(sender, {passes}));
  Write("konten/b.dta", File(sender, {passes, fails}));
  Write("konten/c.dta", File(sender, {passes, unknown}));
  const auto run = RunCli({"list", "--accounts", "--json", Path("konten")});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;  // consistent files, whatever their accounts
  std::vector<std::string> verdicts;
  for (const auto& line : Lines(run.Out)) verdicts.push_back(nlohmann::json::parse(line).at("accounts"));
  EXPECT_EQ(verdicts, (std::vector<std::string>{"gültig", "ungültig", "nicht alle prüfbar"}));
  // In text the verdict stands between the check's and the size.
  const auto line = Lines(RunCli({"list", "--accounts", Path("konten/b.dta")}).Out).at(0);
  EXPECT_TRUE(line.ends_with("\t2\t246,90\tstimmig\tungültig\t768")) << line;
}

TEST_F(ArchiveCommandsTest, ExitCodes) {
  const struct {
    std::vector<std::string> args;
    int exitCode;
  } cases[] = {
      {{"find", "--name", "x", "ARCHIV/2012/juni.dta"}, 0},
      {{"find", "--name", "x", "ARCHIV/2012/juni.dta", "ARCHIV/fehlt.dta"}, 1},
      {{"find", "--name", "x", "ARCHIV/liesmich.txt"}, 1},  // named, so read, and no DTAUS file
      {{"find", "--amount", "zehn", "ARCHIV"}, 2},
      {{"find", "--date", "31.02.2012", "ARCHIV"}, 2},
      {{"find", "--account", "1234/5", "ARCHIV"}, 2},
      {{"duplicates", "ARCHIV/2012/juni.dta"}, 0},
      {{"duplicates", "ARCHIV/2012/mai"}, 1},
      {{"list", "ARCHIV/2012"}, 0},
      {{"list", "--json", "--csv", "ARCHIV/2012"}, 2},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args;
    for (std::string arg : c.args) {
      if (arg.starts_with("ARCHIV")) arg = root.string() + arg.substr(6);
      args.push_back(arg);
    }
    const auto run = RunCli(args);
    EXPECT_EQ(run.ExitCode, c.exitCode) << c.args[0] << " " << c.args.back() << ": " << run.Err;
  }
}

TEST(FindConditionsTest, AmountsAreReadAsTyped) {
  const struct {
    const char* typed;
    std::optional<std::int64_t> cents;
  } cases[] = {
      {"12", 1200},
      {"12,5", 1250},
      {"12,50", 1250},
      {"12.50", 1250},
      {"1.234", 123400},
      {"1.234,56", 123456},
      {"1.234.567", 123456700},
      {"12,", std::nullopt},
      {"12,345", std::nullopt},
      {"1.23.4", std::nullopt},
      {"", std::nullopt},
      {"-5", std::nullopt},
      {"zehn", std::nullopt},
      {"1.2345", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ombra::ParseTypedCents(c.typed), c.cents) << c.typed;
}

TEST(FindConditionsTest, RangesAndAccounts) {
  cli::TInvocation invocation;
  invocation.FindDate = "2012..31.03.2013";
  invocation.FindAmount = "..99,99";
  invocation.FindAccount = "200 505 50 / 000123";
  cli::TFindConditions conditions;
  ASSERT_FALSE(cli::ParseFindConditions(invocation, conditions));
  EXPECT_EQ(conditions.FromDate, 20120101);
  EXPECT_EQ(conditions.ToDate, 20130331);
  EXPECT_FALSE(conditions.MinCents);
  EXPECT_EQ(conditions.MaxCents, 9999);
  EXPECT_EQ(conditions.Blz, "20050550");
  EXPECT_EQ(conditions.Konto, "123");
  EXPECT_TRUE(cli::FileDateMatches(conditions, {2013, 3, 31}));
  EXPECT_FALSE(cli::FileDateMatches(conditions, {2013, 4, 1}));
  EXPECT_FALSE(cli::FileDateMatches(conditions, {2011, 12, 31}));
}

TEST(ArchiveListTest, KindsAndExecutionDates) {
  EXPECT_EQ(cli::KindOfBatch("GK"), "Gutschriften");
  EXPECT_EQ(cli::KindOfBatch("LB"), "Lastschriften");
  EXPECT_EQ(cli::KindOfBatch("XY"), "XY");
  std::string a = ARecord().Bytes();
  const auto rs = ombra::TRegionalSettings::de_DE();
  EXPECT_EQ(cli::ExecutionDate(a, rs), "");
  Put(a, 96, 103, "01022013");
  EXPECT_EQ(cli::ExecutionDate(a, rs), "01.02.2013");
  Put(a, 96, 103, "31022013");
  EXPECT_EQ(cli::ExecutionDate(a, rs), "31022013");  // no date: shown as stored
}

TEST(DuplicateKeysTest, PaymentsAreTheSameDespiteBlanksAndCase) {
  ombra::TDtaus doc;
  doc.AddSatzC(12.5, "200 505 50", "123", "A", {"RECHNUNG 12", "MAI"});
  doc.AddSatzC(12.5, "200 505 50", "123", "B", {"Rechnung12 m", "ai"});
  doc.AddSatzC(12.5, "200 505 50", "123", "A", {"RECHNUNG 13", "MAI"});
  doc.AddSatzC(12.51, "200 505 50", "123", "A", {"RECHNUNG 12", "MAI"});
  // Taken once all are added: adding may move the list.
  const auto& [a, b, other, cent] =
      std::tie(doc.SatzCList[0], doc.SatzCList[1], doc.SatzCList[2], doc.SatzCList[3]);
  const auto key = [](const ombra::TSatzC& c, bool euro, bool loose) {
    std::string bytes;
    EXPECT_TRUE(cli::PaymentKeyBytes(bytes, c, euro, loose));
    return cli::HashKey(bytes);
  };
  EXPECT_EQ(key(a, true, false), key(b, true, false));
  EXPECT_NE(key(a, true, false), key(other, true, false));
  EXPECT_EQ(key(a, true, true), key(other, true, true));
  EXPECT_NE(key(a, true, true), key(cent, true, true));
  EXPECT_NE(key(a, true, false), key(a, false, false));  // 12,50 DM are no 12,50 EUR
  EXPECT_NE(cli::HashKey("a"), cli::HashKey("b"));
  EXPECT_NE(cli::HashKey(""), cli::HashKey(std::string(1, '\0')));
}

}  // namespace
