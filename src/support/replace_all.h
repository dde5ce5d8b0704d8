#pragma once
#include <string>

namespace support {

// Replaces every occurrence of `search`, searching again from the start after each
// replacement, so occurrences formed by a replacement are replaced too. Pairs for which
// that would never end (a replacement containing the search text, or one that keeps
// forming new occurrences) are instead replaced in one left-to-right pass over `text`.
std::string ReplaceAll(const std::string& text, const std::string& search, const std::string& replacement);

}  // namespace support
