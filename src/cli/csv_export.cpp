#include "csv_export.h"

#include <charconv>
#include <cstring>
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
  banks_ = account != nullptr;
  bankName_ = bankPlace_ = verdict_ = {};
  if (account != nullptr) {
    if (account->Bank) {
      bankName_ = account->Bank->Name;
      bankPlace_ = account->Bank->Place;
    }
    verdict_ = ombra::VerdictText(account->Verdict);
  }
  // The purpose: each line's bytes and the " / " before it. The texts' room is reckoned
  // before their trailing blanks are cut, which is enough and costs no scan.
  std::size_t purpose = 0;
  for (const std::string_view line : c.Verwendungszweck) purpose += 3 + line.size();
  return 32 + FieldBound(c.Name) + FieldBound(c.BLZ) + FieldBound(c.Konto) +
         4 + support::Cp1252AsUtf8Bound(2 * purpose) + 1 + PlainAmountBound(c.Betrag) + FieldBound(currency_) +
         FieldBound(bankName_) + FieldBound(bankPlace_) + FieldBound(verdict_);
}

char* TCsvRows::PutRow(char* to, std::size_t number, const ombra::TSatzC& c) const {
  to = std::to_chars(to, to + 24, number).ptr;
  to = PutField(to, c.Name, true);
  to = PutField(to, c.BLZ, true);
  // The account and the amount are numbers of ours; the other texts come from the file as
  // they stand.
  to = PutField(to, c.Konto, false);
  to = PutPurpose(to, c);
  *to++ = sep_;
  // Digits, sign and a decimal separator, which is never the field separator.
  to = PutPlainAmount(to, c.Betrag, decimal_);
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

namespace {

// A text in UTF-8, its DIN umlaut codes decoded or not.
char* PutUtf8(char* to, std::string_view cp1252, bool decoded) {
  return decoded ? ombra::PutDecodedUtf8(to, cp1252) : support::PutCp1252AsUtf8(to, cp1252);
}

// Inside quotes: each double quote doubled.
char* PutQuotedUtf8(char* to, std::string_view cp1252, bool decoded) {
  for (const char c : cp1252) {
    if (c == '"') *to++ = '"';
    to = PutUtf8(to, std::string_view(&c, 1), decoded);
  }
  return to;
}

}  // namespace

char* TCsvRows::PutField(char* to, std::string_view padded, bool guardFormula) const {
  const std::string_view cp1252 = TrimmedView(padded);
  *to++ = sep_;
  // The bytes that call for quotes are ASCII, the same in Windows-1252 and UTF-8, and the
  // guard's "'" is none of them. Asked of the field with its blanks, like a purpose line.
  const bool quoted = NeedsQuotes(padded, sep_);
  if (quoted) *to++ = '"';
  if (guardFormula && support::StartsLikeFormula(cp1252)) *to++ = '\'';
  if (!quoted) {
    if (support::HasByteAbove7F(padded)) return support::PutCp1252AsUtf8(to, cp1252);
    // An empty field (a bank the directory lacks) may have no bytes at all to copy from.
    if (!cp1252.empty()) std::memcpy(to, cp1252.data(), cp1252.size());
    return to + cp1252.size();
  }
  to = PutQuotedUtf8(to, cp1252, false);
  *to++ = '"';
  return to;
}

char* TCsvRows::PutPurpose(char* to, const ombra::TSatzC& c, bool quoted) const {
  // The field JoinPurpose makes, written from the lines without joining them first: the codes
  // decode to letters, so neither the quotes nor the guard depend on the decoding. Written
  // without quotes first; the rare field that needs them is written again.
  char* const start = to;
  *to++ = sep_;
  if (quoted) *to++ = '"';
  bool joined = false;
  bool needsQuotes = false;
  for (const std::string_view line : c.Verwendungszweck) {
    const std::string_view text = TrimmedView(line);
    if (text.empty()) continue;
    if (!std::exchange(joined, true)) {
      if (support::StartsLikeFormula(text)) *to++ = '\'';
    } else {
      std::memcpy(to, " / ", 3);
      to += 3;
    }
    if (quoted) {
      to = PutQuotedUtf8(to, text, true);
      continue;
    }
    // Asked of the whole line, whose blanks after the text change neither answer: most
    // lines are then asked in two blocks of sixteen, without a loop over their last bytes.
    needsQuotes = needsQuotes || NeedsQuotes(line, sep_);
    if (ombra::DecodedUtf8Differs(line)) {
      to = ombra::PutDecodedUtf8(to, text);
    } else {
      std::memcpy(to, text.data(), text.size());
      to += text.size();
    }
  }
  if (needsQuotes) return PutPurpose(start, c, true);
  if (quoted) *to++ = '"';
  return to;
}

namespace {

// Formats each payment's row as it is read and holds the rows until the read is over.
template <typename TRoom>
class TCsvRowSink final : public ombra::TPaymentSink {
 public:
  TCsvRowSink(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs, const ombra::TBankDirectory* banks,
              TRoom& rows)
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
    // Straight into the blocks: no row of its own to copy from.
    rows_.Commit(format_->PutRow(rows_.Reserve(bound), ++count_, c));
  }

 private:
  const ombra::TDtaus& doc_;
  const ombra::TRegionalSettings& rs_;
  TRoom& rows_;
  std::optional<ombra::TBankCache> cache_;
  std::optional<TCsvRows> format_;
  std::size_t count_ = 0;
};

template <typename TRoom>
void StreamRows(ombra::TDtaus& doc, const std::string& fileName, const ombra::TRegionalSettings& rs,
                const ombra::TBankDirectory* banks, TRoom& rows) {
  TCsvRowSink<TRoom> sink(doc, rs, banks, rows);
  doc.Stream(fileName, rs, sink);
}

}  // namespace

void StreamCsvRows(ombra::TDtaus& doc, const std::string& fileName, const ombra::TRegionalSettings& rs,
                   const ombra::TBankDirectory* banks, THeldOutput& rows) {
  StreamRows(doc, fileName, rs, banks, rows);
}

void StreamCsvRows(ombra::TDtaus& doc, const std::string& fileName, const ombra::TRegionalSettings& rs,
                   const ombra::TBankDirectory* banks, TBlockWriter& rows) {
  StreamRows(doc, fileName, rs, banks, rows);
  rows.Flush();
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
