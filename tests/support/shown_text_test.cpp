#include "shown_text.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(ShownTextTest, ControlsAndStrayBytesBecomeVisibleEscapes) {
  const struct {
    std::string bytes;
    std::string shown;
  } cases[] = {
      {"Müller_.dta", "Müller_.dta"},
      {"M\xFCller_.dta", "M\\xFCller_.dta"},
      {"a\nb", "a\\nb"},
      {"a\tb\rc", "a\\tb\\rc"},
      {"\x1b[31mrot", "\\x1b[31mrot"},
      {std::string("\0", 1), "\\x00"},
      {"\x7f", "\\x7f"},
      {"\xC2\x85"
       "C1",
       "\\u0085C1"},                        // NEL, a C1 control in UTF-8
      {"\xC2\xA0", "\xC2\xA0"},             // no-break space is printable
      {"a\\nb", "a\\\\nb"},                 // a backslash of the name's own
      {"\xC0\xAF", "\\xC0\\xAF"},           // overlong
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},  // surrogate
      {"\xE2\x82", "\\xE2\\x82"},           // cut short
      {"€ 日本", "€ 日本"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(support::ShownText(c.bytes), c.shown);
    EXPECT_EQ(support::ShownAsIs(c.bytes), c.bytes == c.shown);
  }
}

TEST(ShownTextTest, DifferentBytesNeverLookAlike) {
  const std::string names[] = {"Müller", "M\xFCller", "M\\xFCller", "M\\\\xFCller", "a\nb",    "a\\nb",
                               "a\\\nb", "\x1b",      "\\x1b",      "\xC2\x85",     "\\u0085", "\x85",
                               "\\x85",  "",          "\\",         "\\\\",         "\xC3",    "\xC3\\xC3"};
  std::set<std::string> shown;
  for (const auto& name : names) EXPECT_TRUE(shown.insert(support::ShownText(name)).second) << name;
}

TEST(ShownTextTest, Cp1252TextIsConvertedThenEscaped) {
  EXPECT_EQ(support::ShownCp1252("Gr\xFC\xDF"
                                 "e"),
            "Grüße");
  EXPECT_EQ(support::ShownCp1252("\x80 5"), "€ 5");
  // Bytes Windows-1252 leaves unassigned stand for C1 controls.
  EXPECT_EQ(support::ShownCp1252("a\x81"
                                 "b\x1b"),
            "a\\u0081b\\x1b");
}

}  // namespace
