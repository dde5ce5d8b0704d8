#pragma once
// Amounts: whole hundredths for exact sums (from the core), and a plain two-decimal text for
// exports.
#include <string>

#include "amounts.h"

namespace cli {

using ombra::AddCents;
using ombra::ToCents;

// Two decimals after the given separator, no grouping: -1234.5 -> "-1234,50".
std::string FormatPlainAmount(double amount, char decimalSeparator);
void AppendPlainAmount(std::string& out, double amount, char decimalSeparator);

}  // namespace cli
