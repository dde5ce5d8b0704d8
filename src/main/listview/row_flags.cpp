// The marks of the check in the number cells of the rows it found something in.
#include <QPainter>

#include <algorithm>

#include "control_list_view.h"
#include "mark_colors.h"

namespace quandel {
namespace {

constexpr int kEdgeWidth = 3;

bool BeforeRow(const TRowFlag& flag, int row) { return flag.Row < row; }

}  // namespace

void TControlListView::setFlaggedRows(std::shared_ptr<const std::vector<TRowFlag>> fileRows) {
  flagged_ = std::move(fileRows);
  flaggedShown_.reset();
  viewport()->update();
  emit flagsChanged();
}

const TRowFlag* TControlListView::flagAt(int row) const {
  if (!flagged_ || !model_ || row < 0 || row >= rowCount()) return nullptr;
  const int fileRow = model_->fileRow(row);
  const auto it = std::lower_bound(flagged_->begin(), flagged_->end(), fileRow, BeforeRow);
  return it != flagged_->end() && it->Row == fileRow ? &*it : nullptr;
}

namespace {

// The next of `rows` (ascending) after `row`, or before it when `backwards`, round the end.
template <typename TRows, typename TRowOf>
int NextRow(const TRows& rows, int row, bool backwards, TRowOf rowOf) {
  if (rows.empty()) return -1;
  const auto before = [&](const auto& entry, int at) { return rowOf(entry) < at; };
  if (backwards) {
    const auto it = std::lower_bound(rows.begin(), rows.end(), row, before);
    return rowOf(it == rows.begin() ? rows.back() : *std::prev(it));
  }
  const auto it = std::lower_bound(rows.begin(), rows.end(), row + 1, before);
  return rowOf(it == rows.end() ? rows.front() : *it);
}

}  // namespace

int TControlListView::nextFlaggedRow(int row, bool backwards) const {
  if (!flagged_ || !model_) return -1;
  if (model_->inFileOrder())
    return NextRow(*flagged_, row, backwards, [](const TRowFlag& f) { return f.Row; });
  // Sorted or filtered: the marked payments where the list shows them, in that order.
  if (!flaggedShown_) {
    std::vector<int> shown;
    for (const TRowFlag& flag : *flagged_)
      if (const int at = rowOfPayment(flag.Row); at >= 0) shown.push_back(at);
    std::sort(shown.begin(), shown.end());
    flaggedShown_ = std::move(shown);
  }
  return NextRow(*flaggedShown_, row, backwards, [](int at) { return at; });
}

void TControlListView::paintFlags(QPainter& painter, int first, int last) {
  if (!flagged_ || flagged_->empty()) return;
  for (int row = first; row < last; ++row) {
    const TRowFlag* flag = flagAt(row);
    if (flag == nullptr) continue;
    // Inside the cell's borders, so the table's lines stay as they are.
    const QRect cell = cellRect(row, kColNumber).adjusted(1, 1, 0, 0);
    painter.fillRect(cell, FlagTint(palette(), flag->Severe));
    painter.fillRect(QRect(cell.left(), cell.top(), kEdgeWidth, cell.height()), FlagEdge(flag->Severe));
  }
}

}  // namespace quandel
