#pragma once
// Amounts in whole hundredths, for sums that must be exact.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace ombra {

// The document keeps amounts as doubles of currency units; the file held hundredths.
// Nothing for values that are not finite or do not fit into 64 bits.
std::optional<std::int64_t> ToCents(double amount);

// An amount as a user types it: "12", "1.234", "1.234,56", "1234.56", "1.234.567" -> cents;
// a point before three digits groups thousands, a comma or a point before one or two digits
// starts the hundredths. Nothing for anything else (no sign, no currency, no blanks).
std::optional<std::int64_t> ParseTypedCents(std::string_view text);

// Sum that reports an overflow instead of wrapping.
inline bool AddCents(std::int64_t& total, std::int64_t cents) {
  return !__builtin_add_overflow(total, cents, &total);
}

// A payment's amount in hundredths when the file held whole hundredths; kNoCents when it did
// not (an amount written with decimals) or when the value does not fit.
inline constexpr std::int64_t kNoCents = INT64_MIN;

// The hundredths of `amount` when it is exactly a number of hundredths as a double holds it
// (hundredths / 100, correctly rounded), else kNoCents.
std::int64_t WholeCents(double amount);

// A total that does not drift: a running sum of doubles loses cents past a few billion (a
// million payments of 999.999.999,99 EUR end 8.247,12 EUR off). While every amount added comes
// with its hundredths, they are summed as integers; from the first that does not, the amounts
// are summed exactly and rounded once.
class TExactSum {
 public:
  void Add(double amount, std::int64_t cents);
  // The total, rounded once to the nearest double.
  double Value() const;
  // The total in hundredths; nothing when an amount had none or the sum overflowed.
  std::optional<std::int64_t> Cents() const;

 private:
  void AddPartial(double value);

  std::int64_t cents_ = 0;
  bool whole_ = true;
  std::vector<double> partials_;  // non-overlapping partial sums of every amount added
  bool finite_ = true;
  double special_ = 0.0;  // the sum of infinities and NaNs, when any was added
};

}  // namespace ombra
