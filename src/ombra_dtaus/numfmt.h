#pragma once
#include <cstdint>
#include <string>

#include "regional.h"

namespace ombra {

// Two decimals, integer digits grouped by three: 1234567.5 -> "1.234.567,50" under de_DE.
std::string FormatAmount(double value, const TRegionalSettings& rs);
void AppendAmount(std::string& out, double value, const TRegionalSettings& rs);
// Whole hundredths as AppendAmount writes their value: -123456 -> "-1.234,56" under de_DE.
void AppendCents(std::string& out, std::int64_t cents, const TRegionalSettings& rs);
// A count with its digits grouped: 100000 -> "100.000" under de_DE.
void AppendGroupedInt(std::string& out, std::int64_t value, const TRegionalSettings& rs);
// The text of the file's currency behind each amount, "EUR" or "DM"; ASCII, so the same in
// Windows-1252 and UTF-8.
const char* CurrencyText(bool euro);
// An amount as the control list shows it: "1.234,50 EUR".
void AppendMoney(std::string& out, double value, const char* currency, const TRegionalSettings& rs);

void AppendInt(std::string& out, std::int64_t value);
// Digits grouped by dots, as German reports count: 1204 -> "1.204".
std::string GroupedNumber(std::int64_t value);

}  // namespace ombra
