// Find over rows: the index's hits, and the finder's steps, wrap and count with a view.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "../qstring_print.h"
#include "find_bar.h"
#include "find_index.h"
#include "finder.h"

namespace quandel::test {
namespace {

class FakeRows : public IRowTexts {
 public:
  explicit FakeRows(std::vector<std::vector<QString>> rows) : rows_(std::move(rows)) {}
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  int columnCount() const override { return 6; }
  QString cellText(int row, int column) const override {
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
  }

 private:
  std::vector<std::vector<QString>> rows_;
};

class FakeView : public IFindView {
 public:
  int currentRow() const override { return cursor; }
  void showHit(int row) override {
    shown.push_back(row);
    if (row >= 0) cursor = row;
  }
  void markHits(std::shared_ptr<const std::vector<int>> rows) override { marked = std::move(rows); }

  int cursor = 0;
  std::vector<int> shown;
  std::shared_ptr<const std::vector<int>> marked;
};

const std::vector<int> kColumns{1, 2, 3, 4, 5};

FakeRows Sample() {
  return FakeRows({
      {"1", "MÜLLER GMBH", "370 400 44", "1234567", "RECHNUNG 17\nKUNDE 9", "1.234,56"},
      {"2", "Meier", "100 100 10", "7654321", "MIETE", "99,00"},
      {"3", "STRAßE AG", "370 400 44", "555", "RECHNUNG 18", "17,00"},
      {"4", "Schulz", "200 200 20", "17", "", "0,17"},
  });
}

TEST(FindIndexTest, FindsShownTextsOfTheSearchedColumns) {
  const FakeRows rows = Sample();
  const std::atomic<bool> cancel{false};
  const auto index = TFindIndex::Build(rows, kColumns, cancel);
  ASSERT_NE(index, nullptr);
  struct Case {
    const char* typed;
    int from;
    int next;
    int previous;
    std::vector<int> hits;
  };
  const std::vector<Case> cases{
      {"müller", 0, 0, 0, {0}},
      {"MÜLLER", 2, 0, 0, {0}},  // case folded, umlaut as shown, round past the end
      {"meier", 0, 1, 1, {1}},
      {"straße", 0, 2, 2, {2}},
      {"370 400", 1, 2, 0, {0, 2}},  // the BLZ as shown, with its blanks
      {"17", 1, 2, 0, {0, 2, 3}},    // purpose, amount and Konto; not the number of row 17
      {"1.234,56", 3, 0, 0, {0}},
      {"17kunde", 0, -1, -1, {}},  // lines of one cell are not joined
      {"56rech", 0, -1, -1, {}},   // nor the cells of one row
      {"4", 3, 0, 2, {0, 1, 2}},   // "4" of row 4 is its number, which is not searched
      {"", 0, -1, -1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const std::string needle = TFindIndex::Needle(QString::fromUtf8(c.typed));
    EXPECT_EQ(index->next(needle, c.from), c.next);
    EXPECT_EQ(index->previous(needle, c.from), c.previous);
    EXPECT_EQ(index->hits(needle, cancel), c.hits);
  }
}

// Rows made on request: as many as a big list has, read by several threads.
class CountingRows : public IRowTexts {
 public:
  int rowCount() const override { return 130000; }
  int columnCount() const override { return 2; }
  QString cellText(int row, int column) const override {
    return column == 1 ? QStringLiteral("ZEILE %1").arg(row) : QString();
  }
};

TEST(FindIndexTest, BigListsFindAcrossThePartsReadApart) {
  const CountingRows rows;
  const std::atomic<bool> cancel{false};
  const auto index = TFindIndex::Build(rows, {1}, cancel);
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(index->rowCount(), 130000);
  const std::string needle = TFindIndex::Needle(QStringLiteral("zeile 9999"));
  std::vector<int> expected{9999};
  for (int row = 99990; row <= 99999; ++row) expected.push_back(row);
  EXPECT_EQ(index->hits(needle, cancel), expected);
  EXPECT_EQ(index->next(needle, 10000), 99990);
  EXPECT_EQ(index->next(needle, 100000), 9999);
  EXPECT_EQ(index->previous(needle, 50000), 9999);
  EXPECT_EQ(index->next(TFindIndex::Needle(QStringLiteral("zeile 129999")), 0), 129999);
}

TEST(FindIndexTest, CancelledBuildGivesNoIndex) {
  const FakeRows rows = Sample();
  const std::atomic<bool> cancel{true};
  EXPECT_EQ(TFindIndex::Build(rows, kColumns, cancel), nullptr);
}

class FinderTest : public ::testing::Test {
 protected:
  FinderTest() { finder.setTarget(&rows, &view); }
  void Find(const QString& text) {
    finder.find(text);
    finder.waitForIdle();
  }

  FakeRows rows = Sample();
  FakeView view;
  TFinder finder{kColumns};
};

TEST_F(FinderTest, StepsThroughHitsAndGoesRound) {
  view.cursor = 1;
  Find(QStringLiteral("rechnung"));
  // The first hit at or after the row the user is at.
  EXPECT_EQ(finder.current(), 2);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("2 von 2"));
  ASSERT_NE(view.marked, nullptr);
  EXPECT_EQ(*view.marked, (std::vector<int>{0, 2}));

  struct Step {
    bool forward;
    int row;
    QString count;
    int wrapped;
  };
  const std::vector<Step> steps{
      {true, 0, "1 von 2", 1}, {true, 2, "2 von 2", 0}, {false, 0, "1 von 2", 0}, {false, 2, "2 von 2", -1}};
  for (const Step& step : steps) {
    if (step.forward)
      finder.findNext();
    else
      finder.findPrevious();
    EXPECT_EQ(finder.current(), step.row);
    EXPECT_EQ(view.shown.back(), step.row);
    EXPECT_EQ(TFindBar::CountText(finder), step.count);
    EXPECT_EQ(finder.wrapped(), step.wrapped);
  }
}

TEST_F(FinderTest, TypingNarrowsFromTheCurrentHit) {
  Find(QStringLiteral("m"));
  EXPECT_EQ(finder.current(), 0);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("1 von 2"));
  Find(QStringLiteral("mi"));
  EXPECT_EQ(finder.current(), 1);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("1 von 1"));
  Find(QStringLiteral("mix"));
  EXPECT_EQ(finder.current(), -1);
  EXPECT_EQ(view.shown.back(), -1);
  EXPECT_EQ(view.marked, nullptr);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("Keine Treffer"));
  // The view's row stays where the last hit was.
  EXPECT_EQ(view.cursor, 1);
  Find(QString());
  EXPECT_EQ(TFindBar::CountText(finder), QString());
}

TEST_F(FinderTest, EnterBeforeTheIndexIsBuiltShowsTheFirstHit) {
  finder.find(QStringLiteral("17"));
  finder.findNext();
  finder.waitForIdle();
  EXPECT_EQ(finder.current(), 0);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("1 von 3"));
}

TEST_F(FinderTest, ChangedRowsAreSearchedAnew) {
  Find(QStringLiteral("schulz"));
  EXPECT_EQ(finder.current(), 3);
  FakeRows other({{"1", "SCHULZ", "", "", "", ""}});
  finder.setTarget(&other, &view);
  finder.waitForIdle();
  EXPECT_EQ(finder.current(), 0);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("1 von 1"));
}

}  // namespace
}  // namespace quandel::test
