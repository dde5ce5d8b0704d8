#include "amounts.h"

#include <cmath>
#include <string>

namespace ombra {

std::optional<std::int64_t> ToCents(double amount) {
  const double cents = std::round(amount * 100.0);
  // 2^63 is exactly representable; everything below it converts without overflow.
  constexpr double kLimit = 9223372036854775808.0;
  if (!std::isfinite(cents) || cents >= kLimit || cents < -kLimit) return std::nullopt;
  return static_cast<std::int64_t>(cents);
}

std::optional<std::int64_t> ParseTypedCents(std::string_view text) {
  std::string whole;
  std::string fraction;
  const auto comma = text.find(',');
  std::string_view integer = text;
  if (comma != std::string_view::npos) {
    integer = text.substr(0, comma);
    fraction = std::string(text.substr(comma + 1));
  } else if (const auto dot = text.rfind('.'); dot != std::string_view::npos && text.size() - dot <= 3) {
    integer = text.substr(0, dot);
    fraction = std::string(text.substr(dot + 1));
  }
  // Dots left in the integer part group thousands: blocks of three after the first.
  std::size_t block = 0;
  bool grouped = false;
  for (std::size_t i = 0; i < integer.size(); ++i) {
    const char c = integer[i];
    if (c == '.') {
      if (i == 0 || (grouped && block != 3) || block > 3) return std::nullopt;
      grouped = true;
      block = 0;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    whole += c;
    ++block;
  }
  if (whole.empty() || (grouped && block != 3) || whole.size() > 15) return std::nullopt;
  if (fraction.size() > 2 || (comma != std::string_view::npos && fraction.empty())) return std::nullopt;
  for (const char c : fraction)
    if (c < '0' || c > '9') return std::nullopt;
  fraction.resize(2, '0');
  return std::stoll(whole) * 100 + std::stoll(fraction);
}

std::int64_t WholeCents(double amount) {
  const auto cents = ToCents(amount);
  if (!cents || *cents == kNoCents || static_cast<double>(*cents) / 100.0 != amount) return kNoCents;
  return *cents;
}

void TExactSum::Add(double amount, std::int64_t cents) {
  if (whole_ && (cents == kNoCents || !AddCents(cents_, cents))) whole_ = false;
  AddPartial(amount);
}

// Shewchuk's exact summation: the partials together hold the exact sum of every amount.
void TExactSum::AddPartial(double value) {
  if (!std::isfinite(value)) {
    finite_ = false;
    special_ += value;
    return;
  }
  std::size_t kept = 0;
  for (double partial : partials_) {
    if (std::fabs(value) < std::fabs(partial)) std::swap(value, partial);
    const double high = value + partial;
    const double low = partial - (high - value);
    if (low != 0.0) partials_[kept++] = low;
    value = high;
  }
  partials_.resize(kept);
  partials_.push_back(value);
}

std::optional<std::int64_t> TExactSum::Cents() const {
  if (!whole_) return std::nullopt;
  return cents_;
}

double TExactSum::Value() const {
  if (!finite_) return special_;
  if (whole_) return static_cast<double>(cents_) / 100.0;
  // Rounds the partials' exact sum once, halfway cases included (as Python's math.fsum does).
  if (partials_.empty()) return 0.0;
  std::size_t n = partials_.size();
  double high = partials_[--n];
  double low = 0.0;
  while (n > 0) {
    const double x = high;
    const double y = partials_[--n];
    high = x + y;
    low = y - (high - x);
    if (low != 0.0) break;
  }
  if (n > 0 && ((low < 0.0 && partials_[n - 1] < 0.0) || (low > 0.0 && partials_[n - 1] > 0.0))) {
    const double y = low * 2.0;
    const double x = high + y;
    if (y == x - high) high = x;
  }
  return high;
}

}  // namespace ombra
