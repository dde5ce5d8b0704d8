#include "replace_all.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using support::ReplaceAll;

namespace {

// The plain restart loop, step by step; nothing when it has not ended after `maxSteps`.
std::optional<std::string> RestartLoop(std::string w, const std::string& search,
                                       const std::string& replacement, int maxSteps) {
  for (std::size_t p = w.find(search); p != std::string::npos; p = w.find(search)) {
    if (maxSteps-- == 0) return std::nullopt;
    w.replace(p, search.size(), replacement);
  }
  return w;
}

std::vector<std::string> AllWords(std::size_t maxLength) {
  std::vector<std::string> words{""};
  for (std::size_t i = 0; i < words.size(); ++i)
    if (words[i].size() < maxLength)
      for (char c : {'a', 'b'}) words.push_back(words[i] + c);
  return words;
}

TEST(ReplaceAll, OccurrencesFormedByAReplacementAreReplacedToo) {
  EXPECT_EQ(ReplaceAll("aabb", "ab", ""), "");
  EXPECT_EQ(ReplaceAll("xaabbx", "ab", ""), "xx");
  EXPECT_EQ(ReplaceAll("aab", "ab", "b"), "b");
  EXPECT_EQ(ReplaceAll("bba", "ba", "ab"), "abb");
}

TEST(ReplaceAll, EmptySearchOrTextReturnsTextUnchanged) {
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("", "a", "x"), "");
  EXPECT_EQ(ReplaceAll("abc", "abcd", "x"), "abc");
}

TEST(ReplaceAll, IsCaseSensitiveAndLeavesOtherBytes) {
  EXPECT_EQ(ReplaceAll("aAa", "a", "b"), "bAb");
  EXPECT_EQ(ReplaceAll(std::string("a\0b", 3), "b", "c"), std::string("a\0c", 3));
}

TEST(ReplaceAll, ReplacementContainingSearchEndsInOneLeftToRightPass) {
  EXPECT_EQ(ReplaceAll("abab", "a", "aa"), "aabaab");
  EXPECT_EQ(ReplaceAll("xx", "x", "x"), "xx");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "aaa"), "aaaa");
}

TEST(ReplaceAll, SingleCharacterUmlautPairs) {
  std::string text = "M[LLER \\TZ ]BERWEISUNG {|}~";
  text = ReplaceAll(text, "[", "\xC4");
  text = ReplaceAll(text, "\\", "\xD6");
  text = ReplaceAll(text, "]", "\xDC");
  EXPECT_EQ(text,
            "M\xC4LLER \xD6TZ \xDC"
            "BERWEISUNG {|}~");
  EXPECT_EQ(ReplaceAll("[[[", "[", "\xC4"), "\xC4\xC4\xC4");
}

TEST(ReplaceAll, GrowingPairThatEndsGivesTheFullRestartResult) {
  // Each "ab" becomes "bba": the restart loop ends, after 2^12 - 1 replacements here.
  const std::string text = std::string(12, 'a') + "b";
  EXPECT_EQ(ReplaceAll(text, "ab", "bba"), std::string(4096, 'b') + std::string(12, 'a'));
}

TEST(ReplaceAll, AgreesWithRestartLoopOnEveryEndingSmallCase) {
  const auto texts = AllWords(7);
  const auto pairs = AllWords(3);
  for (const auto& search : pairs) {
    if (search.empty()) continue;
    for (const auto& replacement : pairs) {
      if (replacement.find(search) != std::string::npos) continue;
      for (const auto& text : texts) {
        const auto expected = RestartLoop(text, search, replacement, 2000);
        if (expected) {
          ASSERT_EQ(ReplaceAll(text, search, replacement), *expected)
              << text << " " << search << " -> " << replacement;
        }
      }
    }
  }
}

TEST(ReplaceAll, EndlesslyGrowingPairEndsWithOnePass) {
  // "ab" -> "bbaa" never contains "ab", yet every replacement forms a new one.
  EXPECT_EQ(ReplaceAll("aab", "ab", "bbaa"), "abbaa");
}

TEST(ReplaceAll, LongTextWithManyFormedOccurrences) {
  // Each "ba" moves one "a" left: a quadratic number of replacements.
  const std::string text = std::string(300, 'b') + std::string(300, 'a');
  EXPECT_EQ(ReplaceAll(text, "ba", "ab"), std::string(300, 'a') + std::string(300, 'b'));
  EXPECT_EQ(ReplaceAll(std::string(100000, '['), "[", "\xC4"), std::string(100000, '\xC4'));
}

}  // namespace
