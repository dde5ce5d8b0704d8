#pragma once
// File-system questions the viewer and the command-line tool answer alike.
#include <string>

namespace support {

// True when both names exist and denote the same file (hard links and symbolic links included).
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace support
