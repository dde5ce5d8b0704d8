#include "row_selection.h"

#include <algorithm>

namespace quandel {

void TRowSelection::reset(int count) {
  ranges_.clear();
  count_ = std::max(count, 0);
  cursor_ = anchor_ = -1;
}

bool TRowSelection::contains(int row) const {
  const auto it = std::upper_bound(ranges_.begin(), ranges_.end(), row,
                                   [](int r, const TRange& range) { return r < range.first; });
  return it != ranges_.begin() && row < std::prev(it)->second;
}

long long TRowSelection::count() const {
  long long total = 0;
  for (const auto& [first, last] : ranges_) total += last - first;
  return total;
}

void TRowSelection::add(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, count_);
  if (first >= last) return;
  std::vector<TRange> merged;
  merged.reserve(ranges_.size() + 1);
  for (const TRange& range : ranges_) {
    if (range.second < first || range.first > last) {
      merged.push_back(range);
    } else {
      first = std::min(first, range.first);
      last = std::max(last, range.second);
    }
  }
  merged.emplace_back(first, last);
  std::sort(merged.begin(), merged.end());
  ranges_ = std::move(merged);
}

void TRowSelection::remove(int first, int last) {
  std::vector<TRange> kept;
  kept.reserve(ranges_.size() + 1);
  for (const TRange& range : ranges_) {
    if (range.first < first) kept.emplace_back(range.first, std::min(range.second, first));
    if (range.second > last) kept.emplace_back(std::max(range.first, last), range.second);
  }
  ranges_ = std::move(kept);
}

void TRowSelection::assign(std::vector<TRange> ranges, int cursor) {
  ranges_ = std::move(ranges);
  cursor_ = anchor_ = cursor >= 0 && cursor < count_ ? cursor : -1;
}

void TRowSelection::selectOnly(int row) {
  ranges_.clear();
  if (row < 0 || row >= count_) {
    cursor_ = anchor_ = -1;
    return;
  }
  add(row, row + 1);
  cursor_ = anchor_ = row;
}

void TRowSelection::moveTo(int row, bool extend) {
  if (count_ == 0) return;
  row = std::clamp(row, 0, count_ - 1);
  if (!extend || anchor_ < 0) return selectOnly(row);
  ranges_.clear();
  add(std::min(anchor_, row), std::max(anchor_, row) + 1);
  cursor_ = row;
}

void TRowSelection::click(int row, Qt::KeyboardModifiers modifiers) {
  if (row < 0 || row >= count_) return;
  const bool shift = modifiers.testFlag(Qt::ShiftModifier);
  const bool control = modifiers.testFlag(Qt::ControlModifier);
  if (shift && anchor_ >= 0) {
    // Strg+Umschalt adds the range to what is selected; Umschalt alone replaces it.
    if (!control) ranges_.clear();
    add(std::min(anchor_, row), std::max(anchor_, row) + 1);
    cursor_ = row;
  } else if (control) {
    if (contains(row))
      remove(row, row + 1);
    else
      add(row, row + 1);
    cursor_ = anchor_ = row;
  } else {
    selectOnly(row);
  }
}

void TRowSelection::selectAll() {
  ranges_.clear();
  add(0, count_);
  if (cursor_ < 0 && count_ > 0) cursor_ = anchor_ = 0;
}

std::vector<TRowSelection::TRange> TRowSelection::rowsToCopy() const {
  if (!ranges_.empty()) return ranges_;
  if (cursor_ >= 0) return {{cursor_, cursor_ + 1}};
  return {};
}

}  // namespace quandel
