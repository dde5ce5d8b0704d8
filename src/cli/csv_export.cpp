#include "csv_export.h"

#include <charconv>
#include <utility>

#include "byte_scan.h"
#include "cents.h"
#include "control_list.h"
#include "cp1252.h"
#include "parallel_rows.h"
#include "umlauts.h"

namespace cli {

char CsvSeparator(const ombra::TRegionalSettings& rs) { return rs.DecimalSeparator == ',' ? ';' : ','; }

namespace {

bool NeedsQuotes(std::string_view field, char separator) {
  return support::ContainsAny(field, separator, '"', '\r', '\n');
}

}  // namespace

void AppendCsvField(std::string& out, std::string_view field, char separator) {
  if (!NeedsQuotes(field, separator)) {
    out.append(field);
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

namespace {

std::string_view TrimmedView(std::string_view text) { return support::WithoutTrailingBlanks(text); }

}  // namespace

std::string TrimTrailingBlanks(std::string_view text) { return std::string(TrimmedView(text)); }

std::string DecodedUtf8(std::string_view cp1252) {
  return support::Cp1252ToUtf8(ombra::DecodeUmlauts(TrimmedView(cp1252)));
}

void AppendJoinedPurpose(std::string& out, const ombra::TSatzC& payment) {
  const std::size_t start = out.size();
  for (const std::string_view line : payment.Verwendungszweck) {
    const std::string_view text = TrimmedView(line);
    if (text.empty()) continue;
    if (out.size() > start) out += " / ";
    const std::size_t at = out.size();
    out.append(text);
    ombra::DecodeUmlautsInPlace(out.data() + at, text.size());
  }
}

std::string JoinPurpose(const ombra::TSatzC& payment) {
  std::string joined;
  AppendJoinedPurpose(joined, payment);
  return joined;
}

namespace {

// Reused for every row, so a row costs no allocation once the first ones have sized it.
class TCsvRows {
 public:
  TCsvRows(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs)
      : sep_(CsvSeparator(rs)), decimal_(rs.DecimalSeparator), currency_(doc.CurrencyText()) {}

  void Header(std::string& out, bool banks) const {
    out += "\xEF\xBB\xBF";
    bool first = true;
    const auto title = [&](std::string_view text) {
      if (!std::exchange(first, false)) out += sep_;
      out += text;
    };
    for (const std::string& text : ombra::SheetColumnTitles()) title(text);
    if (banks)
      for (const std::string_view text : kBankColumnTitles) title(text);
    out += "\r\n";
  }

  void Row(std::string& out, std::size_t number, const ombra::TSatzC& c,
           const ombra::TAccountCheck* account) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
    Text(out, TrimmedView(c.Name));
    Text(out, TrimmedView(c.BLZ));
    Text(out, TrimmedView(c.Konto), false);
    purpose_.clear();
    AppendJoinedPurpose(purpose_, c);
    Text(out, purpose_);
    field_.clear();
    AppendPlainAmount(field_, c.Betrag, decimal_);
    Field(out, field_);
    Field(out, currency_);
    if (account != nullptr) {
      Text(out, account->Bank ? std::string_view(account->Bank->Name) : std::string_view());
      Text(out, account->Bank ? std::string_view(account->Bank->Place) : std::string_view());
      Text(out, ombra::VerdictText(account->Verdict));
    }
    out += "\r\n";
  }

 private:
  // The account is a number of ours; the other texts come from the file as they stand.
  void Text(std::string& out, std::string_view cp1252, bool fromFile = true) {
    if (fromFile && support::StartsLikeFormula(cp1252)) {
      field_.assign(1, '\'');
      support::AppendCp1252AsUtf8(field_, cp1252);
      Field(out, field_);
      return;
    }
    if (!support::HasByteAbove7F(cp1252)) {
      Field(out, cp1252);
      return;
    }
    field_.clear();
    support::AppendCp1252AsUtf8(field_, cp1252);
    Field(out, field_);
  }
  void Field(std::string& out, std::string_view utf8) const {
    out += sep_;
    AppendCsvField(out, utf8, sep_);
  }

  char sep_;
  char decimal_;
  std::string_view currency_;
  std::string purpose_;
  std::string field_;
};

}  // namespace

void WriteCsv(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs,
              const std::function<void(std::string_view)>& write, const ombra::TAccountChecks* banks) {
  std::string header;
  TCsvRows(doc, rs).Header(header, banks != nullptr);
  write(header);
  WriteRowsInParts(doc.SatzCList.size(), write, [&](std::size_t begin, std::size_t end, const TWrite& put) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    TCsvRows rows(doc, rs);
    std::string block;
    block.reserve(kBlock + 4096);
    for (std::size_t i = begin; i < end; ++i) {
      rows.Row(block, i + 1, doc.SatzCList[i], banks != nullptr ? &banks->Payments[i] : nullptr);
      if (block.size() >= kBlock) {
        put(block);
        block.clear();
      }
    }
    put(block);
  });
}

bool WriteCsvRows(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs, std::span<const int> rows,
                  const std::function<void(std::string_view)>& write,
                  const std::function<bool(std::size_t)>& progress) {
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  constexpr std::size_t kProgressEvery = 4096;
  TCsvRows csv(doc, rs);
  std::string block;
  csv.Header(block, false);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto payment = static_cast<std::size_t>(rows[i]);
    csv.Row(block, payment + 1, doc.SatzCList[payment], nullptr);
    if (block.size() >= kBlock) {
      write(block);
      block.clear();
    }
    if (progress && (i + 1) % kProgressEvery == 0 && !progress(i + 1)) return false;
  }
  write(block);
  return true;
}

std::string DamageText(const ombra::TDtaus& doc) {
  std::string text =
      "Datei besch\xE4"
      "digt: " +
      doc.LoadError;
  if (const std::string read = ombra::ReadSoFarText(doc.Damage); !read.empty()) text += "; " + read;
  return support::Cp1252ToUtf8(text);
}

void WriteCsvDamageRow(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs,
                       const std::function<void(std::string_view)>& write) {
  std::string row;
  AppendCsvField(row, DamageText(doc), CsvSeparator(rs));
  write(row + "\r\n");
}

std::string PaymentsToCsv(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs) {
  std::string out;
  WriteCsv(doc, rs, [&out](std::string_view bytes) { out.append(bytes); });
  return out;
}

}  // namespace cli
