#pragma once
// Amounts in whole hundredths, for sums that must be exact.
#include <cstdint>
#include <optional>

namespace ombra {

// The document keeps amounts as doubles of currency units; the file held hundredths.
// Nothing for values that are not finite or do not fit into 64 bits.
std::optional<std::int64_t> ToCents(double amount);

// Sum that reports an overflow instead of wrapping.
inline bool AddCents(std::int64_t& total, std::int64_t cents) {
  return !__builtin_add_overflow(total, cents, &total);
}

}  // namespace ombra
