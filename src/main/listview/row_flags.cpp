// The marks of the check in the number cells of the rows it found something in.
#include <QPainter>

#include <algorithm>

#include "control_list_view.h"

namespace quandel {
namespace {

const QColor kSevereEdge(218, 68, 83);
const QColor kAccountEdge(246, 116, 0);
constexpr int kTintAlpha = 70;
constexpr int kEdgeWidth = 3;

bool BeforeRow(const TRowFlag& flag, int row) { return flag.Row < row; }

}  // namespace

void TControlListView::setFlaggedRows(std::shared_ptr<const std::vector<TRowFlag>> rows) {
  flagged_ = std::move(rows);
  viewport()->update();
}

const TRowFlag* TControlListView::flagAt(int row) const {
  if (!flagged_) return nullptr;
  const auto it = std::lower_bound(flagged_->begin(), flagged_->end(), row, BeforeRow);
  return it != flagged_->end() && it->Row == row ? &*it : nullptr;
}

int TControlListView::nextFlaggedRow(int row, bool backwards) const {
  if (!flagged_ || flagged_->empty()) return -1;
  if (backwards) {
    const auto it = std::lower_bound(flagged_->begin(), flagged_->end(), row, BeforeRow);
    return it == flagged_->begin() ? flagged_->back().Row : std::prev(it)->Row;
  }
  const auto it = std::lower_bound(flagged_->begin(), flagged_->end(), row + 1, BeforeRow);
  return it == flagged_->end() ? flagged_->front().Row : it->Row;
}

void TControlListView::paintFlags(QPainter& painter, int first, int last) {
  if (!flagged_ || flagged_->empty()) return;
  auto it = std::lower_bound(flagged_->begin(), flagged_->end(), first, BeforeRow);
  for (; it != flagged_->end() && it->Row < last; ++it) {
    // Inside the cell's borders, so the table's lines stay as they are.
    const QRect cell = cellRect(it->Row, kColNumber).adjusted(1, 1, 0, 0);
    const QColor edge = it->Severe ? kSevereEdge : kAccountEdge;
    QColor tint = edge;
    tint.setAlpha(kTintAlpha);
    painter.fillRect(cell, tint);
    painter.fillRect(QRect(cell.left(), cell.top(), kEdgeWidth, cell.height()), edge);
  }
}

}  // namespace quandel
