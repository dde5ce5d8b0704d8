// The keys the list sorts by and the amounts the filter reads, without a window.
#include <gtest/gtest.h>

#include <QString>

#include "row_order.h"
#include "sample_lists.h"

using namespace quandel;

namespace {

TEST(RowOrder, AmountsAsTyped) {
  const struct {
    const char* typed;
    std::optional<std::int64_t> cents;
  } cases[] = {
      {"1250", 125000},           {"1.250,00", 125000},       {"1250.00", 125000},   {"1250,5", 125050},
      {"1.250", 125000},          {"1.250.000", 125000000},   {"0,01", 1},           {"-25", -2500},
      {" 1 250,00 EUR ", 125000}, {"99,66 €", 9966},          {"12.5", 1250},        {"12,50 DM", 1250},
      {"1,234,5", std::nullopt},  {"1250,001", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt},
      {"-", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseAmount(QString::fromUtf8(c.typed)), c.cents) << c.typed;
}

TEST(RowOrder, AmountRanges) {
  const struct {
    const char* typed;
    std::optional<std::int64_t> min, max;
    bool valid;
  } cases[] = {
      {"100..5000", 10000, 500000, true},        {"100..", 10000, std::nullopt, true},
      {"..5000", std::nullopt, 500000, true},    {"1.250,00..2.000,00", 125000, 200000, true},
      {"1250.00..2000", 125000, 200000, true},   {"42", 4200, 4200, true},
      {"..", std::nullopt, std::nullopt, false}, {"100..x", std::nullopt, std::nullopt, false},
      {"", std::nullopt, std::nullopt, false},
  };
  for (const auto& c : cases) {
    const std::optional<TAmountRange> range = ParseAmountRange(QString::fromUtf8(c.typed));
    ASSERT_EQ(range.has_value(), c.valid) << c.typed;
    if (!range) continue;
    EXPECT_EQ(range->min, c.min) << c.typed;
    EXPECT_EQ(range->max, c.max) << c.typed;
  }
  const TAmountRange range{100, 200};
  EXPECT_FALSE(range.contains(99));
  EXPECT_TRUE(range.contains(100));
  EXPECT_TRUE(range.contains(200));
  EXPECT_FALSE(range.contains(201));
}

TEST(RowOrder, TextKeysOrderAsAReaderExpects) {
  // DIN codes and Windows-1252 umlauts sort with their base letter, case and runs of blanks
  // do not count.
  EXPECT_EQ(TColumnKeys::TextKey("M]LLER"), "MULLER");
  EXPECT_EQ(TColumnKeys::TextKey("M\xFCller"), "MULLER");
  EXPECT_EQ(TColumnKeys::TextKey("  STRA\xDF"
                                 "E \xC4RGER  "),
            "STRASSE ARGER");
  EXPECT_EQ(TColumnKeys::TextKey("[BEL \\L"), "ABEL OL");
  EXPECT_EQ(TColumnKeys::NumberKey("200 505 50"), 20050550U);
  EXPECT_EQ(TColumnKeys::NumberKey("0000000009"), 9U);
  EXPECT_EQ(TColumnKeys::NumberKey(""), 0U);
}

TEST(RowOrder, ClicksCycleThroughTheOrders) {
  TSortOrder order;
  order = NextSortOrder(order, kColName);
  EXPECT_EQ(order, (TSortOrder{kColName, false}));
  order = NextSortOrder(order, kColName);
  EXPECT_EQ(order, (TSortOrder{kColName, true}));
  order = NextSortOrder(order, kColAmount);
  EXPECT_EQ(order, (TSortOrder{kColAmount, false}));
  order = NextSortOrder(NextSortOrder(order, kColAmount), kColAmount);
  EXPECT_FALSE(order.active());
}

TEST(RowOrder, SortsAmountsAsValuesAndKeepsTiesInTheirOrder) {
  // Negative, tiny and equal amounts; names that differ only past their first eight bytes.
  const auto document = listview_test::Document({
      {"LANGER NAME B", 10, {}},
      {"LANGER NAME A", -25, {}},
      {"LANGER NAME B", 0.01, {}},
      {"KURZ", 10, {}},
  });
  const struct {
    int column;
    bool descending;
    std::vector<int> rows;
  } cases[] = {
      {kColAmount, false, {1, 2, 0, 3}},
      {kColAmount, true, {0, 3, 2, 1}},
      {kColName, false, {3, 1, 0, 2}},
      {kColName, true, {0, 2, 1, 3}},
  };
  for (const auto& c : cases) {
    std::vector<int> rows{0, 1, 2, 3};
    TColumnKeys(*document, c.column).sort(rows, c.descending);
    EXPECT_EQ(rows, c.rows) << c.column << c.descending;
  }
}

}  // namespace
