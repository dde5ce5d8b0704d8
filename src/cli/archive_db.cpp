#include "archive_db.h"

#include <memory>

#include "sqlite_calls.h"
#include "system_error.h"

namespace cli {
namespace {

// Made once, in a new database. Column comments travel with the schema (`.schema` shows them).
constexpr const char* kSchema = R"sql(
CREATE TABLE dateien (
  id INTEGER PRIMARY KEY,
  pfad TEXT NOT NULL,
  groesse INTEGER NOT NULL,        -- Bytes
  pruefwert TEXT NOT NULL,         -- XXH64 der Bytes, 16 Hexziffern
  art TEXT,                        -- Überweisungen, Lastschriften, ???
  kennzeichen TEXT,                -- GK, LK, GB, LB wie gespeichert
  datum TEXT,                      -- JJJJ-MM-TT
  ausfuehrung TEXT,                -- JJJJ-MM-TT oder NULL
  absender_name TEXT,
  absender_blz TEXT,
  absender_konto TEXT,
  referenz TEXT,
  waehrung TEXT,                   -- EUR oder DM
  anzahl INTEGER NOT NULL,         -- Zahlungen gelesen
  summe_cent INTEGER,
  stimmig INTEGER NOT NULL,        -- 1: gelesen und ohne Fehler
  lesefehler TEXT,                 -- warum das Lesen vorzeitig endete, sonst NULL
  UNIQUE (pfad, groesse, pruefwert)
);
CREATE TABLE zahlungen (
  datei_id INTEGER NOT NULL REFERENCES dateien (id),
  nr INTEGER NOT NULL,
  name TEXT,                       -- Umlaute entschlüsselt, ohne Leerzeichen am Ende
  blz TEXT,                        -- 8 Ziffern
  konto TEXT,                      -- ohne führende Nullen
  betrag_cent INTEGER,
  textschluessel TEXT,             -- Stellen 45-49: Schlüssel und Ergänzung
  zweck TEXT,                      -- Verwendungszweckzeilen, durch Zeilenvorschub getrennt
  name_roh TEXT,                   -- die Felder, wie sie in der Datei stehen
  konto_roh TEXT,
  zweck_roh TEXT,
  PRIMARY KEY (datei_id, nr)
) WITHOUT ROWID;
CREATE TABLE befunde (
  datei_id INTEGER NOT NULL REFERENCES dateien (id),
  nr INTEGER,                      -- Nummer der Zahlung oder NULL
  schwere TEXT NOT NULL,           -- Fehler oder Warnung
  art TEXT NOT NULL,
  satz TEXT,                       -- A, C, E oder NULL
  byte INTEGER,                    -- ab 1: das erste Byte des Feldes, sonst des Satzes
  text TEXT NOT NULL
);
)sql";

// Made when the writing ends: built at once from the finished tables, an index costs a
// fraction of keeping it up to date row by row. IF NOT EXISTS: a database added to has them.
constexpr const char* kIndexes = R"sql(
CREATE INDEX IF NOT EXISTS zahlungen_konto ON zahlungen (blz, konto);
CREATE INDEX IF NOT EXISTS zahlungen_name ON zahlungen (name);
CREATE INDEX IF NOT EXISTS zahlungen_betrag ON zahlungen (betrag_cent);
CREATE INDEX IF NOT EXISTS befunde_datei ON befunde (datei_id);
)sql";

// Written once into a private temporary file that is renamed when complete, so a crash
// loses nothing: the rollback journal can live in memory and nothing need be synced before
// the end (the caller syncs the finished file). No other process sees the file meanwhile, so
// the lock is taken once and the page cache stays valid from one file's transaction to the next.
constexpr const char* kWriting =
    "PRAGMA locking_mode = EXCLUSIVE; PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF; "
    "PRAGMA temp_store = MEMORY; PRAGMA cache_size = -65536;";

struct TStatementFinish {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using TStatement = std::unique_ptr<sqlite3_stmt, TStatementFinish>;

void BindText(sqlite3_stmt* s, int at, std::string_view text) {
  sqlite3_bind_text(s, at, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}
void BindOptionalText(sqlite3_stmt* s, int at, const std::optional<std::string>& text) {
  if (text)
    BindText(s, at, *text);
  else
    sqlite3_bind_null(s, at);
}
void BindInt(sqlite3_stmt* s, int at, const std::optional<std::int64_t>& value) {
  if (value)
    sqlite3_bind_int64(s, at, *value);
  else
    sqlite3_bind_null(s, at);
}

// SQLite's count of its memory takes a global lock at every allocation, and nothing here reads
// it. Possible only before SQLite's first use, so called before each.
void ConfigureSqlite() {
  static const bool configured = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)configured;
}

}  // namespace

std::string FileKey(const std::string& pfad, std::int64_t groesse, const std::string& pruefwert) {
  return pfad + '\0' + std::to_string(groesse) + '\0' + pruefwert;
}

TDbCheck InspectArchiveDb(const std::string& path, std::string& why) {
  ConfigureSqlite();
  sqlite3* db = nullptr;
  const int opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  TDbCheck result = TDbCheck::Unreadable;
  sqlite3_stmt* s = nullptr;
  if (opened == SQLITE_OK && sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &s, nullptr) == SQLITE_OK) {
    const int step = sqlite3_step(s);
    if (step == SQLITE_ROW)
      result = sqlite3_column_int(s, 0) == kArchiveApplicationId ? TDbCheck::Ours : TDbCheck::Foreign;
    else if (step == SQLITE_NOTADB)
      result = TDbCheck::Foreign;
  } else if (sqlite3_errcode(db) == SQLITE_NOTADB) {
    result = TDbCheck::Foreign;
  }
  if (result == TDbCheck::Unreadable) why = sqlite3_errmsg(db);
  sqlite3_finalize(s);
  sqlite3_close(db);
  return result;
}

TArchiveDb::~TArchiveDb() {
  sqlite3_finalize(file_);
  sqlite3_finalize(payment_);
  sqlite3_finalize(finding_);
  sqlite3_close(db_);
}

bool TArchiveDb::Fail(const char* what) {
  // The system's reason in German where there is one (a full disk); SQLite's own otherwise.
  const int systemError = db_ != nullptr ? sqlite3_system_errno(db_) : 0;
  error_ = std::string(what) + ": " +
           (systemError != 0
                ? support::GermanSystemError(systemError, support::TFileDeed::Write) + "."
                : std::string("SQLite meldet „") + (db_ != nullptr ? sqlite3_errmsg(db_) : "?") + "“");
  return false;
}

bool TArchiveDb::Exec(const char* sql) {
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool TArchiveDb::Open(const std::string& path, const std::string& copyOf) {
  ConfigureSqlite();
  // Used by one thread only: SQLite's own locking would only cost.
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
    return Fail("Die Datenbank kann nicht angelegt werden");
  if (!Exec(kWriting)) return Fail("Die Datenbank kann nicht angelegt werden");
  if (!copyOf.empty()) {
    sqlite3* source = nullptr;
    bool copied = false;
    if (sqlite3_open_v2(copyOf.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
      sqlite3_backup* backup = sqlite3_backup_init(db_, "main", source, "main");
      copied = backup != nullptr && sqlite3_backup_step(backup, -1) == SQLITE_DONE;
      copied = sqlite3_backup_finish(backup) == SQLITE_OK && copied;
    }
    if (!copied) error_ = "Die Datenbank " + copyOf + " kann nicht gelesen werden: " + sqlite3_errmsg(source);
    sqlite3_close(source);
    if (!copied) return false;
  } else {
    const std::string marks =
        "PRAGMA application_id = " + std::to_string(kArchiveApplicationId) + "; PRAGMA user_version = 1;";
    if (!Exec(marks.c_str()) || !Exec("BEGIN") || !Exec(kSchema) || !Exec("COMMIT"))
      return Fail("Die Tabellen können nicht angelegt werden");
  }
  return Prepare();
}

bool TArchiveDb::Prepare() {
  const auto prepare = [this](const char* sql, sqlite3_stmt** s) {
    return sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, s, nullptr) == SQLITE_OK;
  };
  if (!prepare("INSERT INTO dateien (pfad, groesse, pruefwert, art, kennzeichen, datum, ausfuehrung, "
               "absender_name, absender_blz, absender_konto, referenz, waehrung, anzahl, summe_cent, "
               "stimmig, lesefehler) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, "
               "?15, ?16)",
               &file_) ||
      !prepare("INSERT INTO zahlungen (datei_id, nr, name, blz, konto, betrag_cent, textschluessel, zweck, "
               "name_roh, konto_roh, zweck_roh) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)",
               &payment_) ||
      !prepare("INSERT INTO befunde (datei_id, nr, schwere, art, satz, byte, text) "
               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
               &finding_))
    return Fail("Die Datenbank hat nicht die Tabellen von quandel-cli");
  return true;
}

std::unordered_map<std::string, bool> TArchiveDb::KnownFiles() {
  std::unordered_map<std::string, bool> known;
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT pfad, groesse, pruefwert, stimmig FROM dateien", -1, &raw, nullptr) !=
      SQLITE_OK)
    return known;
  const TStatement s(raw);
  while (sqlite3_step(raw) == SQLITE_ROW) {
    const auto text = [raw](int column) {
      const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(raw, column));
      return std::string(bytes != nullptr ? bytes : "",
                         static_cast<std::size_t>(sqlite3_column_bytes(raw, column)));
    };
    known[FileKey(text(0), sqlite3_column_int64(raw, 1), text(2))] = sqlite3_column_int(raw, 3) != 0;
  }
  return known;
}

bool TArchiveDb::Add(const TFileRow& f) {
  if (!Exec("BEGIN")) return Fail("Die Datenbank kann nicht geschrieben werden");
  // Every parameter is bound anew for each row, so none need be cleared.
  const auto done = [](sqlite3_stmt* s) {
    const bool ok = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    return ok;
  };
  sqlite3_stmt* s = file_;
  BindText(s, 1, f.Pfad);
  sqlite3_bind_int64(s, 2, f.Groesse);
  BindText(s, 3, f.Pruefwert);
  BindText(s, 4, f.Art);
  BindText(s, 5, f.Kennzeichen);
  BindOptionalText(s, 6, f.Datum);
  BindOptionalText(s, 7, f.Ausfuehrung);
  BindText(s, 8, f.AbsenderName);
  BindText(s, 9, f.AbsenderBlz);
  BindText(s, 10, f.AbsenderKonto);
  BindText(s, 11, f.Referenz);
  BindText(s, 12, f.Waehrung);
  sqlite3_bind_int64(s, 13, f.Anzahl);
  BindInt(s, 14, f.SummeCent);
  sqlite3_bind_int(s, 15, f.Stimmig ? 1 : 0);
  BindOptionalText(s, 16, f.Lesefehler);
  bool ok = done(s);
  const sqlite3_int64 id = sqlite3_last_insert_rowid(db_);
  for (const TPaymentRow& p : f.Payments) {
    if (!ok) break;
    s = payment_;
    sqlite3_bind_int64(s, 1, id);
    sqlite3_bind_int64(s, 2, p.Nr);
    BindText(s, 3, f.Text(p.Name));
    BindText(s, 4, f.Text(p.Blz));
    BindText(s, 5, f.Text(p.Konto));
    BindInt(s, 6, p.Cents);
    BindText(s, 7, f.Text(p.Textschluessel));
    BindText(s, 8, f.Text(p.Zweck));
    BindText(s, 9, f.Text(p.NameRoh));
    BindText(s, 10, f.Text(p.KontoRoh));
    BindText(s, 11, f.Text(p.ZweckRoh));
    ok = done(s);
  }
  for (const TFindingRow& b : f.Findings) {
    if (!ok) break;
    s = finding_;
    sqlite3_bind_int64(s, 1, id);
    BindInt(s, 2, b.Nr);
    BindText(s, 3, b.Schwere);
    BindText(s, 4, b.Art);
    BindOptionalText(s, 5, b.Satz);
    BindInt(s, 6, b.Byte);
    BindText(s, 7, b.Text);
    ok = done(s);
  }
  if (ok && Exec("COMMIT")) return true;
  Fail("Die Datenbank kann nicht geschrieben werden");
  Exec("ROLLBACK");
  return false;
}

bool TArchiveDb::Close() {
  for (sqlite3_stmt** s : {&file_, &payment_, &finding_}) {
    sqlite3_finalize(*s);
    *s = nullptr;
  }
  // Statistics for the query planner, so the first queries already use the indexes well.
  if (!Exec("BEGIN") || !Exec(kIndexes) || !Exec("COMMIT") || !Exec("PRAGMA optimize"))
    return Fail("Die Datenbank kann nicht abgeschlossen werden");
  const int closed = sqlite3_close(db_);
  if (closed != SQLITE_OK) return Fail("Die Datenbank kann nicht abgeschlossen werden");
  db_ = nullptr;
  return true;
}

}  // namespace cli
