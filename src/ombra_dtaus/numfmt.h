#pragma once
#include <cstdint>
#include <string>

#include "regional.h"

namespace ombra {

// Two decimals, integer digits grouped by three: 1234567.5 -> "1.234.567,50" under de_DE.
std::string FormatAmount(double value, const TRegionalSettings& rs);
void AppendAmount(std::string& out, double value, const TRegionalSettings& rs);
// An amount as the control list shows it: "1.234,50 EUR".
void AppendMoney(std::string& out, double value, const char* currency, const TRegionalSettings& rs);

void AppendInt(std::string& out, std::int64_t value);
// Digits grouped by dots, as German reports count: 1204 -> "1.204".
std::string GroupedNumber(std::int64_t value);

}  // namespace ombra
