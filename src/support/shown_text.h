#pragma once
// Text taken from files and file names, made safe to print: nothing it holds can end a line,
// move the cursor or pass for another name.
#include <string>
#include <string_view>

namespace support {

// Valid UTF-8 stays as it is, except that control characters (C0, DEL, C1) become visible
// escapes ("\n", "\t", "\x1b", "\u0085"), every byte that is no part of valid UTF-8 becomes
// "\xFC", and a backslash becomes "\\". Two different byte strings never give the same text.
std::string ShownText(std::string_view bytes);

// The same for text in Windows-1252, the encoding of a DTAUS file's fields and messages.
std::string ShownCp1252(std::string_view cp1252);

// True when ShownText(bytes) == bytes: nothing needed escaping.
bool ShownAsIs(std::string_view bytes);

}  // namespace support
