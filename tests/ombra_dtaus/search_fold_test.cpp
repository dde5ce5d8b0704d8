// Folding for search: every way a DTAUS file or a user writes a name must meet in one form.
#include "search_fold.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ombra::FoldDigits;
using ombra::FoldText;
using ombra::TBlanks;

TEST(SearchFoldTest, SpellingsOfOneNameFoldAlike) {
  // Windows-1252 bytes: \xFC ü, \xDC Ü, \xDF ß, \xE4 ä, \xF6 ö, \xC4 Ä, \xD6 Ö.
  const struct {
    const char* folded;
    std::vector<std::string> spellings;
  } cases[] = {
      {"MUELLER", {"m\xFCller", "M\xDCLLER", "M]LLER", "M}ller", "MUELLER", "Mueller", "mueller"}},
      {"STRASSE",
       {"stra\xDF"
        "e",
        "STRASSE", "STRA~E", "Strasse"}},
      {"AERGER", {"\xE4rger", "\xC4RGER", "[RGER", "{rger", "AERGER"}},
      {"OEL", {"\xF6l", "\xD6L", "\\L", "|l", "OEL", "Oel"}},
      {"ANDRE", {"andre", "ANDRE"}},
      {"\xC9LISE", {"\xE9lise", "\xC9LISE"}},  // é and É meet; the accent stays
  };
  for (const auto& c : cases)
    for (const auto& spelling : c.spellings) EXPECT_EQ(FoldText(spelling), c.folded) << spelling;
}

TEST(SearchFoldTest, BlanksCountOnceOrNotAtAll) {
  const struct {
    const char* text;
    const char* single;
    const char* ignored;
  } cases[] = {
      {"RECHNUNG 12", "RECHNUNG 12", "RECHNUNG12"},
      {"  Rechnung   12   ", "RECHNUNG 12", "RECHNUNG12"},
      {"", "", ""},
      {"     ", "", ""},
      {"M]LLER  HANS", "MUELLER HANS", "MUELLERHANS"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FoldText(c.text), c.single) << c.text;
    EXPECT_EQ(FoldText(c.text, TBlanks::Ignored), c.ignored) << c.text;
  }
}

TEST(SearchFoldTest, DigitsIgnoreBlanksOnly) {
  EXPECT_EQ(FoldDigits("200 505 50"), "20050550");
  EXPECT_EQ(FoldDigits("20050550"), "20050550");
  EXPECT_EQ(FoldDigits(" 12 34 "), "1234");
  EXPECT_EQ(FoldDigits("12-34"), "12-34");
}

TEST(SearchFoldTest, AFoldedNeedleIsFoundInAFoldedText) {
  const struct {
    const char* text;
    const char* needle;
    bool found;
  } cases[] = {
      {"HANS M]LLER GMBH", "m\xFCller", true},
      {"Hans Mueller", "M\xDCLLER", true},
      {"HANS MULLER", "m\xFCller", false},  // an umlaut dropped is another name
      {"STRA~ENBAU", "strasse", true},
      {"RECHNUNG  4711", "rechnung 4711", true},
      {"RECHNUNG 4711", "", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ombra::ContainsFolded(FoldText(c.text), FoldText(c.needle)), c.found)
        << c.text << " / " << c.needle;
}

}  // namespace
