#pragma once
#include <string>

namespace ombra {

// DIN 66003 capital umlauts to Windows-1252: "[" -> Ä, "\" -> Ö, "]" -> Ü.
std::string DecodeUmlauts(const std::string& Text);

// &, < and > as entities; every other byte passes unchanged.
std::string HtmlEscape(const std::string& text);
void AppendHtmlEscaped(std::string& out, const std::string& text);

// HtmlEscape(DecodeUmlauts(text)) in one pass, for the many purpose lines of a page.
void AppendDecodedEscaped(std::string& out, const std::string& text);

}  // namespace ombra
