#pragma once
// The archive database of `quandel-cli sqlite`: tables `dateien`, `zahlungen` and `befunde`
// with German column names, amounts in whole cents, written through SQLite's C API.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace cli {

// Where a payment's text lies in its file's TFileRow::Texts: a file's many small texts in one
// string instead of a heap block each, handed from the reading thread to the writing one.
struct TTextSpan {
  std::size_t At = 0;
  std::size_t Size = 0;
};

// Texts in UTF-8.
struct TPaymentRow {
  std::int64_t Nr = 0;
  std::optional<std::int64_t> Cents;
  TTextSpan Name;            // DIN umlaut codes decoded, trailing blanks removed
  TTextSpan Blz;             // the 8 digits as stored
  TTextSpan Konto;           // without leading zeros, as the control list shows it
  TTextSpan Textschluessel;  // positions 45-49: key and its supplement
  TTextSpan Zweck;           // purpose lines decoded and trimmed, joined by line feeds
  // As stored in the file: every byte of the field, DIN codes and blanks kept.
  TTextSpan NameRoh;
  TTextSpan KontoRoh;
  TTextSpan ZweckRoh;  // lines of 27 characters joined by line feeds
};

struct TFindingRow {
  std::optional<std::int64_t> Nr;
  std::string Schwere;  // "Fehler" or "Warnung"
  std::string Art;
  std::optional<std::string> Satz;  // "A", "C" or "E"
  std::optional<std::int64_t> Byte;
  std::string Text;
};

struct TFileRow {
  std::string Pfad;
  std::int64_t Groesse = 0;
  std::string Pruefwert;  // content hash, see content_hash.h
  std::string Art;
  std::string Kennzeichen;           // GK, LK, GB or LB as stored
  std::optional<std::string> Datum;  // YYYY-MM-DD
  std::optional<std::string> Ausfuehrung;
  std::string AbsenderName;
  std::string AbsenderBlz;
  std::string AbsenderKonto;
  std::string Referenz;
  std::string Waehrung;     // "EUR" or "DM"
  std::int64_t Anzahl = 0;  // payments read
  std::optional<std::int64_t> SummeCent;
  bool Stimmig = false;
  std::optional<std::string> Lesefehler;  // why reading stopped early
  std::vector<TPaymentRow> Payments;
  std::string Texts;  // of the payments
  std::vector<TFindingRow> Findings;

  std::string_view Text(TTextSpan span) const { return std::string_view(Texts).substr(span.At, span.Size); }
};

// What identifies a file already in the database: path, size and content hash.
std::string FileKey(const std::string& pfad, std::int64_t groesse, const std::string& pruefwert);

// Marks our databases (PRAGMA application_id): "QDTA".
inline constexpr std::int32_t kArchiveApplicationId = 0x51445441;

enum class TDbCheck { Ours, Foreign, Unreadable };
// Whether the existing file `path` is an archive database of ours; `why` gets SQLite's reason
// when it cannot be read.
TDbCheck InspectArchiveDb(const std::string& path, std::string& why);

class TArchiveDb {
 public:
  TArchiveDb() = default;
  ~TArchiveDb();
  TArchiveDb(const TArchiveDb&) = delete;
  TArchiveDb& operator=(const TArchiveDb&) = delete;

  // Opens the (empty) file `path`; with `copyOf`, the existing database is copied into it
  // first, otherwise the tables are made. False with Error() set.
  bool Open(const std::string& path, const std::string& copyOf = {});
  // Key (FileKey) -> stimmig of every file in the database.
  std::unordered_map<std::string, bool> KnownFiles();
  // One file with its payments and findings in one transaction.
  bool Add(const TFileRow& file);
  // Finishes the writing; false with Error() set.
  bool Close();

  const std::string& Error() const { return error_; }

 private:
  bool Exec(const char* sql);
  bool Fail(const char* what);
  bool Prepare();

  sqlite3* db_ = nullptr;
  sqlite3_stmt* file_ = nullptr;
  sqlite3_stmt* payment_ = nullptr;
  sqlite3_stmt* finding_ = nullptr;
  std::string error_;
};

}  // namespace cli
