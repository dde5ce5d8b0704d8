#include "amounts.h"

#include <cmath>

namespace ombra {

std::optional<std::int64_t> ToCents(double amount) {
  const double cents = std::round(amount * 100.0);
  // 2^63 is exactly representable; everything below it converts without overflow.
  constexpr double kLimit = 9223372036854775808.0;
  if (!std::isfinite(cents) || cents >= kLimit || cents < -kLimit) return std::nullopt;
  return static_cast<std::int64_t>(cents);
}

}  // namespace ombra
