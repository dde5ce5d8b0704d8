#include "umlauts.h"

namespace ombra {

std::string DecodeUmlauts(std::string_view Text) {
  std::string s(Text);
  DecodeUmlautsInPlace(s.data(), s.size());
  return s;
}

void DecodeUmlautsInPlace(char* text, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    if (text[i] == '[') text[i] = '\xC4';
    else if (text[i] == '\\') text[i] = '\xD6';
    else if (text[i] == ']') text[i] = '\xDC';
  }
}

void AppendHtmlEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

void AppendDecodedEscaped(std::string& out, std::string_view text) {
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

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendHtmlEscaped(out, text);
  return out;
}

}  // namespace ombra
