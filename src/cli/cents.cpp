#include "cents.h"

#include <charconv>
#include <cmath>

namespace cli {

std::string FormatPlainAmount(double amount, char decimalSeparator) {
  std::string out;
  AppendPlainAmount(out, amount, decimalSeparator);
  return out;
}

namespace {

// Amounts read from a file are whole hundredths, far from a rounding tie: their digits follow
// from the hundredths alone. False for anything else, which takes the general path.
bool AppendHundredths(std::string& out, double amount, char decimalSeparator) {
  if (!(std::fabs(amount) < 1e11)) return false;
  const double scaled = amount * 100.0;
  const double whole = std::round(scaled);
  if (std::fabs(scaled - whole) > 0.25) return false;
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
  out.append(p, end);
  return true;
}

}  // namespace

void AppendPlainAmount(std::string& out, double amount, char decimalSeparator) {
  if (AppendHundredths(out, amount, decimalSeparator)) return;
  if (amount == 0.0) amount = 0.0;  // no "-0.00"
  char text[400];                   // room for the largest double in fixed notation
  const auto result = std::to_chars(text, text + sizeof text, amount, std::chars_format::fixed, 2);
  const std::size_t start = out.size();
  out.append(text, result.ptr);
  if (const auto dot = out.find('.', start); dot != std::string::npos) out[dot] = decimalSeparator;
}

}  // namespace cli
