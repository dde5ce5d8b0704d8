#pragma once
#include <string>

#include "regional.h"

namespace quandel {

inline const char* const kNoDateMessage = "Ungültiges Argument zum Codieren des Datums";

// The file's last-write time in local time, at the two seconds' resolution of the status
// bar's time stamps, as the user's date-and-time text (UTF-8, like the patterns). Any year is accepted.
// Throws ombra::EConvertError with kNoDateMessage when the name has no time stamp
// (no such file, or a folder).
std::string FileTimeText(const std::string& fileName, const ombra::TRegionalSettings& rs);

}  // namespace quandel
