#include "shown_text.h"

#include "cp1252.h"

namespace support {
namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr char kHexUpper[] = "0123456789ABCDEF";

// The escape of a control character; empty for any other code point.
std::string ControlEscape(char32_t cp) {
  switch (cp) {
    case '\n': return "\\n";
    case '\t': return "\\t";
    case '\r': return "\\r";
    case '\\': return "\\\\";
    default: break;
  }
  if (cp < 0x20 || cp == 0x7F) return {'\\', 'x', kHex[cp >> 4], kHex[cp & 0xF]};
  // C1 controls are written as code points: "\x85" would read as a byte that is no UTF-8.
  if (cp >= 0x80 && cp <= 0x9F) return {'\\', 'u', '0', '0', kHex[cp >> 4], kHex[cp & 0xF]};
  return {};
}

}  // namespace

std::string ShownText(std::string_view bytes) {
  std::string shown;
  shown.reserve(bytes.size());
  char32_t cp = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = DecodeUtf8At(bytes, i, cp);
    if (length == 0) {
      // Upper-case hex tells a stray byte from a control character at a glance.
      const auto byte = static_cast<unsigned char>(bytes[i]);
      shown += {'\\', 'x', kHexUpper[byte >> 4], kHexUpper[byte & 0xF]};
      ++i;
      continue;
    }
    const std::string escape = ControlEscape(cp);
    if (escape.empty())
      shown.append(bytes.substr(i, length));
    else
      shown += escape;
    i += length;
  }
  return shown;
}

std::string ShownCp1252(std::string_view cp1252) { return ShownText(Cp1252ToUtf8(cp1252)); }

bool ShownAsIs(std::string_view bytes) {
  char32_t cp = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = DecodeUtf8At(bytes, i, cp);
    if (length == 0 || !ControlEscape(cp).empty()) return false;
    i += length;
  }
  return true;
}

}  // namespace support
