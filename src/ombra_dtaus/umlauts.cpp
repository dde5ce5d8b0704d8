#include "umlauts.h"

#include "replace_all.h"

namespace ombra {

std::string DecodeUmlauts(const std::string& Text) {
  std::string s = support::ReplaceAll(Text, "[", "\xC4");
  s = support::ReplaceAll(s, "\\", "\xD6");
  return support::ReplaceAll(s, "]", "\xDC");
}

void AppendHtmlEscaped(std::string& out, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

void AppendDecodedEscaped(std::string& out, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '[': out += '\xC4'; break;
      case '\\': out += '\xD6'; break;
      case ']': out += '\xDC'; break;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

std::string HtmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  AppendHtmlEscaped(out, text);
  return out;
}

}  // namespace ombra
