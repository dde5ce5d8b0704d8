#include "convert.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <limits>
#include <string>

namespace ombra {
namespace {

// A NUL byte ends a field early: what follows it is not looked at.
std::string_view UpToNul(std::string_view field) {
  const auto nul = field.find('\0');
  return nul == std::string_view::npos ? field : field.substr(0, nul);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Nearly every numeric field of a file is leading blanks and up to 18 decimal digits, maybe
// followed by blanks; reading those directly spares a million payments the general path.
// -1 when the field has any other shape.
// Eight bytes as they lie in memory, the first in the lowest byte on any processor.
std::uint64_t LoadLittleEndian(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

// Whether all eight bytes are the digits 0-9.
bool EightDigits(std::uint64_t word) {
  return ((word & 0xF0F0F0F0F0F0F0F0) | (((word + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) ==
         0x3333333333333333;
}

// The number that eight digit values (0-9, the first in the lowest byte) spell, in three
// multiplications that each join neighbours: pairs, then fours, then the eight.
std::uint64_t EightDigitValue(std::uint64_t values) {
  values = (values * 10 + (values >> 8)) & 0x00FF00FF00FF00FF;
  values = (values * 100 + (values >> 16)) & 0x0000FFFF0000FFFF;
  return (values * 10000 + (values >> 32)) & 0xFFFFFFFF;
}

// The numeric fields of a file are mostly nine to sixteen digits without a blank (amounts,
// accounts, sums): two words, one from each end, then hold them all.
std::int64_t WholeDigitField(std::string_view s) {
  const std::size_t n = s.size();
  const std::uint64_t head = LoadLittleEndian(s.data()), tail = LoadLittleEndian(s.data() + n - 8);
  if (!EightDigits(head) || !EightDigits(tail)) return -1;
  constexpr std::uint64_t kZeros = 0x3030303030303030;
  // The first n - 8 digits moved to the word's top, with digit values of zero below them.
  const std::uint64_t high = n == 8 ? 0 : EightDigitValue((head - kZeros) << (8 * (16 - n)));
  return static_cast<std::int64_t>(high * 100000000 + EightDigitValue(tail - kZeros));
}

std::int64_t PlainDigits(std::string_view s, bool blanksAfter) {
  if (s.size() >= 8 && s.size() <= 16)
    if (const std::int64_t whole = WholeDigitField(s); whole >= 0) return whole;
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  const std::size_t first = i;
  std::int64_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    // Past 18 digits the value might not fit; the general path judges such a field.
    if (i - first == 18) return -1;
    value = value * 10 + (s[i] - '0');
  }
  if (i == first) return -1;
  if (blanksAfter)
    while (i < s.size() && s[i] == ' ') ++i;
  return i == s.size() ? value : -1;
}

}  // namespace

void ThrowConvertError(std::string_view field) {
  throw EConvertError("'" + std::string(field) + "' ist kein gültiger Wert");
}

std::int64_t StrToInt64(std::string_view field) {
  if (const std::int64_t plain = PlainDigits(field, false); plain >= 0) return plain;
  const std::string_view s = UpToNul(field);
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == s.size()) ThrowConvertError(field);
  // Accumulate the magnitude as unsigned so that the most negative value still fits.
  const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  std::uint64_t value = 0;
  for (; i < s.size(); ++i) {
    const int digit = base == 16 ? HexValue(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (digit < 0) ThrowConvertError(field);
    if (value > (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base))
      ThrowConvertError(field);
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  if (negative)
    return value == (std::uint64_t{1} << 63) ? std::numeric_limits<std::int64_t>::min()
                                             : -static_cast<std::int64_t>(value);
  return static_cast<std::int64_t>(value);
}

std::int32_t StrToInt32(std::string_view field) {
  const std::int64_t v = StrToInt64(field);
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    ThrowConvertError(field);
  return static_cast<std::int32_t>(v);
}

double StrToFloat(std::string_view field, char decimalSeparator) {
  // Below 2^53 the integer converts exactly, as from_chars would read it.
  if (const std::int64_t plain = PlainDigits(field, true); plain >= 0 && plain < (std::int64_t{1} << 53))
    return static_cast<double>(plain);
  const std::string_view s = UpToNul(field);
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  std::size_t end = s.size();
  while (end > i && s[end - 1] == ' ') --end;

  // Rewrite into the form from_chars reads, whatever the user's separator is.
  std::string plain;
  plain.reserve(end - i + 1);
  if (i < end && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') plain += '-';
    ++i;
  }
  bool digits = false;
  for (; i < end && s[i] >= '0' && s[i] <= '9'; ++i, digits = true) plain += s[i];
  if (i < end && s[i] == decimalSeparator) {
    plain += '.';
    for (++i; i < end && s[i] >= '0' && s[i] <= '9'; ++i, digits = true) plain += s[i];
  }
  if (!digits) ThrowConvertError(field);
  bool negativeExponent = false;
  if (i < end && (s[i] == 'e' || s[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < end && (s[i] == '+' || s[i] == '-')) {
      negativeExponent = s[i] == '-';
      plain += s[i++];
    }
    bool expDigits = false;
    for (; i < end && s[i] >= '0' && s[i] <= '9'; ++i, expDigits = true) plain += s[i];
    if (!expDigits) ThrowConvertError(field);
  }
  if (i != end) ThrowConvertError(field);

  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow would give a value no amount can have.
    if (!negativeExponent) ThrowConvertError(field);
    value = 0.0;
  } else if (ec != std::errc() || ptr != plain.data() + plain.size() || !std::isfinite(value)) {
    ThrowConvertError(field);
  }
  return value;
}

TDate DateFromDDMMYY(std::string_view field, int currentYear) {
  if (field.size() != 6) ThrowConvertError(field);
  for (char c : field)
    if (c < '0' || c > '9') ThrowConvertError(field);
  auto two = [&](std::size_t at) { return (field[at] - '0') * 10 + (field[at + 1] - '0'); };
  const int day = two(0);
  const int month = two(2);
  const int year = ExpandTwoDigitYear(two(4), currentYear);
  if (!IsValidDate(year, month, day)) ThrowConvertError(field);
  return TDate{year, month, day};
}

}  // namespace ombra
