#include "cents.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace cli {

std::string FormatPlainAmount(double amount, char decimalSeparator) {
  std::string out;
  AppendPlainAmount(out, amount, decimalSeparator);
  return out;
}

namespace {

// Amounts read from a file are whole hundredths, far from a rounding tie: their digits follow
// from the hundredths alone. Null for anything else, which takes the general path.
char* PutHundredths(char* to, double amount, char decimalSeparator) {
  if (!(std::fabs(amount) < 1e11)) return nullptr;
  const double scaled = amount * 100.0;
  const double whole = std::round(scaled);
  if (std::fabs(scaled - whole) > 0.25) return nullptr;
  auto cents = static_cast<std::int64_t>(std::fabs(whole));
  char text[24];
  char* end = text + sizeof text;
  char* p = end;
  for (int i = 0; i < 2; ++i, cents /= 10) *--p = static_cast<char>('0' + cents % 10);
  *--p = decimalSeparator;
  do {
    *--p = static_cast<char>('0' + cents % 10);
    cents /= 10;
  } while (cents > 0);
  if (amount < 0) *--p = '-';
  std::memcpy(to, p, static_cast<std::size_t>(end - p));
  return to + (end - p);
}

}  // namespace

std::size_t PlainAmountBound(double amount) { return std::fabs(amount) < 1e11 ? 24 : 400; }

char* PutPlainAmount(char* to, double amount, char decimalSeparator) {
  if (char* end = PutHundredths(to, amount, decimalSeparator)) return end;
  if (amount == 0.0) amount = 0.0;  // no "-0.00"
  const auto result = std::to_chars(to, to + PlainAmountBound(amount), amount, std::chars_format::fixed, 2);
  if (char* dot = std::find(to, result.ptr, '.'); dot != result.ptr) *dot = decimalSeparator;
  return result.ptr;
}

void AppendPlainAmount(std::string& out, double amount, char decimalSeparator) {
  const std::size_t at = out.size();
  out.resize(at + PlainAmountBound(amount));
  out.resize(static_cast<std::size_t>(PutPlainAmount(out.data() + at, amount, decimalSeparator) - out.data()));
}

}  // namespace cli
