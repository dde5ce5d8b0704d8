#pragma once
#include <string>
#include <string_view>

namespace ombra {

// DIN 66003 capital umlauts to Windows-1252: "[" -> Ä, "\" -> Ö, "]" -> Ü.
std::string DecodeUmlauts(std::string_view Text);
void DecodeUmlautsInPlace(char* text, std::size_t size);
// Decoded and in UTF-8 in one pass, written at `to` (room for support::Cp1252AsUtf8Bound);
// returns the end of what it wrote.
char* PutDecodedUtf8(char* to, std::string_view text);
// Whether that writes anything but the text's own bytes: whether it holds a code or a byte
// above 0x7F.
bool DecodedUtf8Differs(std::string_view text);

// &, < and > as entities; every other byte passes unchanged.
std::string HtmlEscape(std::string_view text);
void AppendHtmlEscaped(std::string& out, std::string_view text);

// HtmlEscape(DecodeUmlauts(text)) in one pass, for the many purpose lines of a page.
void AppendDecodedEscaped(std::string& out, std::string_view text);
// DecodeUmlauts(text) appended to `out`: a purpose line as a view of the document shows it.
void AppendDecodedUmlauts(std::string& out, std::string_view text);

}  // namespace ombra
