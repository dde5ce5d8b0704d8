#pragma once
// Windows-1252 <-> UTF-8. Only 0x80-0x9F differ from Latin-1.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace support {

// Code point of one Windows-1252 byte (the five unassigned bytes map to themselves).
char32_t Cp1252ToUnicode(unsigned char byte);
// The byte of a code point; nothing for what Windows-1252 lacks.
std::optional<unsigned char> UnicodeToCp1252(char32_t cp);

std::string Cp1252ToUtf8(std::string_view text);
// The same, appended: big exports convert without a string per field.
void AppendCp1252AsUtf8(std::string& out, std::string_view text);
// The same, written at `to`, which has room for Cp1252AsUtf8Bound(text.size()) bytes; returns
// the end of what it wrote.
char* PutCp1252AsUtf8(char* to, std::string_view text);
// The most a text of `size` bytes takes, and room for the last copy of four bytes at once.
constexpr std::size_t Cp1252AsUtf8Bound(std::size_t size) { return 3 * size + 1; }

// One byte's UTF-8 form, copied four bytes at a time so a text needs no branch per byte.
struct TUtf8Byte {
  char Bytes[3];
  std::uint8_t Size;
};
using TUtf8Table = std::array<TUtf8Byte, 256>;
// Each Windows-1252 byte's UTF-8 form; a basis for tables that read some bytes otherwise.
const TUtf8Table& Cp1252Utf8Table();
// Every byte of `text` as `table` has it, written at `to` (room for Cp1252AsUtf8Bound);
// returns the end of what it wrote.
char* PutThroughTable(char* to, std::string_view text, const TUtf8Table& table);

// The length of the valid UTF-8 sequence at `pos` (shortest form, no surrogate, nothing
// above U+10FFFF), its code point in `cp`; 0 when the bytes there are no such sequence.
std::size_t DecodeUtf8At(std::string_view text, std::size_t pos, char32_t& cp);

// The code points of valid UTF-8; nothing for any other text.
std::optional<std::u32string> DecodeUtf8(std::string_view text);
bool IsValidUtf8(std::string_view text);

// Text that is valid UTF-8 as it is; any other text (names and messages of 8-bit origin)
// read as Windows-1252.
std::string Utf8OrCp1252ToUtf8(std::string_view text);

// Converts valid UTF-8 whose characters all exist in Windows-1252; otherwise returns the
// text unchanged, so bytes that are not UTF-8 pass as they are.
std::string Utf8ToCp1252OrKeep(std::string_view text);

// For the Windows-1252 page: valid UTF-8 converted, characters Windows-1252 lacks written as
// numeric character references ("&#26085;"); other text is taken to be Windows-1252 already
// and kept. Markup in `text` must already be escaped.
std::string Utf8ToCp1252Html(std::string_view text);

}  // namespace support
