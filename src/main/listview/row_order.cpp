#include "row_order.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "amounts.h"
#include "numfmt.h"
#include "payment_model.h"
#include "umlauts.h"

namespace quandel {
namespace {

// Signed values as unsigned ones that order the same way.
std::uint64_t Ordered(std::int64_t value) { return static_cast<std::uint64_t>(value) ^ (1ULL << 63); }

// The first eight bytes, big-endian, so that comparing numbers compares the bytes.
std::uint64_t Prefix(std::string_view text) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i)
    key = key << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
  return key;
}

// Windows-1252 letters with diacritics as the capital they are sorted with.
char BaseLetter(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  switch (c) {
    case 0xC4:
    case 0xE4:
    case 0xC0:
    case 0xC1:
    case 0xC2:
    case 0xE0:
    case 0xE1:
    case 0xE2: return 'A';
    case 0xD6:
    case 0xF6:
    case 0xD2:
    case 0xD3:
    case 0xD4:
    case 0xF2:
    case 0xF3:
    case 0xF4: return 'O';
    case 0xDC:
    case 0xFC:
    case 0xD9:
    case 0xDA:
    case 0xDB:
    case 0xF9:
    case 0xFA:
    case 0xFB: return 'U';
    case 0xC9:
    case 0xE9:
    case 0xC8:
    case 0xE8:
    case 0xCA:
    case 0xEA: return 'E';
    case 0xC7:
    case 0xE7: return 'C';
    default: return static_cast<char>(c);
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

void AppendTextKey(std::string& out, std::string_view text) {
  std::string decoded;
  ombra::AppendDecodedUmlauts(decoded, text);
  bool blank = false;
  const std::size_t start = out.size();
  for (const char c : decoded) {
    if (IsBlank(c)) {
      blank = true;
      continue;
    }
    if (blank && out.size() > start) out += ' ';
    blank = false;
    if (static_cast<unsigned char>(c) == 0xDF)
      out += "SS";
    else
      out += BaseLetter(static_cast<unsigned char>(c));
  }
}

}  // namespace

TSortOrder NextSortOrder(TSortOrder current, int column) {
  if (current.column != column) return {column, false};
  if (!current.descending) return {column, true};
  return {};
}

std::string TColumnKeys::TextKey(std::string_view text) {
  std::string key;
  AppendTextKey(key, text);
  return key;
}

std::uint64_t TColumnKeys::NumberKey(std::string_view text) {
  std::uint64_t number = 0;
  for (const char c : text)
    if (c >= '0' && c <= '9' && number < std::numeric_limits<std::uint64_t>::max() / 10)
      number = number * 10 + static_cast<std::uint64_t>(c - '0');
  return number;
}

TColumnKeys::TColumnKeys(const ombra::TDtaus& document, int column) : column_(column) {
  const auto& payments = document.SatzCList;
  const std::size_t count = TPaymentModel::HasList(document) ? payments.size() : 0;
  keys_.reserve(count);
  const bool text = column == kColName || column == kColPurpose;
  if (text) starts_.reserve(count + 1);
  for (std::size_t row = 0; row < count; ++row) {
    const ombra::TSatzC& payment = payments[row];
    switch (column) {
      case kColBlz: keys_.push_back(NumberKey(payment.BLZ)); break;
      case kColKonto: keys_.push_back(NumberKey(payment.Konto)); break;
      case kColAmount: {
        const std::optional<std::int64_t> cents = ShownCents(payment);
        // What has no cents (not a number) goes after every amount.
        keys_.push_back(cents ? Ordered(*cents) : std::numeric_limits<std::uint64_t>::max());
        break;
      }
      case kColName:
      case kColPurpose: {
        starts_.push_back(static_cast<std::uint32_t>(texts_.size()));
        if (column == kColName) {
          AppendTextKey(texts_, payment.Name);
        } else {
          for (const auto& line : payment.Verwendungszweck) {
            AppendTextKey(texts_, line);
            texts_ += ' ';
          }
        }
        keys_.push_back(Prefix(std::string_view(texts_).substr(starts_.back())));
        break;
      }
      default: keys_.push_back(row); break;
    }
  }
  if (text) starts_.push_back(static_cast<std::uint32_t>(texts_.size()));
}

bool TColumnKeys::less(int a, int b) const {
  const auto ia = static_cast<std::size_t>(a), ib = static_cast<std::size_t>(b);
  if (keys_[ia] != keys_[ib]) return keys_[ia] < keys_[ib];
  if (starts_.empty()) return false;
  const std::string_view ta(texts_.data() + starts_[ia], starts_[ia + 1] - starts_[ia]);
  const std::string_view tb(texts_.data() + starts_[ib], starts_[ib + 1] - starts_[ib]);
  return ta < tb;
}

void TColumnKeys::sort(std::vector<int>& fileRows, bool descending) const {
  if (descending)
    std::stable_sort(fileRows.begin(), fileRows.end(), [this](int a, int b) { return less(b, a); });
  else
    std::stable_sort(fileRows.begin(), fileRows.end(), [this](int a, int b) { return less(a, b); });
}

std::optional<std::int64_t> ParseAmount(const QString& typed) {
  QString text = typed;
  // An amount copied from the list comes with the list's currency.
  for (const bool euro : {true, false})
    text.remove(QLatin1StringView(ombra::CurrencyText(euro)), Qt::CaseInsensitive);
  text.remove(u'€');
  text.remove(u' ');
  text = text.trimmed();
  const bool negative = text.startsWith(u'-');
  if (negative) text.remove(0, 1);
  // Anything but ASCII is no amount; toLatin1 would make it one.
  for (const QChar c : text)
    if (c.unicode() > 0x7F) return std::nullopt;
  const std::optional<std::int64_t> cents = ombra::ParseTypedCents(text.toLatin1().toStdString());
  if (!cents) return std::nullopt;
  return negative ? -*cents : *cents;
}

std::optional<TAmountRange> ParseAmountRange(const QString& typed) {
  const QString text = typed.trimmed();
  if (text.isEmpty()) return std::nullopt;
  const qsizetype dots = text.indexOf(QStringLiteral(".."));
  if (dots < 0) {
    const std::optional<std::int64_t> amount = ParseAmount(text);
    if (!amount) return std::nullopt;
    return TAmountRange{amount, amount};
  }
  const QString low = text.left(dots).trimmed();
  const QString high = text.mid(dots + 2).trimmed();
  TAmountRange range;
  if (!low.isEmpty() && !(range.min = ParseAmount(low))) return std::nullopt;
  if (!high.isEmpty() && !(range.max = ParseAmount(high))) return std::nullopt;
  if (!range.min && !range.max) return std::nullopt;
  return range;
}

}  // namespace quandel
