#include "umlauts.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "byte_scan.h"
#include "cp1252.h"

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

// Each byte's UTF-8 form after decoding.
const support::TUtf8Table kDecodedUtf8 = [] {
  support::TUtf8Table table{};
  for (std::size_t b = 0; b < table.size(); ++b)
    table[b] = support::Cp1252Utf8Table()[static_cast<unsigned char>(kDecoded[b])];
  return table;
}();

bool HasCode(std::string_view text) { return support::ContainsAny(text, '[', '\\', ']', ']'); }

}  // namespace

void DecodeUmlautsInPlace(char* text, std::size_t size) {
  // Most blocks of sixteen hold none of the three bytes and stay as they are.
  for (std::size_t i = 0; i < size; i += 16) {
    const std::size_t n = std::min<std::size_t>(16, size - i);
    if (!HasCode(std::string_view(text + i, n))) continue;
    for (std::size_t j = i; j < i + n; ++j) text[j] = kDecoded[static_cast<unsigned char>(text[j])];
  }
}

char* PutDecodedUtf8(char* to, std::string_view text) {
  std::size_t i = 0;
  // Blocks of sixteen plain ASCII bytes without a code are the same in UTF-8.
  for (; i + 16 <= text.size(); i += 16) {
    const std::string_view block = text.substr(i, 16);
    if (DecodedUtf8Differs(block)) {
      to = support::PutThroughTable(to, block, kDecodedUtf8);
    } else {
      std::memcpy(to, block.data(), 16);
      to += 16;
    }
  }
  // The last bytes: as they are when one more block, overlapping those written, says so.
  const std::string_view rest = text.substr(i);
  if (!rest.empty() && text.size() >= 16 && !DecodedUtf8Differs(text.substr(text.size() - 16))) {
    std::memcpy(to, rest.data(), rest.size());
    return to + rest.size();
  }
  return support::PutThroughTable(to, rest, kDecodedUtf8);
}

bool DecodedUtf8Differs(std::string_view text) { return support::HasByteAbove7F(text) || HasCode(text); }

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
