#include "cents.h"

#include <charconv>
#include <cmath>

namespace cli {

std::optional<std::int64_t> ToCents(double amount) {
  const double cents = std::round(amount * 100.0);
  // 2^63 is exactly representable; everything below it converts without overflow.
  constexpr double kLimit = 9223372036854775808.0;
  if (!std::isfinite(cents) || cents >= kLimit || cents < -kLimit) return std::nullopt;
  return static_cast<std::int64_t>(cents);
}

bool AddCents(std::int64_t& total, std::int64_t cents) {
  return !__builtin_add_overflow(total, cents, &total);
}

std::string FormatPlainAmount(double amount, char decimalSeparator) {
  if (amount == 0.0) amount = 0.0;  // no "-0.00"
  char text[400];  // room for the largest double in fixed notation
  const auto result =
      std::to_chars(text, text + sizeof text, amount, std::chars_format::fixed, 2);
  std::string out(text, result.ptr);
  if (const auto dot = out.find('.'); dot != std::string::npos) out[dot] = decimalSeparator;
  return out;
}

}  // namespace cli
