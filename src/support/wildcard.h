#pragma once
#include <string_view>

namespace support {

// Matches a file name against a pattern the way a Windows folder listing does: ASCII
// case-insensitive, "*" any run, "?" exactly one character, and "*.*" every name, also
// names without a dot.
bool WildcardMatch(std::string_view name, std::string_view pattern);

}  // namespace support
