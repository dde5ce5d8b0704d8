#pragma once
// Questions asked of every field of every payment on export ("any byte above 0x7F?", "any of
// these four bytes?", "how long without the trailing blanks?"), answered sixteen bytes at a time
// where the processor allows it. Fixed-width DTAUS fields are mostly plain text and blank
// padding, so the answers are found in one or two steps instead of a loop per byte.
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace support {

namespace detail {
#if defined(__SSE2__)
inline __m128i Load16(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline unsigned Mask(__m128i v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); }
#endif
}  // namespace detail

inline bool HasByteAbove7F(std::string_view text) {
  std::size_t i = 0;
#if defined(__SSE2__)
  __m128i any = _mm_setzero_si128();
  for (; i + 16 <= text.size(); i += 16) any = _mm_or_si128(any, detail::Load16(text.data() + i));
  // The last bytes in one more block that overlaps the ones already seen.
  if (i < text.size() && text.size() >= 16) {
    any = _mm_or_si128(any, detail::Load16(text.data() + text.size() - 16));
    i = text.size();
  }
  if (detail::Mask(any) != 0) return true;
#endif
  unsigned char bits = 0;
  for (; i < text.size(); ++i) bits = static_cast<unsigned char>(bits | static_cast<unsigned char>(text[i]));
  return bits >= 0x80;
}

// How many bytes at the start are plain ASCII, in whole blocks of sixteen: the rest, from the
// first block with a byte above 0x7F, is left to the caller's byte loop.
inline std::size_t AsciiPrefix(std::string_view text) {
  std::size_t i = 0;
#if defined(__SSE2__)
  while (i + 16 <= text.size() && detail::Mask(detail::Load16(text.data() + i)) == 0) i += 16;
  if (i + 16 <= text.size()) return i;
#endif
  for (std::size_t j = i; j < text.size(); ++j)
    if (static_cast<unsigned char>(text[j]) >= 0x80) return i;
  return text.size();
}

inline bool ContainsAny(std::string_view text, char a, char b, char c, char d) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c), vd = _mm_set1_epi8(d);
  const auto hits = [&](const char* p) {
    const __m128i v = detail::Load16(p);
    return detail::Mask(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)),
                                     _mm_or_si128(_mm_cmpeq_epi8(v, vc), _mm_cmpeq_epi8(v, vd)))) != 0;
  };
  for (; i + 16 <= text.size(); i += 16)
    if (hits(text.data() + i)) return true;
  // The last bytes in one more block that overlaps the ones already seen.
  if (i < text.size() && text.size() >= 16) return hits(text.data() + text.size() - 16);
#endif
  for (; i < text.size(); ++i) {
    const char x = text[i];
    if (x == a || x == b || x == c || x == d) return true;
  }
  return false;
}

// The text without its trailing blanks.
inline std::string_view WithoutTrailingBlanks(std::string_view text) {
  std::size_t end = text.size();
#if defined(__SSE2__)
  const __m128i blank = _mm_set1_epi8(' ');
  while (end >= 16) {
    const unsigned blanks = detail::Mask(_mm_cmpeq_epi8(detail::Load16(text.data() + end - 16), blank));
    if (blanks != 0xFFFF) {
      // The highest lane that is not a blank ends the text.
      const unsigned others = ~blanks & 0xFFFF;
      return text.substr(0, end - 16 + 32 - static_cast<std::size_t>(__builtin_clz(others)));
    }
    end -= 16;
  }
#endif
  while (end > 0 && text[end - 1] == ' ') --end;
  return text.substr(0, end);
}

}  // namespace support
