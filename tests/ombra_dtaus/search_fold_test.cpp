// Folding for search: every way a DTAUS file or a user writes a name must meet in one form.
#include "search_fold.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
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
      // What a browser shows as a blank is one: the list shows every such run as one blank.
      {"RECHNUNG\t\r\n12\f", "RECHNUNG 12", "RECHNUNG12"},
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

TEST(SearchFoldTest, MatchesAreMarkedInTheTextAsWritten) {
  using Ranges = std::vector<ombra::TTextRange>;
  const struct {
    const char* text;
    const char* typed;
    TBlanks blanks;
    Ranges ranges;
  } cases[] = {
      {"M]LLER GMBH", "m\xFCller", TBlanks::Single, {{0, 6}}},
      {"HANS MUELLER", "M\xFCller", TBlanks::Single, {{5, 12}}},
      {"HANS M\xFCLLER", "mueller", TBlanks::Single, {{5, 11}}},
      {"200 505 50", "20050550", TBlanks::Ignored, {{0, 10}}},
      {"200 505 50", "50550", TBlanks::Ignored, {{4, 10}}},
      {"RECHNUNG   17", "rechnung 17", TBlanks::Single, {{0, 13}}},
      {"M]LLER", "u", TBlanks::Single, {{1, 2}}},  // half of "]" marks all of it
      {"STRA~E", "ss", TBlanks::Single, {{4, 5}}},
      {"AEAE [", "ae", TBlanks::Single, {{0, 2}, {2, 4}, {5, 6}}},
      {"ABC", "x", TBlanks::Single, {}},
      {"ABC", "", TBlanks::Single, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ombra::FoldedMatches(c.text, FoldText(c.typed, c.blanks), c.blanks), c.ranges)
        << c.text << " / " << c.typed;
}

TEST(SearchFoldTest, ATypedSearchIsATextANumberAndAnAmount) {
  const struct {
    const char* typed;
    const char* text;
    const char* digits;
    std::optional<std::int64_t> cents;
  } cases[] = {
      {"m\xFCller", "MUELLER", "", std::nullopt},
      {" ue ", "UE", "", std::nullopt},
      {"200 505 50", "200 505 50", "20050550", 2005055000},
      {"20050550", "20050550", "", 2005055000},
      {"1250", "1250", "", 125000},
      {"1.250,00", "1.250,00", "", 125000},
      {"1250.00", "1250.00", "", 125000},
      {"1 250,00", "1 250,00", "", 125000},
      {"12,345", "12,345", "", std::nullopt},
      {"RECHNUNG 12", "RECHNUNG 12", "", std::nullopt},
      {"\x01\x1f", "", "", std::nullopt},  // control characters are never found
      {"", "", "", std::nullopt},
  };
  for (const auto& c : cases) {
    const ombra::TSearchNeedle needle = ombra::MakeSearchNeedle(c.typed);
    EXPECT_EQ(needle.Text, c.text) << c.typed;
    EXPECT_EQ(needle.Digits, c.digits) << c.typed;
    EXPECT_EQ(needle.Cents, c.cents) << c.typed;
    EXPECT_EQ(needle.empty(), std::string(c.text).empty()) << c.typed;
  }
}

}  // namespace
