#pragma once
// Text cells that a spreadsheet would take for a formula: a file may hold a payee "=1+2" or
// "@SUMME(...)", which a CSV export or a paste into a spreadsheet must show as the text it is.
#include <array>
#include <string>
#include <string_view>

namespace support {

// The first characters that start a formula (or make a spreadsheet split or move the cell).
inline constexpr std::string_view kFormulaStarts = "=+-@\t\r";

// Asked of every text cell of an export: a table instead of a search of the list.
inline constexpr std::array<bool, 128> kStartsFormula = [] {
  std::array<bool, 128> table{};
  for (const char c : kFormulaStarts) table[static_cast<unsigned char>(c)] = true;
  return table;
}();

inline bool StartsLikeFormula(char32_t first) { return first < 0x80 && kStartsFormula[first]; }
inline bool StartsLikeFormula(std::string_view text) {
  return !text.empty() && StartsLikeFormula(static_cast<char32_t>(static_cast<unsigned char>(text.front())));
}

// Such a text with a leading "'", so it shows as the text it is; others unchanged.
inline std::string NeutraliseFormula(std::string text) {
  if (StartsLikeFormula(text)) text.insert(0, 1, '\'');
  return text;
}

}  // namespace support
