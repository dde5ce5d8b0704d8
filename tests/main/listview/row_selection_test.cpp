// Selecting rows with the mouse and the keyboard, as a list box does.
#include <gtest/gtest.h>

#include <vector>

#include "row_selection.h"

namespace quandel {
namespace {

using Ranges = std::vector<TRowSelection::TRange>;

struct Act {
  enum Kind { Click, Move, All, Only } kind;
  int row = 0;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

struct Case {
  const char* name;
  std::vector<Act> acts;
  Ranges selected;
  int cursor;
};

TEST(RowSelectionTest, MouseAndKeysSelectAsInAListBox) {
  const auto shift = Qt::KeyboardModifiers(Qt::ShiftModifier);
  const auto ctrl = Qt::KeyboardModifiers(Qt::ControlModifier);
  const std::vector<Case> cases{
      {"click", {{Act::Click, 3}}, {{3, 4}}, 3},
      {"click beyond the rows", {{Act::Click, 3}, {Act::Click, 10}}, {{3, 4}}, 3},
      {"Umschalt+click both ways", {{Act::Click, 5}, {Act::Click, 2, shift}}, {{2, 6}}, 2},
      {"Umschalt+click replaces",
       {{Act::Click, 5}, {Act::Click, 7, shift}, {Act::Click, 6, shift}},
       {{5, 7}},
       6},
      {"Strg+click adds and takes away",
       {{Act::Click, 1}, {Act::Click, 4, ctrl}, {Act::Click, 6, ctrl}, {Act::Click, 4, ctrl}},
       {{1, 2}, {6, 7}},
       4},
      {"Strg+click joins neighbours",
       {{Act::Click, 1}, {Act::Click, 3, ctrl}, {Act::Click, 2, ctrl}},
       {{1, 4}},
       2},
      {"Strg+Umschalt+click adds a range",
       {{Act::Click, 0}, {Act::Click, 5, ctrl}, {Act::Click, 7, shift | ctrl}},
       {{0, 1}, {5, 8}},
       7},
      {"arrow keys", {{Act::Click, 2}, {Act::Move, 3}}, {{3, 4}}, 3},
      {"Umschalt+arrows",
       {{Act::Click, 4}, {Act::Move, 5, shift}, {Act::Move, 6, shift}, {Act::Move, 3, shift}},
       {{3, 5}},
       3},
      {"page down stops at the end", {{Act::Click, 8}, {Act::Move, 8 + 20, shift}}, {{8, 10}}, 9},
      {"page up stops at the start", {{Act::Move, -20}}, {{0, 1}}, 0},
      {"Strg+A keeps the cursor", {{Act::Click, 6}, {Act::All}}, {{0, 10}}, 6},
      {"a find's hit alone", {{Act::All}, {Act::Only, 7}}, {{7, 8}}, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRowSelection selection;
    selection.reset(10);
    for (const Act& act : c.acts) {
      switch (act.kind) {
        case Act::Click: selection.click(act.row, act.modifiers); break;
        case Act::Move: selection.moveTo(act.row, act.modifiers.testFlag(Qt::ShiftModifier)); break;
        case Act::All: selection.selectAll(); break;
        case Act::Only: selection.selectOnly(act.row); break;
      }
    }
    EXPECT_EQ(selection.ranges(), c.selected);
    EXPECT_EQ(selection.cursor(), c.cursor);
    long long count = 0;
    for (int row = 0; row < 10; ++row) count += selection.contains(row);
    EXPECT_EQ(selection.count(), count);
  }
}

TEST(RowSelectionTest, NothingSelectedCopiesTheCursorRow) {
  TRowSelection selection;
  selection.reset(5);
  EXPECT_TRUE(selection.rowsToCopy().empty());
  selection.click(2, Qt::NoModifier);
  selection.click(2, Qt::ControlModifier);
  EXPECT_TRUE(selection.isEmpty());
  EXPECT_EQ(selection.rowsToCopy(), (Ranges{{2, 3}}));
  selection.reset(5);
  EXPECT_EQ(selection.cursor(), -1);
}

}  // namespace
}  // namespace quandel
