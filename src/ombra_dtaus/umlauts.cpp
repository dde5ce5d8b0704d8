#include "umlauts.h"

#include <array>

namespace ombra {

std::string DecodeUmlauts(std::string_view Text) {
  std::string s(Text);
  DecodeUmlautsInPlace(s.data(), s.size());
  return s;
}

namespace {

constexpr std::array<char, 256> MakeDecoded() {
  std::array<char, 256> table{};
  for (std::size_t b = 0; b < table.size(); ++b) table[b] = static_cast<char>(b);
  table['['] = '\xC4';
  table['\\'] = '\xD6';
  table[']'] = '\xDC';
  return table;
}

constexpr std::array<char, 256> kDecoded = MakeDecoded();

}  // namespace

void DecodeUmlautsInPlace(char* text, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) text[i] = kDecoded[static_cast<unsigned char>(text[i])];
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

void AppendDecodedUmlauts(std::string& out, std::string_view text) {
  const std::size_t at = out.size();
  out += text;
  DecodeUmlautsInPlace(out.data() + at, text.size());
}

}  // namespace ombra
