#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dtaus.h"
#include "text_store.h"

namespace {

// Texts handed out earlier must survive the store growing into further blocks.
TEST(TextStore, EarlierTextsSurviveGrowth) {
  struct TCase {
    std::size_t expected;  // the Reset guess
    std::size_t count;
    std::size_t length;
  };
  for (const TCase& t : {TCase{0, 5000, 27}, TCase{100, 3, 200000}, TCase{1 << 20, 40000, 31}}) {
    SCOPED_TRACE(t.count);
    ombra::TTextStore store;
    store.Reset(t.expected);
    std::vector<std::string> originals;
    std::vector<std::string_view> kept;
    for (std::size_t i = 0; i < t.count; ++i) {
      originals.push_back(std::string(t.length, static_cast<char>('A' + i % 26)) + std::to_string(i));
      kept.push_back(store.Copy(originals.back()));
    }
    for (std::size_t i = 0; i < t.count; ++i) ASSERT_EQ(kept[i], originals[i]);
  }
}

TEST(TextStore, LinesAreCopiedWithTheirTexts) {
  ombra::TTextStore store;
  std::string first = "ERSTE", second = "";
  const std::string_view source[] = {first, second, "DRITTE"};
  const ombra::TTextLines lines = store.Copy(source);
  first = "xxxxx";  // the copy must not look at the source any more
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines.front(), "ERSTE");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines.back(), "DRITTE");
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()),
            (std::vector<std::string>{"ERSTE", "", "DRITTE"}));
  EXPECT_TRUE(store.Copy(std::span<const std::string_view>{}).empty());
}

TEST(TextStore, PaymentsAddedByHandOwnTheirTexts) {
  ombra::TDtaus doc;
  std::string name = "MEIER";
  for (int i = 0; i < 1000; ++i) doc.AddSatzC(i, "100 200 30", std::to_string(i), name, {"ZWECK"});
  name = "ANDERS";
  ASSERT_EQ(doc.SatzCList.size(), 1000u);
  EXPECT_EQ(doc.SatzCList[0].Name, "MEIER");
  EXPECT_EQ(doc.SatzCList[999].Konto, "999");
  EXPECT_EQ(doc.SatzCList[999].Verwendungszweck.front(), "ZWECK");
}

}  // namespace
