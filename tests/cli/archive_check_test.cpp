// `check` over folders and many files, as an auditor runs it over an archive.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "archive_check.h"
#include "dtaus_builder.h"
#include "known_accounts.h"
#include "run_cli.h"
#include "temp_dir.h"

using clitest::Lines;
using clitest::RunCli;
using namespace testdta;
namespace fs = std::filesystem;

namespace {

// archiv/ holds a consistent file, a file whose count is wrong two folders down, a file that
// starts like a DTAUS file but ends early, a text file and a link back to archiv/ itself.
class ArchiveCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = dir.Path() / "archiv";
    fs::create_directories(root / "2019" / "maerz");
    Put("gut.dta", File(ARecord(), {CRecord()}));
    std::string wrong = File(ARecord(), {CRecord(), CRecord()});
    wrong.replace(wrong.size() - 128 + 10, 7, "0000003");
    Put("2019/maerz/anzahl.dta", wrong);
    Put("2019/kurz.dta", File(ARecord(), {CRecord()}).substr(0, 300));
    Put("liesmich.txt", "Dies ist keine DTAUS-Datei.\n");
    fs::create_directory_symlink("../..", root / "2019" / "maerz" / "schleife");
  }
  void Put(const std::string& name, const std::string& bytes) {
    std::ofstream(root / name, std::ios::binary) << bytes;
  }
  std::string Path(const std::string& name) const { return (root / name).string(); }

  TempDir dir;
  fs::path root;
};

TEST_F(ArchiveCheckTest, WalksNestedFoldersOnceAndSummarises) {
  const auto run = RunCli({"check", root.string(), "--jobs", "2"});
  EXPECT_EQ(run.ExitCode, 1) << run.Err;
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(Lines(run.Out),
            (std::vector<std::string>{
                Path("2019/kurz.dta") + ": nicht lesbar: Datei endet vorzeitig: Zahlung 1 (C-Satz "
                                        "ab Byte 129) hat nur 172 von 187 Bytes; 0 Zahlungen bis Byte 128 "
                                        "gelesen; Summen nicht prüfbar",
                Path("2019/maerz/anzahl.dta") + ": Anzahl der Zahlungen: Datei 3, gelesen 2",
                // liesmich.txt, and the link back to archiv/, which is not followed
                "3 Dateien geprüft: 1 stimmig, 1 mit Abweichungen, 1 nicht lesbar, 2 übersprungen"}));
  // The same result whatever the number of jobs.
  EXPECT_EQ(RunCli({"check", root.string(), "--jobs", "1"}).Out, run.Out);
}

TEST_F(ArchiveCheckTest, JsonLinesAgreeWithSingleChecks) {
  const auto run = RunCli({"check", "--json", root.string()});
  EXPECT_EQ(run.ExitCode, 1);
  std::vector<std::string> lines;
  std::vector<std::string> skipped;
  for (const auto& line : Lines(run.Out))
    (nlohmann::json::parse(line).contains("skipped") ? skipped : lines).push_back(line);
  ASSERT_EQ(lines.size(), 3u) << run.Out;
  // A folder's files come before its subfolders.
  EXPECT_EQ(skipped,
            (std::vector<std::string>{
                R"({"file":")" + Path("liesmich.txt") + R"(","skipped":true,"reason":"keine DTAUS-Datei"})",
                R"({"file":")" + Path("2019/maerz/schleife") +
                    R"(","skipped":true,"reason":"Verknüpfung auf einen Ordner; nicht verfolgt"})"}));
  for (const auto& line : lines) {
    const auto json = nlohmann::json::parse(line);
    const std::string file = json.at("file");
    const auto single = RunCli({"check", "--json", file});
    EXPECT_EQ(single.Out, line + "\n");
    EXPECT_EQ(single.ExitCode, json.at("ok").get<bool>() ? 0 : 1) << file;
    EXPECT_EQ(json.at("ok").get<bool>(), json.at("findings").empty() && !json.contains("error")) << line;
  }
  const auto wrong = nlohmann::json::parse(lines[2]);
  EXPECT_EQ(wrong.at("payments"), 2);
  EXPECT_EQ(wrong.at("findings")[0].at("kind"), "count");
  EXPECT_EQ(wrong.at("findings")[0].at("found"), "3");
  EXPECT_EQ(nlohmann::json::parse(lines[0]).at("payments"), 1);
  EXPECT_EQ(nlohmann::json::parse(lines[1]).at("error"),
            "Datei endet vorzeitig: Zahlung 1 (C-Satz ab Byte 129) hat nur 172 von 187 Bytes");
}

TEST_F(ArchiveCheckTest, NamedFilesAreAlwaysCheckedAndExitCodesTellTheWorst) {
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string last;
  } cases[] = {
      {{Path("gut.dta"), Path("gut.dta")},
       0,
       "2 Dateien geprüft: 2 stimmig, 0 mit Abweichungen, 0 nicht lesbar, 0 übersprungen"},
      {{Path("liesmich.txt"), Path("gut.dta")},
       1,
       "2 Dateien geprüft: 1 stimmig, 0 mit Abweichungen, 1 nicht lesbar, 0 übersprungen"},
      {{Path("fehlt.dta"), Path("gut.dta")},
       1,
       "2 Dateien geprüft: 1 stimmig, 0 mit Abweichungen, 1 nicht lesbar, 0 übersprungen"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"check"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = RunCli(args);
    EXPECT_EQ(run.ExitCode, c.exitCode) << run.Out;
    EXPECT_EQ(Lines(run.Out).back(), c.last);
  }
  EXPECT_NE(RunCli({"check", Path("fehlt.dta"), Path("gut.dta")})
                .Out.find(Path("fehlt.dta") + ": nicht lesbar: Datei nicht gefunden\n"),
            std::string::npos);
}

TEST_F(ArchiveCheckTest, AccountsMakeAFileWithAFailingAccountNotOk) {
  const clitest::TKnownAccounts known;
  const auto& [sender, passes, fails, unknown] = known;
  fs::create_directory(root / "konten");
  Put("konten/falsch.dta", File(sender, {passes, fails}));
  Put("konten/unbekannt.dta", File(sender, {passes, unknown}));

  auto run = RunCli({"check", "--accounts", Path("konten")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(Lines(run.Out),
            (std::vector<std::string>{
                Path("konten/falsch.dta") +
                    ": Zahlung 2: Kontonummer 1234567890 ist bei der Bank 200 505 50 (Hamburger "
                    "Sparkasse, Hamburg) nicht gültig (Prüfziffer falsch)",
                "2 Dateien geprüft: 1 stimmig, 1 mit Abweichungen, 0 nicht lesbar, 0 übersprungen"}));

  // Without --accounts both files are consistent; a single file gets the full report.
  EXPECT_EQ(RunCli({"check", Path("konten")}).ExitCode, 0);
  run = RunCli({"check", "--accounts", Path("konten/unbekannt.dta")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_NE(run.Out.find("Datei in sich stimmig\nKontenprüfung nach Bankverzeichnis vom "), std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find(": 3 Konten geprüft\n"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("Zahlung 2: Bankleitzahl 100 200 30 steht nicht im Bankverzeichnis"),
            std::string::npos);
  EXPECT_NE(run.Out.find("Ergebnis: keine Abweichungen; Konten: 1 Bankleitzahl unbekannt."),
            std::string::npos);
}

TEST(ArchiveSummaryTest, CountsAreGroupedTheGermanWay) {
  EXPECT_EQ(cli::SummaryLine({1190, 12, 2, 37}),
            "1.204 Dateien geprüft: 1.190 stimmig, 12 mit Abweichungen, 2 nicht lesbar, "
            "37 übersprungen");
  EXPECT_EQ(cli::SummaryLine({1, 0, 0, 1234567}),
            "1 Datei geprüft: 1 stimmig, 0 mit Abweichungen, 0 nicht lesbar, 1.234.567 übersprungen");
}

}  // namespace
