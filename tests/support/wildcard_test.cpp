#include "wildcard.h"

#include <gtest/gtest.h>

#include <string>

using support::WildcardMatch;

namespace {

TEST(Wildcard, StarDotStarMatchesEveryName) {
  EXPECT_TRUE(WildcardMatch("noext", "*.*"));
  EXPECT_TRUE(WildcardMatch(".hidden", "*.*"));
  EXPECT_TRUE(WildcardMatch("a.b.c", "*.*"));
}

TEST(Wildcard, OtherPatternsNeedTheirDot) {
  EXPECT_TRUE(WildcardMatch("dtaus1.dta", "dtaus1.*"));
  EXPECT_TRUE(WildcardMatch("dtaus1.", "dtaus1.*"));
  EXPECT_FALSE(WildcardMatch("dtaus10", "dtaus1.*"));
  EXPECT_FALSE(WildcardMatch("file", "*.dta"));
  EXPECT_FALSE(WildcardMatch("file.dtax", "*.dta"));
}

TEST(Wildcard, CaseIsIgnoredForAsciiLetters) {
  EXPECT_TRUE(WildcardMatch("DTAUS.DTA", "dtaus.dta"));
  EXPECT_TRUE(WildcardMatch("Lauf.Dta", "*.DTA"));
  EXPECT_FALSE(WildcardMatch("\xC4.dta", "\xE4.dta"));  // only ASCII is folded
}

TEST(Wildcard, QuestionMarkIsExactlyOneCharacter) {
  EXPECT_TRUE(WildcardMatch("a1.dta", "a?.dta"));
  EXPECT_FALSE(WildcardMatch("a.dta", "a?.dta"));
  EXPECT_FALSE(WildcardMatch("a12.dta", "a?.dta"));
  EXPECT_TRUE(WildcardMatch("?", "?"));
}

TEST(Wildcard, StarMatchesAnyRunAndBacktracks) {
  EXPECT_TRUE(WildcardMatch("", "*"));
  EXPECT_TRUE(WildcardMatch("abc", "a*"));
  EXPECT_TRUE(WildcardMatch("xaxxbab", "*a*b"));
  EXPECT_TRUE(WildcardMatch("abab.dta", "*ab.dta"));
  EXPECT_FALSE(WildcardMatch("xaxxba", "*a*b"));
  EXPECT_FALSE(WildcardMatch("", "?"));
  EXPECT_FALSE(WildcardMatch("a", ""));
}

TEST(Wildcard, ManyStarsOnLongNameStillAnswer) {
  const std::string name(4000, 'a');
  EXPECT_FALSE(WildcardMatch(name, "*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(WildcardMatch(name + "b", "*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
