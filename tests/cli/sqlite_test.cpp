// `sqlite` over a crafted archive: what lands in the database agrees with `json` of every
// file, a second run adds nothing, foreign databases are left alone.
#include <sqlite3.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "content_hash.h"
#include "dtaus_builder.h"
#include "run_cli.h"
#include "temp_dir.h"

using clitest::ReadBytes;
using clitest::RunCli;
using namespace testdta;
namespace fs = std::filesystem;

namespace {

// Rows of a query as text, NULL as "NULL", columns joined by "|".
std::vector<std::string> Query(const fs::path& db, const std::string& sql) {
  sqlite3* handle = nullptr;
  std::vector<std::string> rows;
  if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(handle);
    ADD_FAILURE() << "cannot open " << db;
    return rows;
  }
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
    ADD_FAILURE() << sql << ": " << sqlite3_errmsg(handle);
  while (s != nullptr && sqlite3_step(s) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(s); ++i) {
      if (i > 0) row += '|';
      const auto* text = sqlite3_column_text(s, i);
      row += text != nullptr ? reinterpret_cast<const char*>(text) : "NULL";
    }
    rows.push_back(row);
  }
  sqlite3_finalize(s);
  sqlite3_close(handle);
  return rows;
}

std::string One(const fs::path& db, const std::string& sql) {
  const auto rows = Query(db, sql);
  return rows.size() == 1 ? rows[0] : "(" + std::to_string(rows.size()) + " Zeilen)";
}

CRecord Payment(const std::string& name, const std::string& euro, const std::string& purpose,
                const std::string& blz = "87654321") {
  CRecord c;
  c.name = name;
  c.euro = euro;
  c.purpose = purpose;
  c.blz = blz;
  return c;
}

// archiv/ holds, in nested folders: a consistent file with DIN codes and an execution date, a
// copy of it under another name, a file whose count is wrong, a DM file, a file damaged in its
// third payment, and a text file.
class SqliteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = dir.Path() / "archiv";
    db = dir.Path() / "archiv.db";
    fs::create_directories(root / "2012" / "maerz");
    ARecord a;
    CRecord mueller = Payment("M]LLER, HANS", "00000125000", "MIETE M[RZ");
    mueller.extensions = {{"02", "F]R WOHNUNG 3"}};
    CRecord schmidt = Payment("SCHMIDT", "00000000010", "SPENDE", "01234567");
    std::string good = File(a, {mueller, schmidt});
    good.replace(95, 8, "15032012");  // execution date
    Put("2012/maerz/gut.dta", good);
    Put("2012/kopie.dta", good);
    std::string wrong = File(a, {schmidt, schmidt});
    wrong.replace(wrong.size() - 128 + 10, 7, "0000003");
    Put("2012/anzahl.dta", wrong);
    ARecord dm;
    dm.currency = " ";
    dm.kind = "LK";
    CRecord dmPayment = Payment("MUELLER", "00000000000", "BEITRAG");
    dmPayment.dm = "00000004711";
    Put("dm.dta", File(dm, {dmPayment}));
    std::string damaged = File(a, {schmidt, mueller, schmidt});
    damaged.replace(128 + 256 + 256 + 79, 11, "0000000X000");  // the third payment's amount
    Put("kaputt.dta", damaged);
    Put("liesmich.txt", "Keine DTAUS-Datei.\n");
  }
  void Put(const std::string& name, const std::string& bytes) {
    std::ofstream(root / name, std::ios::binary) << bytes;
  }
  std::string Path(const std::string& name) const { return (root / name).string(); }
  clitest::TRun Load(std::vector<std::string> paths) {
    std::vector<std::string> args{"sqlite", "-o", db.string()};
    args.insert(args.end(), paths.begin(), paths.end());
    return RunCli(args);
  }

  TempDir dir;
  fs::path root;
  fs::path db;
};

TEST_F(SqliteTest, CountsAndSumsAgreeWithJsonOfEveryFile) {
  const auto run = Load({root.string(), "--jobs", "2"});
  EXPECT_EQ(run.ExitCode, 1) << run.Err;  // a wrong count and a damaged file
  const auto files =
      Query(db, "SELECT pfad, anzahl, summe_cent FROM dateien WHERE lesefehler IS NULL ORDER BY pfad");
  ASSERT_EQ(files.size(), 4u) << run.Err;
  for (const auto& row : files) {
    const std::string path = row.substr(0, row.find('|'));
    const auto json = nlohmann::json::parse(RunCli({"json", path}).Out);
    std::int64_t cents = 0;
    for (const auto& c : json.at("SatzCList")) cents += std::llround(c.at("Betrag").get<double>() * 100);
    const std::string expected = std::to_string(json.at("SatzCList").size()) + "|" + std::to_string(cents);
    EXPECT_EQ(row, path + "|" + expected);
    EXPECT_EQ(One(db,
                  "SELECT count(*), sum(betrag_cent) FROM zahlungen JOIN dateien ON id = datei_id "
                  "WHERE pfad = '" +
                      path + "'"),
              expected);
  }
  EXPECT_EQ(One(db, "SELECT count(*) FROM dateien"), "5");  // the text file is skipped
  // One job writes the same rows in the same order.
  const auto dump = [](const fs::path& file) {
    auto rows = Query(file, "SELECT * FROM dateien ORDER BY id");
    for (const char* query :
         {"SELECT * FROM zahlungen ORDER BY datei_id, nr", "SELECT * FROM befunde ORDER BY datei_id, rowid"})
      for (auto& row : Query(file, query)) rows.push_back(std::move(row));
    return rows;
  };
  const fs::path single = dir.Path() / "einzeln.db";
  ASSERT_EQ(RunCli({"sqlite", "-o", single.string(), root.string(), "--jobs", "1"}).ExitCode, 1);
  EXPECT_EQ(dump(single), dump(db));
  EXPECT_NE(run.Err.find("5 Dateien aufgenommen (9 Zahlungen), 0 schon darin, 2 mit Abweichungen, "
                         "0 nicht lesbar, 1 übersprungen"),
            std::string::npos)
      << run.Err;
}

TEST_F(SqliteTest, KeepsTheFieldsDecodedAndAsStored) {
  ASSERT_EQ(Load({Path("2012/maerz/gut.dta"), Path("dm.dta")}).ExitCode, 0);
  const std::string good = fs::absolute(Path("2012/maerz/gut.dta")).lexically_normal().string();
  EXPECT_EQ(
      Query(db,
            "SELECT pfad, art, kennzeichen, datum, ausfuehrung, absender_name, absender_blz, "
            "absender_konto, referenz, waehrung, anzahl, summe_cent, stimmig FROM dateien ORDER BY id"),
      (std::vector<std::string>{
          good + "|Überweisungen|GK|2002-12-31|2012-03-15|ABSENDER "
                 "GMBH|12345678|1234567|REF0000001|EUR|2|125010|1",
          fs::absolute(Path("dm.dta")).lexically_normal().string() +
              "|Lastschriften|LK|2002-12-31|NULL|ABSENDER GMBH|12345678|1234567|REF0000001|DM|1|4711|1"}));
  EXPECT_EQ(Query(db,
                  "SELECT nr, name, blz, konto, betrag_cent, zweck, name_roh, konto_roh FROM zahlungen "
                  "WHERE datei_id = 1 ORDER BY nr"),
            (std::vector<std::string>{
                "1|MÜLLER, HANS|87654321|123456|125000|MIETE MÄRZ\nFÜR WOHNUNG 3|"
                "M]LLER, HANS               |0000123456",
                "2|SCHMIDT|01234567|123456|10|SPENDE|SCHMIDT                    |0000123456"}));
  EXPECT_EQ(One(db, "SELECT zweck_roh FROM zahlungen WHERE datei_id = 1 AND nr = 1"),
            "MIETE M[RZ                 \nF]R WOHNUNG 3              \n                           ");
  // The indexes a search by account, name or amount uses.
  EXPECT_EQ(Query(db,
                  "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'zahlungen' "
                  "AND sql IS NOT NULL ORDER BY name"),
            (std::vector<std::string>{"zahlungen_betrag", "zahlungen_konto", "zahlungen_name"}));
}

TEST_F(SqliteTest, DamagedFilesKeepWhatWasReadBeforeAndFindingsAreRecorded) {
  const auto run = Load({root.string()});
  EXPECT_NE(run.Err.find(Path("kaputt.dta") + ": beschädigt, 2 Zahlungen davor aufgenommen: Zahlung 3 "
                                              "(C-Satz ab Byte 641), Stellen 80-90 (Byte 720), Betrag in "
                                              "Euro „0000000X000“ ist kein Betrag"),
            std::string::npos)
      << run.Err;
  EXPECT_EQ(One(db, "SELECT anzahl, summe_cent, stimmig FROM dateien WHERE pfad LIKE '%kaputt.dta'"),
            "2|125010|0");
  EXPECT_EQ(Query(db,
                  "SELECT d.pfad LIKE '%kaputt.dta', b.nr, b.schwere, b.art, b.satz, b.byte FROM befunde b "
                  "JOIN dateien d ON d.id = b.datei_id ORDER BY d.pfad, b.rowid"),
            // The count's field starts at the E record's 11th byte; the damage is the amount's field.
            (std::vector<std::string>{"0|NULL|Fehler|Anzahl|E|651", "1|NULL|Fehler|Lesefehler|NULL|720"}));
}

TEST_F(SqliteTest, ASecondRunAddsOnlyNewFiles) {
  Load({root.string()});
  const auto before = Query(db, "SELECT * FROM dateien ORDER BY id");
  auto run = Load({root.string()});
  EXPECT_EQ(run.ExitCode, 1);  // the files with findings are still in the archive
  EXPECT_NE(run.Err.find("0 Dateien aufgenommen (0 Zahlungen), 5 schon darin, 2 mit Abweichungen"),
            std::string::npos)
      << run.Err;
  EXPECT_EQ(Query(db, "SELECT * FROM dateien ORDER BY id"), before);
  EXPECT_EQ(One(db, "SELECT count(*) FROM zahlungen"), "9");

  // A new file and a changed one are added; a file named twice goes in once.
  Put("neu.dta", File(ARecord(), {CRecord()}));
  Put("dm.dta", File(ARecord(), {CRecord(), CRecord()}));
  run = Load({root.string(), Path("neu.dta")});
  EXPECT_NE(run.Err.find("2 Dateien aufgenommen (3 Zahlungen), 5 schon darin"), std::string::npos) << run.Err;
  EXPECT_EQ(One(db, "SELECT count(*), count(DISTINCT pfad) FROM dateien"), "7|6");
}

TEST_F(SqliteTest, AForeignDatabaseIsRefusedAndLeftAsItWas) {
  const auto plain = dir.Write("notiz.db", "Dies ist keine Datenbank, aber eine Notiz.\n");
  const auto other = (dir.Path() / "fremd.db").string();
  {
    sqlite3* handle = nullptr;
    sqlite3_open(other.c_str(), &handle);
    sqlite3_exec(handle, "CREATE TABLE kunden (name TEXT); INSERT INTO kunden VALUES ('x');", nullptr,
                 nullptr, nullptr);
    sqlite3_close(handle);
  }
  const auto empty = dir.Write("leer.db", "");
  for (const auto& target : {plain, other, empty}) {
    const std::string bytes = ReadBytes(target);
    const auto run = RunCli({"sqlite", "-o", target, root.string()});
    EXPECT_EQ(run.ExitCode, 2) << target;
    EXPECT_EQ(run.Err, "quandel-cli: Die Datei " + target +
                           " ist keine Archivdatenbank von quandel-cli; sie bleibt unverändert.\n");
    EXPECT_EQ(ReadBytes(target), bytes);
  }
  // Nothing else was left in the folder.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"archiv", "fremd.db", "leer.db", "notiz.db"}));
}

TEST_F(SqliteTest, TheDatabaseIsReadableByItsOwnerOnly) {
  ASSERT_EQ(Load({Path("2012/maerz/gut.dta")}).ExitCode, 0);
  struct stat st {};
  ASSERT_EQ(::stat(db.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // Also after adding to one that someone opened to others.
  ::chmod(db.c_str(), 0644);
  ASSERT_EQ(Load({Path("dm.dta")}).ExitCode, 0);
  ASSERT_EQ(::stat(db.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(One(db, "SELECT count(*) FROM dateien"), "2");
}

TEST_F(SqliteTest, ExitCodesLikeCheck) {
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string err;  // a part of stderr
  } cases[] = {
      {{Path("2012/maerz/gut.dta"), Path("dm.dta")}, 0, "2 Dateien aufgenommen (3 Zahlungen)"},
      {{Path("2012/anzahl.dta")}, 1, "1 mit Abweichungen"},
      {{Path("fehlt.dta"), Path("dm.dta")}, 1, Path("fehlt.dta") + ": nicht lesbar: Datei nicht gefunden"},
      {{Path("liesmich.txt")},
       1,
       "0 Dateien aufgenommen (0 Zahlungen), 0 schon darin, 0 mit Abweichungen, 1 nicht lesbar"},
      {{(root / "fehlt").string()}, 1, "nicht lesbar"},
  };
  for (const auto& c : cases) {
    fs::remove(db);
    const auto run = Load(c.args);
    EXPECT_EQ(run.ExitCode, c.exitCode) << run.Err;
    EXPECT_NE(run.Err.find(c.err), std::string::npos) << run.Err;
  }
  EXPECT_EQ(RunCli({"sqlite", root.string()}).ExitCode, 2);  // no -o
  EXPECT_EQ(RunCli({"sqlite", "-o", dir.Path().string(), root.string()}).ExitCode, 2);
}

TEST_F(SqliteTest, AWriteThatFailsLeavesTheEarlierDatabase) {
  ASSERT_EQ(Load({Path("2012/maerz/gut.dta")}).ExitCode, 0);
  const std::string before = ReadBytes(db);
  // Room for the copy of the database and not a page more: 200 more payments cannot be added.
  Put("gross.dta", File(ARecord(), std::vector<CRecord>(200, Payment("GROSS", "00000000100", "ABSCHLAG"))));
  clitest::TRunOptions options;
  options.FileSizeLimit = before.size();
  const auto run = RunCli({"sqlite", "-o", db.string(), root.string()}, options);
  EXPECT_EQ(run.ExitCode, 2) << run.Err;
  EXPECT_NE(run.Err.find(db.string() + " bleibt unverändert."), std::string::npos) << run.Err;
  EXPECT_TRUE(ReadBytes(db) == before);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"archiv", "archiv.db"}));
}

TEST(ContentHashTest, IsXxh64AndTheSameInAnyPieces) {
  const auto hash = [](std::string_view bytes) {
    cli::TContentHash h;
    h.Add(bytes);
    return h.Value();
  };
  EXPECT_EQ(hash(""), 0xEF46DB3751D8E999ULL);
  EXPECT_EQ(hash("abc"), 0x44BC2CF5AD770999ULL);
  std::string text;
  for (int i = 0; i < 1000; ++i) text += static_cast<char>(i * 7 % 251);
  for (const std::size_t piece : {1u, 5u, 31u, 32u, 33u, 100u}) {
    cli::TContentHash h;
    for (std::size_t at = 0; at < text.size(); at += piece) h.Add(std::string_view(text).substr(at, piece));
    EXPECT_EQ(h.Value(), hash(text)) << piece;
    EXPECT_EQ(h.Size(), text.size());
  }
  EXPECT_NE(hash(text), hash(text.substr(1)));
}

}  // namespace
