// The list view's rows sorted and filtered: the shown model swapped under the same column
// widths, the header that stays in sight and says the order, and the summary strip.
#include <QLabel>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <utility>

#include "control_list_view.h"
#include "page_metrics.h"
#include "summary_text.h"
#include "table_painter.h"

namespace quandel {
void TControlListView::showArranged(std::shared_ptr<TPaymentModel> shown) {
  if (!fileModel_ || !shown || &shown->document() != &fileModel_->document() || shown == model_) return;
  // The selection and cursor go by payment, so they survive the new order.
  std::vector<char> selectedPayments(static_cast<std::size_t>(fileModel_->fileRows()), 0);
  for (const auto& [first, last] : selection_.ranges())
    for (int row = first; row < last; ++row)
      selectedPayments[static_cast<std::size_t>(model_->fileRow(row))] = 1;
  const int cursorPayment = selection_.cursor() >= 0 ? model_->fileRow(selection_.cursor()) : -1;

  emit rowsAboutToChange();
  // The geometry still looks at the rows it measured until it is rearranged.
  const std::shared_ptr<TPaymentModel> previous = std::exchange(model_, std::move(shown));
  rowOfPayment_.clear();
  flaggedShown_.reset();
  marked_.reset();
  highlighted_ = -1;
  focusedLink_ = -1;
  geometry_->rearrange(model_.get());
  relayout();
  measureVisible();
  if (!geometry_->complete()) measureTimer_.start();

  std::vector<TRowSelection::TRange> ranges;
  int cursor = -1;
  for (int row = 0; row < model_->rows(); ++row) {
    const int payment = model_->fileRow(row);
    if (payment == cursorPayment) cursor = row;
    if (selectedPayments[static_cast<std::size_t>(payment)] == 0) continue;
    if (!ranges.empty() && ranges.back().second == row)
      ++ranges.back().second;
    else
      ranges.emplace_back(row, row + 1);
  }
  selection_.reset(rowCount());
  selection_.assign(std::move(ranges), cursor);
  emit rowsChanged();
  emit selectionChanged();
  if (cursor >= 0)
    ensureRowVisible(cursor);
  else
    verticalScrollBar()->setValue(std::min(verticalScrollBar()->value(), static_cast<int>(tableTop_)));
  viewport()->update();
}

int TControlListView::rowOfPayment(int fileRow) const {
  if (!model_ || fileRow < 0 || fileRow >= model_->fileRows()) return -1;
  if (model_->inFileOrder()) return fileRow < rowCount() ? fileRow : -1;
  if (rowOfPayment_.empty()) {
    rowOfPayment_.assign(static_cast<std::size_t>(model_->fileRows()), -1);
    for (int row = 0; row < model_->rows(); ++row)
      rowOfPayment_[static_cast<std::size_t>(model_->fileRow(row))] = row;
  }
  return rowOfPayment_[static_cast<std::size_t>(fileRow)];
}

bool TControlListView::setCurrentPayment(int fileRow) {
  const int row = rowOfPayment(fileRow);
  if (row < 0) return false;
  setCurrentRow(row);
  return true;
}

void TControlListView::setSortOrder(TSortOrder order) {
  sortOrder_ = order;
  viewport()->update();
}

std::optional<int> TControlListView::headerTopInView() const {
  if (!geometry_) return std::nullopt;
  const std::int64_t top = scrollTop();
  const std::int64_t natural = tableTop_ + TTableGeometry::kBorder;
  const int height = geometry_->headerHeight();
  // Below the table's end the header goes with it.
  const std::int64_t lowest = tailTop_ - TTableGeometry::kBorder - height;
  const std::int64_t at = std::clamp(top, natural, std::max(natural, lowest));
  if (at + height <= top || at >= top + viewport()->height()) return std::nullopt;
  return static_cast<int>(at - top);
}

int TControlListView::headerColumnAt(const QPoint& viewportPos) const {
  const std::optional<int> top = headerTopInView();
  if (!top || viewportPos.y() < *top || viewportPos.y() >= *top + geometry_->headerHeight()) return -1;
  const int x = viewportPos.x() + horizontalScrollBar()->value() - kPageMargin;
  if (x < edges_.front() || x >= edges_.back()) return -1;
  return static_cast<int>(std::upper_bound(edges_.begin(), edges_.end(), x) - edges_.begin() - 1);
}

void TControlListView::paintHeader(QPainter& painter, int left) {
  const std::optional<int> top = headerTopInView();
  if (!top) return;
  const int height = geometry_->headerHeight();
  // Rows scrolled under the header do not shine through it.
  painter.fillRect(QRect(left + edges_.front(), *top, edges_.back() - edges_.front(), height),
                   palette().color(QPalette::Base));
  TTablePainter table(painter, *geometry_, edges_, left, palette().color(QPalette::Text));
  table.headerRow(*top);
  if (!sortOrder_.active()) return;
  // A triangle at the right of the sorted column's title: up for ascending, down for descending.
  const auto c = static_cast<std::size_t>(sortOrder_.column);
  const int size = std::max(4, geometry_->lineHeight() / 3);
  const int right = left + edges_[c + 1] - TTableGeometry::kCellFrame;
  const int middle = *top + height / 2;
  QPolygon triangle;
  if (sortOrder_.descending)
    triangle << QPoint(right - 2 * size, middle - size / 2) << QPoint(right, middle - size / 2)
             << QPoint(right - size, middle + size / 2);
  else
    triangle << QPoint(right - 2 * size, middle + size / 2) << QPoint(right, middle + size / 2)
             << QPoint(right - size, middle - size / 2);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette().color(QPalette::Text));
  painter.drawPolygon(triangle);
  painter.restore();
}

void TControlListView::updateSummary() {
  if (!model_) {
    summary_->clear();
    return;
  }
  summary_->setText(SummaryText(*model_, selection_.ranges()));
}

void TControlListView::placeSummary() {
  const QRect port = viewport()->geometry();
  summary_->setGeometry(port.left(), port.bottom() + 1, port.width(), summary_->sizeHint().height());
}

}  // namespace quandel
