#pragma once
// The selected rows of the list as ranges, so that selecting a million rows costs nothing,
// and the cursor row the keyboard moves, with the anchor that Umschalt extends from.
#include <Qt>

#include <utility>
#include <vector>

namespace quandel {

class TRowSelection {
 public:
  using TRange = std::pair<int, int>;  // [first, last)

  // Forgets everything; the rows are 0 .. count-1.
  void reset(int count);
  int rowCount() const { return count_; }

  // A click, with Umschalt and Strg as a list box takes them.
  void click(int row, Qt::KeyboardModifiers modifiers);
  // The cursor goes to `row`; with `extend` the selection reaches from the anchor to it.
  void moveTo(int row, bool extend);
  void selectAll();
  // `ranges` (ascending, disjoint, within the rows) selected, the cursor and anchor on `cursor`.
  void assign(std::vector<TRange> ranges, int cursor);
  // Only `row`, also as cursor and anchor; -1 selects nothing.
  void selectOnly(int row);

  int cursor() const { return cursor_; }
  bool isEmpty() const { return ranges_.empty(); }
  bool contains(int row) const;
  long long count() const;
  // Ascending and disjoint.
  const std::vector<TRange>& ranges() const { return ranges_; }
  // The selected rows, or the cursor row when none is selected; empty without either.
  std::vector<TRange> rowsToCopy() const;

 private:
  void add(int first, int last);
  void remove(int first, int last);

  std::vector<TRange> ranges_;
  int count_ = 0;
  int cursor_ = -1;
  int anchor_ = -1;
};

}  // namespace quandel
