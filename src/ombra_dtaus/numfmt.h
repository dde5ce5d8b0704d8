#pragma once
#include <cstdint>
#include <string>

#include "regional.h"

namespace ombra {

// Two decimals, integer digits grouped by three: 1234567.5 -> "1.234.567,50" under de_DE.
std::string FormatAmount(double value, const TRegionalSettings& rs);
void AppendAmount(std::string& out, double value, const TRegionalSettings& rs);

void AppendInt(std::string& out, std::int64_t value);

}  // namespace ombra
