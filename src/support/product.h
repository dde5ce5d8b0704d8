#pragma once
// Names, version and the page footer shared by the viewer and the command-line tool.
#include <string>

namespace support {

inline constexpr const char* ProductName = "Quandel";
inline constexpr const char* FamilyName = "Osmera";
inline constexpr const char* Version = "1.02";
inline constexpr const char* Build = "0006";
inline constexpr const char* WebAddress = "https://quandel.example.org/";
inline constexpr const char* WebHost = "quandel.example.org";

// Windows-1252 HTML fragment: the maker's notice with its link, then " - 1.02 (0006)".
std::string FooterText();

}  // namespace support
