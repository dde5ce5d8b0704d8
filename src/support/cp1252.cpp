#include "cp1252.h"

#include <array>
#include <optional>

namespace support {
namespace {

constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::optional<unsigned char> UnicodeToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

}  // namespace

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

void AppendCp1252AsUtf8(std::string& out, std::string_view text) {
  // Runs of ASCII, by far the most of any file, are copied whole.
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t run = i;
    while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80) ++run;
    out.append(text.data() + i, run - i);
    if (run == text.size()) return;
    AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(text[run])));
    i = run + 1;
  }
}

std::string Utf8ToCp1252OrKeep(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    char32_t cp = 0;
    std::size_t len = 0;
    if (b0 < 0x80) { cp = b0; len = 1; }
    else if ((b0 & 0xE0) == 0xC0) { cp = b0 & 0x1F; len = 2; }
    else if ((b0 & 0xF0) == 0xE0) { cp = b0 & 0x0F; len = 3; }
    else if ((b0 & 0xF8) == 0xF0) { cp = b0 & 0x07; len = 4; }
    else return std::string(text);
    if (i + len > text.size()) return std::string(text);
    for (std::size_t k = 1; k < len; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      if ((b & 0xC0) != 0x80) return std::string(text);
      cp = (cp << 6) | (b & 0x3F);
    }
    // An overlong form is not valid UTF-8: "\xC1\x81" must not pass for "A".
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[len]) return std::string(text);
    const auto mapped = UnicodeToCp1252(cp);
    if (!mapped) return std::string(text);
    out += static_cast<char>(*mapped);
    i += len;
  }
  return out;
}

}  // namespace support
