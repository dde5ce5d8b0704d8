#include "cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

#include "byte_scan.h"

namespace support {
namespace {

constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::optional<unsigned char> UnicodeToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

char32_t Cp1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
  return byte;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  AppendCp1252AsUtf8(out, text);
  return out;
}

namespace {

// Built at compile time: other files' tables are made from it during start-up.
constexpr TUtf8Table MakeUtf8Bytes() {
  TUtf8Table table{};
  for (std::size_t b = 0; b < table.size(); ++b) {
    const char32_t cp = b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80] : static_cast<char32_t>(b);
    TUtf8Byte& e = table[b];
    if (cp < 0x80) {
      e = {{static_cast<char>(cp), 0, 0}, 1};
    } else if (cp < 0x800) {
      e = {{static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F)), 0}, 2};
    } else {
      e = {{static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
            static_cast<char>(0x80 | (cp & 0x3F))},
           3};
    }
  }
  return table;
}

constexpr TUtf8Table kUtf8Bytes = MakeUtf8Bytes();

}  // namespace

const TUtf8Table& Cp1252Utf8Table() { return kUtf8Bytes; }

char* PutThroughTable(char* to, std::string_view text, const TUtf8Table& table) {
  for (const char c : text) {
    const TUtf8Byte& e = table[static_cast<unsigned char>(c)];
    std::memcpy(to, &e, sizeof e);
    to += e.Size;
  }
  return to;
}

char* PutCp1252AsUtf8(char* to, std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    // Runs of plain ASCII, the same in both, are copied sixteen bytes at a time.
    const std::size_t run = AsciiPrefix(text.substr(i));
    std::memcpy(to, text.data() + i, run);
    to += run;
    i += run;
    const std::size_t stop = std::min(text.size(), i + 16);
    to = PutThroughTable(to, text.substr(i, stop - i), kUtf8Bytes);
    i = stop;
  }
  return to;
}

void AppendCp1252AsUtf8(std::string& out, std::string_view text) {
  const std::size_t at = out.size();
  out.resize(at + Cp1252AsUtf8Bound(text.size()));
  char* to = PutCp1252AsUtf8(out.data() + at, text);
  out.resize(static_cast<std::size_t>(to - out.data()));
}

std::size_t DecodeUtf8At(std::string_view text, std::size_t pos, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  std::size_t len = 0;
  if (b0 < 0x80) {
    cp = b0;
    len = 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    cp = b0 & 0x1Fu;
    len = 2;
  } else if ((b0 & 0xF0) == 0xE0) {
    cp = b0 & 0x0Fu;
    len = 3;
  } else if ((b0 & 0xF8) == 0xF0) {
    cp = b0 & 0x07u;
    len = 4;
  } else
    return 0;
  if (pos + len > text.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(text[pos + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  // An overlong form is not valid UTF-8: "\xC1\x81" must not pass for "A".
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kShortest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

std::optional<std::u32string> DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  char32_t cp = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = DecodeUtf8At(text, i, cp);
    if (len == 0) return std::nullopt;
    out += cp;
    i += len;
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  char32_t cp = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = DecodeUtf8At(text, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::string Utf8OrCp1252ToUtf8(std::string_view text) {
  return IsValidUtf8(text) ? std::string(text) : Cp1252ToUtf8(text);
}

std::string Utf8ToCp1252OrKeep(std::string_view text) {
  const auto decoded = DecodeUtf8(text);
  if (!decoded) return std::string(text);
  std::string out;
  out.reserve(decoded->size());
  for (const char32_t cp : *decoded) {
    const auto mapped = UnicodeToCp1252(cp);
    if (!mapped) return std::string(text);
    out += static_cast<char>(*mapped);
  }
  return out;
}

std::string Utf8ToCp1252Html(std::string_view text) {
  const auto decoded = DecodeUtf8(text);
  if (!decoded) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (const char32_t cp : *decoded) {
    if (const auto mapped = UnicodeToCp1252(cp))
      out += static_cast<char>(*mapped);
    else
      out += "&#" + std::to_string(static_cast<std::uint32_t>(cp)) + ';';
  }
  return out;
}

}  // namespace support
