#include "wildcard.h"

#include <gtest/gtest.h>

#include <string>

using support::WildcardMatch;

namespace {

TEST(Wildcard, MatchesNamesAsTheFolderDialogDoes) {
  const struct {
    const char* rule;
    std::string name;
    const char* pattern;
    bool matches;
  } cases[] = {
      {"*.* matches every name", "noext", "*.*", true},
      {"*.* matches every name", ".hidden", "*.*", true},
      {"*.* matches every name", "a.b.c", "*.*", true},
      {"other patterns need their dot", "dtaus1.dta", "dtaus1.*", true},
      {"other patterns need their dot", "dtaus1.", "dtaus1.*", true},
      {"other patterns need their dot", "dtaus10", "dtaus1.*", false},
      {"other patterns need their dot", "file", "*.dta", false},
      {"other patterns need their dot", "file.dtax", "*.dta", false},
      {"case is ignored for ASCII letters", "DTAUS.DTA", "dtaus.dta", true},
      {"case is ignored for ASCII letters", "Lauf.Dta", "*.DTA", true},
      {"case is ignored for ASCII letters only", "\xC4.dta", "\xE4.dta", false},
      {"? is exactly one character", "a1.dta", "a?.dta", true},
      {"? is exactly one character", "a.dta", "a?.dta", false},
      {"? is exactly one character", "a12.dta", "a?.dta", false},
      {"? is exactly one character", "?", "?", true},
      {"* matches any run and backtracks", "", "*", true},
      {"* matches any run and backtracks", "abc", "a*", true},
      {"* matches any run and backtracks", "xaxxbab", "*a*b", true},
      {"* matches any run and backtracks", "abab.dta", "*ab.dta", true},
      {"* matches any run and backtracks", "xaxxba", "*a*b", false},
      {"* matches any run and backtracks", "", "?", false},
      {"* matches any run and backtracks", "a", "", false},
      // Many stars on a long name must still answer (no exponential backtracking).
      {"many stars on a long name", std::string(4000, 'a'), "*a*a*a*a*a*a*a*a*b", false},
      {"many stars on a long name", std::string(4000, 'a') + "b", "*a*a*a*a*a*a*a*a*b", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.rule) + ": \"" + c.name.substr(0, 40) + "\" against \"" + c.pattern + "\"");
    EXPECT_EQ(WildcardMatch(c.name, c.pattern), c.matches);
  }
}

}  // namespace
