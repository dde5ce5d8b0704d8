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

void TControlListView::setFlaggedRows(std::shared_ptr<const std::vector<int>> fileRows) {
  flagged_ = std::move(fileRows);
  viewport()->update();
  emit flagsChanged();
}

bool TControlListView::isFlagged(int row) const {
  if (!flagged_ || !model_ || row < 0 || row >= rowCount()) return false;
  return std::binary_search(flagged_->begin(), flagged_->end(), model_->fileRow(row));
}

void TControlListView::paintFlags(QPainter& painter, int first, int last) {
  if (!flagged_ || flagged_->empty()) return;
  for (int row = first; row < last; ++row) {
    if (!isFlagged(row)) continue;
    // Inside the cell's borders, so the table's lines stay as they are.
    const QRect cell = cellRect(row, kColNumber).adjusted(1, 1, 0, 0);
    painter.fillRect(cell, kFlagTint);
    painter.fillRect(QRect(cell.left(), cell.top(), kEdgeWidth, cell.height()), kFlagEdge);
  }
}

}  // namespace quandel
