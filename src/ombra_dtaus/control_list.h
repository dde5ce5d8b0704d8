#pragma once
// The control list's payment table: its columns and what the page, the list and its copies
// and exports do with each. Every view reads them here.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "cp1252.h"

namespace ombra {

struct TControlListColumn {
  // As the page's table header has it, Windows-1252.
  std::string_view Title;
  // Numbers and codes stand right, on the page and in the list.
  bool RightAligned;
  // Find and the list's filter look in it; the payment's number is not a text to find.
  bool Searched;
  // Digits a spreadsheet must keep as text, leading zeros and all.
  bool Code;
  // The amount, which a spreadsheet takes as a number.
  bool Amount;
};

inline constexpr std::array<TControlListColumn, 6> kControlListColumns{{
    {"Nr.", false, false, false, false},
    {"Empf\xE4nger", false, true, false, false},
    {"BLZ", true, true, true, false},
    {"Konto", true, true, true, false},
    {"Verwendungszweck", false, true, false, false},
    {"Betrag", true, true, false, true},
}};

// Copies and exports for spreadsheets put the currency in a column after the table's.
inline constexpr std::string_view kCurrencyColumnTitle = "W\xE4hrung";

// The titles of those copies and exports, UTF-8: the table's, then the currency's.
inline std::vector<std::string> SheetColumnTitles() {
  std::vector<std::string> titles;
  for (const TControlListColumn& column : kControlListColumns)
    titles.push_back(support::Cp1252ToUtf8(column.Title));
  titles.push_back(support::Cp1252ToUtf8(kCurrencyColumnTitle));
  return titles;
}

}  // namespace ombra
