#include "cp1252.h"

#include <gtest/gtest.h>

#include <string>

using support::Cp1252ToUnicode;
using support::Cp1252ToUtf8;
using support::Utf8ToCp1252OrKeep;

namespace {

TEST(Cp1252, HighBytesMapToTheirCodePoints) {
  EXPECT_EQ(Cp1252ToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(Cp1252ToUnicode(0x9F), U'\u0178');
  EXPECT_EQ(Cp1252ToUnicode(0x81), U'\u0081');  // unassigned: itself
  EXPECT_EQ(Cp1252ToUnicode(0xE4), U'\u00E4');
  EXPECT_EQ(Cp1252ToUnicode('A'), U'A');
}

TEST(Cp1252, ToUtf8) {
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(Cp1252ToUtf8("M\xFCller \xE4"), "M\xC3\xBCller \xC3\xA4");
  EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252OrKeep(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, ValidUtf8IsConverted) {
  EXPECT_EQ(Utf8ToCp1252OrKeep("\xC3\xA4\xE2\x82\xAC"), "\xE4\x80");
  EXPECT_EQ(Utf8ToCp1252OrKeep(""), "");
}

TEST(Cp1252, TextThatIsNotConvertibleUtf8IsKeptWhole) {
  for (const std::string bad : {"M\xFCller",         // already Windows-1252
                                "ab\xC3",            // cut short
                                "\xC3(x",            // bad continuation
                                "\xE2\x82",          // cut short in three bytes
                                "\xC1\x81",          // overlong 'A'
                                "\xC0\x80",          // overlong NUL
                                "\xE0\x83\xA4",      // overlong U+00E4
                                "\xF0\x9F\x98\x80",  // valid, but no such character in Windows-1252
                                "x\xC4\x80",         // U+0100 is not in Windows-1252 either
                                "\xED\xA0\x80",      // a surrogate half
                                "\xF4\x90\x80\x80",  // above U+10FFFF
                                "\xFF"}) {
    EXPECT_EQ(Utf8ToCp1252OrKeep(bad), bad);
  }
}

TEST(Cp1252, PageTextWritesWhatWindows1252LacksAsCharacterReferences) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xE6\x97\xA5\xE6\x9C\xAC.dta", "&#26085;&#26412;.dta"},
      {"\xC3\xA4\xE2\x82\xAC \xF0\x9F\x98\x80", "\xE4\x80 &#128512;"},
      {"b\xFCro.dta", "b\xFCro.dta"},  // not UTF-8: Windows-1252 already
      {"\xED\xA0\x80", "\xED\xA0\x80"},
      {"", ""},
  };
  for (const auto& [text, page] : cases) EXPECT_EQ(support::Utf8ToCp1252Html(text), page) << text;
}

TEST(Cp1252, Utf8DecodesToCodePoints) {
  EXPECT_EQ(support::DecodeUtf8("a\xC3\xA4\xE2\x82\xAC\xF4\x8F\xBF\xBF"),
            std::u32string(U"a\u00E4\u20AC\U0010FFFF"));
  EXPECT_EQ(support::DecodeUtf8("a\xC3"), std::nullopt);
}

TEST(Cp1252, TextOfEitherOriginBecomesUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"M\xC3\xBCller", "M\xC3\xBCller"},  // UTF-8 stays
      {"M\xFCller", "M\xC3\xBCller"},      // Windows-1252 is converted
      {"\xC1\x81", "\xC3\x81\xC2\x81"},    // an overlong form is no UTF-8
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
  };
  for (const auto& [text, utf8] : cases) {
    EXPECT_EQ(support::Utf8OrCp1252ToUtf8(text), utf8) << text;
    EXPECT_EQ(support::IsValidUtf8(text), text == utf8) << text;
  }
}

}  // namespace
