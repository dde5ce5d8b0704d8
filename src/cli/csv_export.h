#pragma once
// The payments as a spreadsheet table: UTF-8 with byte-order mark, CR LF rows, RFC 4180 quoting.
#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "bank_directory.h"
#include "block_writer.h"
#include "check.h"
#include "dtaus.h"
#include "formula_guard.h"
#include "held_output.h"
#include "regional.h"

namespace cli {

// The columns an export adds when it checks the accounts.
inline constexpr std::array<std::string_view, 3> kBankColumnTitles{"Bank", "Ort", "Kontoprüfung"};

// ";" where the decimal separator is a comma (it would split every amount), "," otherwise.
char CsvSeparator(const ombra::TRegionalSettings& rs);

// Quotes the field when it holds the separator, a double quote, CR or LF.
void AppendCsvField(std::string& out, std::string_view field, char separator);

// A text cell a spreadsheet would take for a formula (first character "=", "+", "-", "@",
// tab or CR) gets a leading "'", so it shows as the text it is; the viewer's clipboard does
// the same.
using support::NeutraliseFormula;

// Trailing blanks of the fixed-width fields removed.
std::string TrimTrailingBlanks(std::string_view text);

// A name or purpose line as a reader wants it: trailing blanks removed, DIN umlaut codes
// decoded, in UTF-8.
std::string DecodedUtf8(std::string_view cp1252);

// Purpose lines umlaut-decoded, trimmed and joined by " / "; lines left empty are skipped.
// Windows-1252 bytes, like the document.
std::string JoinPurpose(const ombra::TSatzC& payment);
void AppendJoinedPurpose(std::string& out, const ombra::TSatzC& payment);

// The table's rows, one payment at a time. Reused for every row, so a row costs no allocation
// once the first ones have sized it.
class TCsvRows {
 public:
  // `euro`: the file's currency (TSatzA::Euro), named in every row.
  TCsvRows(const ombra::TRegionalSettings& rs, bool euro);
  // Byte-order mark and titles; given `banks`, the bank's three columns too.
  void Header(std::string& out, bool banks) const;
  // The row of payment `number` (counted from 1), appended to `out`; given `account`, with the
  // payee's bank, its place and the verdict on the account.
  void Row(std::string& out, std::size_t number, const ombra::TSatzC& c,
           const ombra::TAccountCheck* account = nullptr);
  // The same in two steps, for a writer with room of its own: Prepare says how much room the
  // row may take, PutRow writes it there and returns its end. Both with the same payment, and
  // `account` alive until PutRow: the row holds views of its bank's texts.
  std::size_t Prepare(const ombra::TSatzC& c, const ombra::TAccountCheck* account = nullptr);
  char* PutRow(char* to, std::size_t number, const ombra::TSatzC& c) const;

 private:
  // A Windows-1252 text without its trailing blanks as a field after its separator, in UTF-8,
  // quoted where needed, with a leading "'" when `guardFormula` and it starts like a formula;
  // room for FieldBound.
  char* PutField(char* to, std::string_view padded, bool guardFormula) const;
  static std::size_t FieldBound(std::string_view cp1252);
  // The purpose lines as JoinPurpose joins them, as one field; `quoted` when it is known to
  // need quotes.
  char* PutPurpose(char* to, const ombra::TSatzC& c, bool quoted = false) const;

  char sep_;
  char decimal_;
  std::string_view currency_;
  std::string_view bankName_, bankPlace_, verdict_;
  bool banks_ = false;
};

void WriteCsvHeader(const ombra::TRegionalSettings& rs, bool banks,
                    const std::function<void(std::string_view)>& write);

// The rows of the file `fileName`, formatted from each record as it is read (given `banks`,
// with every account checked) and held in `rows`, without keeping the payments: the rows
// WriteCsv writes for the loaded file. `doc` is left as Stream leaves it, to decide whether
// and what to write.
void StreamCsvRows(ombra::TDtaus& doc, const std::string& fileName, const ombra::TRegionalSettings& rs,
                   const ombra::TBankDirectory* banks, THeldOutput& rows);
// The same, handed on in blocks as they fill, for a target that can still be dropped when the
// file turns out damaged (a named file's temporary copy).
void StreamCsvRows(ombra::TDtaus& doc, const std::string& fileName, const ombra::TRegionalSettings& rs,
                   const ombra::TBankDirectory* banks, TBlockWriter& rows);

// Byte-order mark, header row and one row per payment; expects a loaded document. Written in
// large blocks, so a big table is never held whole. Given `banks`, each row also names the
// payee's bank, its place and the verdict on the account.
void WriteCsv(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs,
              const std::function<void(std::string_view)>& write,
              const ombra::TAccountChecks* banks = nullptr);
// What WriteCsv writes, for the payments `rows` names (counted from 0) in that order, each
// numbered as in the file: a part of a list, sorted or filtered as a reader shows it. After
// every few thousand rows `progress` gets the number written; false stops, and so does the
// result.
bool WriteCsvRows(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs, std::span<const int> rows,
                  const std::function<void(std::string_view)>& write,
                  const std::function<bool(std::size_t)>& progress = {});
// That the file is damaged, where, and how much was read; UTF-8.
std::string DamageText(const ombra::TDtaus& doc);
// After the rows of a damaged file's payments (written with --partial): one row that says the
// file is damaged, where, and how much was read.
void WriteCsvDamageRow(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs,
                       const std::function<void(std::string_view)>& write);
std::string PaymentsToCsv(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs);

}  // namespace cli
