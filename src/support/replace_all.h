#pragma once
#include <string>

namespace support {

// Replaces every occurrence of `search`, searching again from the start after each
// replacement, so occurrences formed by a replacement are replaced too.
std::string ReplaceAll(const std::string& text, const std::string& search,
                       const std::string& replacement);

}  // namespace support
