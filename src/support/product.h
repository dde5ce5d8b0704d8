#pragma once
// Names, version and the page footer shared by the viewer and the command-line tool.
#include <string>

#include "version.h"

namespace support {

inline constexpr const char* ProductName = "Quandel";
inline constexpr const char* FamilyName = "Osmera";
inline constexpr const char* Version = QUANDEL_VERSION;
inline constexpr const char* Build = QUANDEL_BUILD_NUMBER;
inline constexpr const char* WebAddress = "https://quandel.example.org/";
inline constexpr const char* WebHost = "quandel.example.org";

// Windows-1252 HTML fragment: the maker's notice with its link, then " - <version> (<build>)".
std::string FooterText();

}  // namespace support
