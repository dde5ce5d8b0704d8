#pragma once
// Texts of the control list that its views share with the page.
#include <array>
#include <string_view>

namespace ombra {

// The payment table's column titles, Windows-1252.
inline constexpr std::array<std::string_view, 6> kControlListColumns = {
    "Nr.", "Empf\xE4nger", "BLZ", "Konto", "Verwendungszweck", "Betrag"};

}  // namespace ombra
