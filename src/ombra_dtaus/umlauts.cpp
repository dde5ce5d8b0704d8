#include "umlauts.h"

#include <algorithm>
#include <array>

#include "byte_scan.h"

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
  // Most blocks of sixteen hold none of the three bytes and stay as they are.
  for (std::size_t i = 0; i < size; i += 16) {
    const std::size_t n = std::min<std::size_t>(16, size - i);
    if (!support::ContainsAny(std::string_view(text + i, n), '[', '\\', ']', ']')) continue;
    for (std::size_t j = i; j < i + n; ++j) text[j] = kDecoded[static_cast<unsigned char>(text[j])];
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

void AppendDecodedUmlauts(std::string& out, std::string_view text) {
  const std::size_t at = out.size();
  out += text;
  DecodeUmlautsInPlace(out.data() + at, text.size());
}

}  // namespace ombra
