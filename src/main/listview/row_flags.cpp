// The warning marks in the number cells of rows whose account fails.
#include <QPainter>

#include <algorithm>

#include "control_list_view.h"

namespace quandel {
namespace {

const QColor kFlagTint(218, 68, 83, 70);
const QColor kFlagEdge(218, 68, 83);
constexpr int kEdgeWidth = 3;

}  // namespace

void TControlListView::setFlaggedRows(std::shared_ptr<const std::vector<int>> rows) {
  flagged_ = std::move(rows);
  viewport()->update();
}

bool TControlListView::isFlagged(int row) const {
  return flagged_ && std::binary_search(flagged_->begin(), flagged_->end(), row);
}

void TControlListView::paintFlags(QPainter& painter, int first, int last) {
  if (!flagged_ || flagged_->empty()) return;
  auto it = std::lower_bound(flagged_->begin(), flagged_->end(), first);
  for (; it != flagged_->end() && *it < last; ++it) {
    // Inside the cell's borders, so the table's lines stay as they are.
    const QRect cell = cellRect(*it, kColNumber).adjusted(1, 1, 0, 0);
    painter.fillRect(cell, kFlagTint);
    painter.fillRect(QRect(cell.left(), cell.top(), kEdgeWidth, cell.height()), kFlagEdge);
  }
}

}  // namespace quandel
