#pragma once
// Amounts: whole hundredths for exact sums (from the core), and a plain two-decimal text for
// exports.
#include <cstddef>
#include <string>

#include "amounts.h"

namespace cli {

using ombra::AddCents;
using ombra::ToCents;

// Two decimals after the given separator, no grouping: -1234.5 -> "-1234,50".
std::string FormatPlainAmount(double amount, char decimalSeparator);
void AppendPlainAmount(std::string& out, double amount, char decimalSeparator);
// The same written at `to`, which has room for PlainAmountBound(amount); returns the end.
std::size_t PlainAmountBound(double amount);
char* PutPlainAmount(char* to, double amount, char decimalSeparator);

}  // namespace cli
