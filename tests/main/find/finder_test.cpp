// Find over the payments of a document: the index's hits as a user types them (umlauts in any
// spelling, numbers without their blanks, amounts as typed), and the finder's steps, wrap,
// count and selection with a view, in the file's order and in another.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "../qstring_print.h"
#include "find_bar.h"
#include "find_index.h"
#include "finder.h"

namespace quandel::test {
namespace {

struct TRow {
  std::string name;
  std::string blz;
  std::string konto;
  std::vector<std::string> purposes;
  double amount;
};

// Windows-1252 as a file stores it: "]" is the DIN 66003 code for Ü, "~" for ß.
std::shared_ptr<const ombra::TDtaus> Document(const std::vector<TRow>& rows) {
  auto document = std::make_shared<ombra::TDtaus>();
  document->SatzA->Euro = true;
  for (const TRow& row : rows) document->AddSatzC(row.amount, row.blz, row.konto, row.name, row.purposes);
  return document;
}

std::shared_ptr<const ombra::TDtaus> Sample() {
  return Document({
      {"M]LLER GMBH", "370 400 44", "1234567", {"RECHNUNG 17", "KUNDE 9"}, 1234.56},
      {"Meier", "100 100 10", "7654321", {"MIETE DUE"}, 99.0},
      {"STRA~E AG", "370 400 44", "555", {"RECHNUNG 18"}, 17.0},
      {"Schulz", "200 505 50", "17", {""}, 0.17},
      {"MUELLER HANS", "200 505 50", "9988", {"ZUSCHUSS"}, 1250.0},
      {"M\xFCller Otto", "100 200 30", "4711", {"R\xDC"
                                                 "CKZAHLUNG"},
       12500.0},
  });
}

std::shared_ptr<const TFindIndex> Index(const ombra::TDtaus& document) {
  const std::atomic<bool> goOn{false};
  return TFindIndex::Build(document, ombra::TRegionalSettings::de_DE(), goOn);
}

TEST(FindIndexTest, FindsWhatAUserTypesForTheShownTexts) {
  const auto document = Sample();
  const auto index = Index(*document);
  ASSERT_NE(index, nullptr);
  ASSERT_EQ(index->rowCount(), 6);
  struct Case {
    const char* typed;  // UTF-8, as typed
    int from;
    int next;
    int previous;
    std::vector<int> hits;
  };
  const std::vector<Case> cases{
      // Ü as typed, as the DIN code the file stores, spelled out, in any case.
      {"müller", 0, 0, 0, {0, 4, 5}},
      {"M]LLER", 1, 4, 0, {0, 4, 5}},
      {"MUELLER", 5, 5, 5, {0, 4, 5}},
      {"Müller", 3, 4, 0, {0, 4, 5}},
      // A literal "ue" is still found, and finds the umlauts as well; so does "ü".
      {"ü", 1, 1, 1, {0, 1, 4, 5}},
      {"ue", 1, 1, 1, {0, 1, 4, 5}},
      {"straße", 0, 2, 2, {2}},
      {"STRASSE", 3, 2, 2, {2}},
      // Bank codes and accounts with their blanks or without.
      {"20050550", 0, 3, 4, {3, 4}},
      {"200 505 50", 4, 4, 4, {3, 4}},
      {"505 50", 0, 3, 4, {3, 4}},
      {"370 400", 1, 2, 0, {0, 2}},
      {"37040044", 1, 2, 0, {0, 2}},
      // Amounts as typed; the amount must be it, not merely hold its digits.
      {"1250", 0, 4, 4, {4}},
      {"1.250,00", 5, 4, 4, {4}},
      {"1250.00", 0, 4, 4, {4}},
      {"1250,00", 0, 4, 4, {4}},
      {"12500", 0, 5, 5, {5}},
      {"12.500,00", 0, 5, 5, {5}},
      {"250,00", 0, 4, 4, {4}},  // a piece of the shown amount, as text
      {"17", 1, 2, 0, {0, 2, 3}},   // purpose, amount and Konto; not the number of row 17
      {"0,17", 0, 3, 3, {3}},
      {"17kunde", 0, -1, -1, {}},  // lines of one cell are not joined
      {"56rech", 0, -1, -1, {}},   // nor the cells of one row
      {"4", 3, 5, 2, {0, 1, 2, 5}},  // "4" of row 4 is its number, which is not searched
      {"99 88", 0, 4, 4, {4}},       // an account typed in groups
      {"", 0, -1, -1, {}},
  };
  const std::atomic<bool> goOn{false};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const ombra::TSearchNeedle needle = TFindIndex::Needle(QString::fromUtf8(c.typed));
    EXPECT_EQ(index->next(needle, c.from), c.next);
    EXPECT_EQ(index->previous(needle, c.from), c.previous);
    EXPECT_EQ(index->hits(needle, goOn), c.hits);
    for (int row = 0; row < index->rowCount(); ++row)
      EXPECT_EQ(index->matches(row, needle), std::count(c.hits.begin(), c.hits.end(), row) == 1) << row;
  }
}

// As many payments as a big list has: read in parts by several threads.
TEST(FindIndexTest, BigListsFindAcrossThePartsReadApart) {
  std::vector<TRow> rows;
  for (int row = 0; row < 130000; ++row)
    rows.push_back({"ZEILE " + std::to_string(row), "100 100 10", "1", {"X"}, 2.0 + row % 7});
  const auto document = Document(rows);
  const auto index = Index(*document);
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(index->rowCount(), 130000);
  const std::atomic<bool> goOn{false};
  const ombra::TSearchNeedle needle = TFindIndex::Needle(QStringLiteral("zeile 9999"));
  std::vector<int> expected{9999};
  for (int row = 99990; row <= 99999; ++row) expected.push_back(row);
  EXPECT_EQ(index->hits(needle, goOn), expected);
  EXPECT_EQ(index->next(needle, 10000), 99990);
  EXPECT_EQ(index->next(needle, 100000), 9999);
  EXPECT_EQ(index->previous(needle, 50000), 9999);
  EXPECT_EQ(index->next(TFindIndex::Needle(QStringLiteral("zeile 129999")), 0), 129999);
  // An amount is found in every part, in order.
  const ombra::TSearchNeedle eight = TFindIndex::Needle(QStringLiteral("8,00"));
  std::vector<int> amounts;
  for (int row = 6; row < 130000; row += 7) amounts.push_back(row);
  EXPECT_EQ(index->hits(eight, goOn), amounts);
  EXPECT_EQ(index->next(eight, 129998), 6);
}

TEST(FindIndexTest, CancelledBuildGivesNoIndex) {
  const auto document = Sample();
  const std::atomic<bool> cancel{true};
  EXPECT_EQ(TFindIndex::Build(*document, ombra::TRegionalSettings::de_DE(), cancel), nullptr);
}

class FakeView : public IFindView {
 public:
  TFindRows findRows() const override {
    return {document, ombra::TRegionalSettings::de_DE(), order,
            order ? static_cast<int>(order->size()) : static_cast<int>(document->SatzCList.size())};
  }
  int currentRow() const override { return cursor; }
  void showHit(int row) override {
    shown.push_back(row);
    if (row >= 0) cursor = row;
  }
  void markHits(std::shared_ptr<const std::vector<int>> rows) override { marked = std::move(rows); }
  void markText(std::shared_ptr<const ombra::TSearchNeedle> needle) override { text = std::move(needle); }
  void selectRows(const std::vector<int>& rows, int at) override {
    selected = rows;
    cursor = at;
  }

  std::shared_ptr<const ombra::TDtaus> document = Sample();
  std::shared_ptr<const std::vector<int>> order;
  int cursor = 0;
  std::vector<int> shown;
  std::shared_ptr<const std::vector<int>> marked;
  std::shared_ptr<const ombra::TSearchNeedle> text;
  std::vector<int> selected;
};

class FinderTest : public ::testing::Test {
 protected:
  FinderTest() { finder.setTarget(&view); }
  void Find(const QString& text) {
    finder.find(text);
    finder.waitForIdle();
  }

  FakeView view;
  TFinder finder;
};

TEST_F(FinderTest, StepsThroughHitsAndGoesRound) {
  view.cursor = 1;
  Find(QStringLiteral("rechnung"));
  // The first hit at or after the row the user is at.
  EXPECT_EQ(finder.current(), 2);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("2 von 2"));
  ASSERT_NE(view.marked, nullptr);
  EXPECT_EQ(*view.marked, (std::vector<int>{0, 2}));
  ASSERT_NE(view.text, nullptr);
  EXPECT_EQ(view.text->Text, "RECHNUNG");

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
  finder.stop();
  EXPECT_EQ(view.marked, nullptr);
  EXPECT_EQ(view.text, nullptr);
}

TEST_F(FinderTest, TypingNarrowsFromTheCurrentHit) {
  Find(QStringLiteral("m"));
  EXPECT_EQ(finder.current(), 0);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("1 von 4"));
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
  EXPECT_EQ(view.text, nullptr);
}

TEST_F(FinderTest, EnterBeforeTheIndexIsBuiltShowsTheFirstHit) {
  finder.find(QStringLiteral("17"));
  finder.findNext();
  finder.waitForIdle();
  EXPECT_EQ(finder.current(), 0);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("1 von 3"));
}

TEST_F(FinderTest, SortedOrFilteredRowsAreFoundInTheOrderShownWithTheSameIndex) {
  Find(QStringLiteral("müller"));
  const auto index = finder.index();
  ASSERT_NE(index, nullptr);
  // Shown backwards, without the first payment: rows 0..4 hold payments 5, 4, 3, 2, 1.
  finder.reset();
  view.order = std::make_shared<const std::vector<int>>(std::vector<int>{5, 4, 3, 2, 1});
  view.cursor = 0;
  finder.refind();
  finder.waitForIdle();
  EXPECT_EQ(finder.index(), index);
  EXPECT_EQ(finder.current(), 0);
  ASSERT_NE(finder.hits(), nullptr);
  EXPECT_EQ(*finder.hits(), (std::vector<int>{0, 1}));
  finder.findNext();
  EXPECT_EQ(finder.current(), 1);
  finder.findNext();
  EXPECT_EQ(finder.current(), 0);
  EXPECT_EQ(finder.wrapped(), 1);
  // Before the count, the steps go in the order shown as well.
  finder.reset();
  view.cursor = 2;
  finder.find(QStringLiteral("rechnung"));
  EXPECT_EQ(finder.current(), 3);
  finder.findNext();
  EXPECT_EQ(finder.current(), 3);  // payment 0 is not shown: the only hit shown is payment 2
  finder.waitForIdle();
  EXPECT_EQ(*finder.hits(), (std::vector<int>{3}));
}

TEST_F(FinderTest, AllHitsAreSelectedAlsoWhenAskedBeforeTheyAreCounted) {
  finder.find(QStringLiteral("müller"));
  finder.selectAllHits();
  finder.waitForIdle();
  EXPECT_EQ(view.selected, (std::vector<int>{0, 4, 5}));
  EXPECT_EQ(view.cursor, 0);
  view.selected.clear();
  finder.findNext();
  finder.selectAllHits();
  EXPECT_EQ(view.selected, (std::vector<int>{0, 4, 5}));
  EXPECT_EQ(view.cursor, 4);
  // Nothing found selects nothing.
  view.selected.clear();
  Find(QStringLiteral("niemand"));
  finder.selectAllHits();
  finder.waitForIdle();
  EXPECT_TRUE(view.selected.empty());
}

TEST_F(FinderTest, AnotherDocumentIsSearchedAnew) {
  Find(QStringLiteral("schulz"));
  EXPECT_EQ(finder.current(), 3);
  const auto before = finder.index();
  finder.reset();
  view.document = Document({{"SCHULZ", "100 100 10", "1", {"X"}, 1.0}});
  finder.refind();
  finder.waitForIdle();
  EXPECT_NE(finder.index(), before);
  EXPECT_EQ(finder.current(), 0);
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("1 von 1"));
}

TEST_F(FinderTest, TakesTheIndexTheFilterLeftAndLeavesItsOwn) {
  TIndexShelf shelf;
  const auto document = view.document;
  const auto index = Index(*document);
  shelf.put(document, index);
  finder.setShelf(&shelf);
  finder.find(QStringLiteral("müller"));
  // No index built: the first hit is there at once.
  EXPECT_EQ(finder.index(), index);
  EXPECT_EQ(finder.current(), 0);
  finder.waitForIdle();
  EXPECT_EQ(TFindBar::CountText(finder), QStringLiteral("1 von 3"));

  finder.reset();
  view.document = Document({{"M]LLER", "100 100 10", "1", {"X"}, 1.0}});
  finder.refind();
  finder.waitForIdle();
  EXPECT_NE(finder.index(), index);
  EXPECT_EQ(shelf.get(view.document), finder.index());
  EXPECT_EQ(shelf.get(document), nullptr);
  finder.setShelf(nullptr);
}

}  // namespace
}  // namespace quandel::test
