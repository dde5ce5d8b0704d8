#include "csv_export.h"

#include <charconv>
#include <optional>
#include <utility>

#include "byte_scan.h"
#include "cents.h"
#include "control_list.h"
#include "cp1252.h"
#include "numfmt.h"
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
    out.append(text);
  }
  // Decoded at once: the separators hold none of the codes.
  ombra::DecodeUmlautsInPlace(out.data() + start, out.size() - start);
}

std::string JoinPurpose(const ombra::TSatzC& payment) {
  std::string joined;
  AppendJoinedPurpose(joined, payment);
  return joined;
}

TCsvRows::TCsvRows(const ombra::TRegionalSettings& rs, bool euro)
    : sep_(CsvSeparator(rs)), decimal_(rs.DecimalSeparator), currency_(ombra::CurrencyText(euro)) {}

void TCsvRows::Header(std::string& out, bool banks) const {
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

void TCsvRows::Row(std::string& out, std::size_t number, const ombra::TSatzC& c,
                   const ombra::TAccountCheck* account) {
  // Formatted in place: room for the most the row can take, then cut to what it took.
  const std::size_t at = out.size();
  out.resize(at + Prepare(c, account));
  char* const end = PutRow(out.data() + at, number, c);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

std::size_t TCsvRows::Prepare(const ombra::TSatzC& c, const ombra::TAccountCheck* account) {
  purpose_.clear();
  AppendJoinedPurpose(purpose_, c);
  field_.clear();
  AppendPlainAmount(field_, c.Betrag, decimal_);
  banks_ = account != nullptr;
  bankName_ = bankPlace_ = verdict_ = {};
  if (account != nullptr) {
    if (account->Bank) {
      bankName_ = account->Bank->Name;
      bankPlace_ = account->Bank->Place;
    }
    verdict_ = ombra::VerdictText(account->Verdict);
  }
  return 32 + FieldBound(TrimmedView(c.Name)) + FieldBound(TrimmedView(c.BLZ)) + FieldBound(TrimmedView(c.Konto)) +
         FieldBound(purpose_) + FieldBound(field_) + FieldBound(currency_) + FieldBound(bankName_) +
         FieldBound(bankPlace_) + FieldBound(verdict_);
}

char* TCsvRows::PutRow(char* to, std::size_t number, const ombra::TSatzC& c) const {
  to = std::to_chars(to, to + 24, number).ptr;
  to = PutField(to, TrimmedView(c.Name), true);
  to = PutField(to, TrimmedView(c.BLZ), true);
  // The account is a number of ours; the other texts come from the file as they stand.
  to = PutField(to, TrimmedView(c.Konto), false);
  to = PutField(to, purpose_, true);
  to = PutField(to, field_, false);
  to = PutField(to, currency_, false);
  if (banks_) {
    to = PutField(to, bankName_, true);
    to = PutField(to, bankPlace_, true);
    to = PutField(to, verdict_, true);
  }
  *to++ = '\r';
  *to++ = '\n';
  return to;
}

std::size_t TCsvRows::FieldBound(std::string_view cp1252) {
  // Separator, quotes, the formula guard, and every byte in UTF-8 or a doubled quote.
  return 4 + support::Cp1252AsUtf8Bound(cp1252.size());
}

char* TCsvRows::PutField(char* to, std::string_view cp1252, bool guardFormula) const {
  *to++ = sep_;
  // The bytes that call for quotes are ASCII, the same in Windows-1252 and UTF-8, and the
  // guard's "'" is none of them.
  const bool quoted = NeedsQuotes(cp1252, sep_);
  if (quoted) *to++ = '"';
  if (guardFormula && support::StartsLikeFormula(cp1252)) *to++ = '\'';
  if (!quoted) {
    to = support::PutCp1252AsUtf8(to, cp1252);
  } else {
    for (const char c : cp1252) {
      if (c == '"') *to++ = '"';
      to = support::PutCp1252AsUtf8(to, std::string_view(&c, 1));
    }
    *to++ = '"';
  }
  return to;
}

namespace {

// Formats each payment's row as it is read and holds the rows until the read is over.
class TCsvRowSink final : public ombra::TPaymentSink {
 public:
  TCsvRowSink(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs, const ombra::TBankDirectory* banks,
              THeldOutput& rows)
      : doc_(doc), rs_(rs), rows_(rows) {
    if (banks != nullptr) cache_.emplace(*banks);
  }
  void OnPayment(const ombra::TSatzC& c) override {
    // The currency is the A record's, read before the first payment.
    if (!format_) format_.emplace(rs_, doc_.SatzA->Euro);
    // The account check lives until the row is written: the row holds views of its bank.
    std::optional<ombra::TAccountCheck> account;
    if (cache_) account = cache_->Check(c.BLZ, c.Konto);
    const std::size_t bound = format_->Prepare(c, account ? &*account : nullptr);
    // Straight into the held blocks: no row of its own to copy from.
    rows_.Commit(format_->PutRow(rows_.Reserve(bound), ++count_, c));
  }

 private:
  const ombra::TDtaus& doc_;
  const ombra::TRegionalSettings& rs_;
  THeldOutput& rows_;
  std::optional<ombra::TBankCache> cache_;
  std::optional<TCsvRows> format_;
  std::size_t count_ = 0;
};

}  // namespace

void StreamCsvRows(ombra::TDtaus& doc, const std::string& fileName, const ombra::TRegionalSettings& rs,
                   const ombra::TBankDirectory* banks, THeldOutput& rows) {
  TCsvRowSink sink(doc, rs, banks, rows);
  doc.Stream(fileName, rs, sink);
}

void WriteCsvHeader(const ombra::TRegionalSettings& rs, bool banks,
                    const std::function<void(std::string_view)>& write) {
  std::string header;
  TCsvRows(rs, true).Header(header, banks);
  write(header);
}

void WriteCsv(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs,
              const std::function<void(std::string_view)>& write, const ombra::TAccountChecks* banks) {
  WriteCsvHeader(rs, banks != nullptr, write);
  WriteRowsInParts(doc.SatzCList.size(), write, [&](std::size_t begin, std::size_t end, const TWrite& put) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    TCsvRows rows(rs, doc.SatzA->Euro);
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
  TCsvRows csv(rs, doc.SatzA->Euro);
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
