#pragma once
#include <string>
#include <string_view>

namespace ombra {

// DIN 66003 capital umlauts to Windows-1252: "[" -> Ä, "\" -> Ö, "]" -> Ü.
std::string DecodeUmlauts(std::string_view Text);
void DecodeUmlautsInPlace(char* text, std::size_t size);

// &, < and > as entities; every other byte passes unchanged.
std::string HtmlEscape(std::string_view text);
void AppendHtmlEscaped(std::string& out, std::string_view text);

// HtmlEscape(DecodeUmlauts(text)) in one pass, for the many purpose lines of a page.
void AppendDecodedEscaped(std::string& out, std::string_view text);
// DecodeUmlauts(text) appended to `out`: a purpose line as a view of the document shows it.
void AppendDecodedUmlauts(std::string& out, std::string_view text);

}  // namespace ombra
