// The block-wise scans against the plain byte loops they stand for, over every length up to a
// few blocks and every place a byte of interest can stand (block edges, overlapping tails).
#include "byte_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

bool ReferenceHasHigh(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

bool ReferenceContains(std::string_view s, std::string_view bytes) {
  return s.find_first_of(bytes) != std::string_view::npos;
}

std::string_view ReferenceTrim(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

constexpr std::size_t kLongest = 50;

TEST(ByteScanTest, AgreesWithByteLoopsAtEveryLengthAndPlace) {
  for (std::size_t length = 0; length <= kLongest; ++length) {
    for (std::size_t at = 0; at <= length; ++at) {
      // at == length: nothing planted.
      for (const char planted : {'\xDC', ';', '"', '\n', 'x'}) {
        std::string text(length, 'a');
        if (at < length) text[at] = planted;
        SCOPED_TRACE(testing::Message() << "length " << length << ", byte " << int(planted) << " at " << at);
        EXPECT_EQ(support::HasByteAbove7F(text), ReferenceHasHigh(text));
        EXPECT_EQ(support::ContainsAny(text, ';', '"', '\r', '\n'), ReferenceContains(text, ";\"\r\n"));
        const std::size_t prefix = support::AsciiPrefix(text);
        // Whole blocks only, and never past the first byte above 0x7F.
        EXPECT_TRUE(prefix == text.size() || prefix % 16 == 0);
        EXPECT_FALSE(ReferenceHasHigh(std::string_view(text).substr(0, prefix)));
        EXPECT_LE(text.size() - prefix, ReferenceHasHigh(text) ? text.size() : 0);
      }
    }
  }
}

TEST(ByteScanTest, TrailingBlanksEndWhereTheLastOtherByteStands) {
  for (std::size_t length = 0; length <= kLongest; ++length) {
    for (std::size_t last = 0; last <= length; ++last) {
      // Blanks everywhere but one byte at `last` (none when last == length), so the trimmed
      // text ends right after it.
      std::string text(length, ' ');
      if (last < length) text[last] = 'z';
      SCOPED_TRACE(testing::Message() << "length " << length << ", last " << last);
      EXPECT_EQ(support::WithoutTrailingBlanks(text), ReferenceTrim(text));
      std::string inner = "Q" + text;
      EXPECT_EQ(support::WithoutTrailingBlanks(inner), ReferenceTrim(inner));
    }
  }
}

}  // namespace
