#pragma once
// Amounts: whole hundredths for exact sums, and a plain two-decimal text for exports.
#include <cstdint>
#include <optional>
#include <string>

namespace cli {

// The document keeps amounts as doubles of currency units; the file held hundredths.
// Nothing for values that are not finite or do not fit into 64 bits.
std::optional<std::int64_t> ToCents(double amount);

// Sum that reports an overflow instead of wrapping.
bool AddCents(std::int64_t& total, std::int64_t cents);

// Two decimals after the given separator, no grouping: -1234.5 -> "-1234,50".
std::string FormatPlainAmount(double amount, char decimalSeparator);
void AppendPlainAmount(std::string& out, double amount, char decimalSeparator);

}  // namespace cli
