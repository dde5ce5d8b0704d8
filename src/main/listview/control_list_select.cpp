// The list view's rows as the user works with them: selection, cursor, find marks and the
// links that Tab reaches.
#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

#include "control_list_view.h"
#include "hit_marks.h"
#include "mark_colors.h"
#include "page_metrics.h"

namespace quandel {

void TControlListView::resetRows() {
  selection_.reset(rowCount());
  marked_.reset();
  highlighted_ = -1;
  focusedLink_ = -1;
  emit rowsChanged();
}

QString TControlListView::columnTitle(int column) const {
  return column >= 0 && column < kColumnCount ? ColumnTitle(column) : QString();
}

QString TControlListView::cellText(int row, int column) const {
  if (!model_ || row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return {};
  return model_->cellText(row, column);
}

QRect TControlListView::cellRect(int row, int column) const {
  const QRect rowInPage = rowRect(row);
  if (rowInPage.isNull() || column < 0 || column >= kColumnCount) return {};
  const auto c = static_cast<std::size_t>(column);
  const int left = kPageMargin - horizontalScrollBar()->value() + edges_[c];
  const std::int64_t top = rowsTop() + geometry_->rowTop(row) - scrollTop();
  return QRect(left, static_cast<int>(std::clamp<std::int64_t>(top, -(1 << 24), 1 << 24)),
               edges_[c + 1] - edges_[c], rowInPage.height());
}

std::pair<int, int> TControlListView::cellAt(const QPoint& viewportPos) const {
  if (!geometry_ || rowCount() == 0 || headerColumnAt(viewportPos) >= 0) return {-1, -1};
  const std::int64_t y = viewportPos.y() + scrollTop() - rowsTop();
  if (y < 0 || y >= geometry_->rowsHeight()) return {-1, -1};
  const int x = viewportPos.x() + horizontalScrollBar()->value() - kPageMargin;
  if (x < edges_.front() || x >= edges_.back()) return {-1, -1};
  const auto column = std::upper_bound(edges_.begin(), edges_.end(), x) - edges_.begin() - 1;
  return {geometry_->rowAt(y), static_cast<int>(column)};
}

void TControlListView::clickRow(int row, Qt::KeyboardModifiers modifiers) {
  selection_.click(row, modifiers);
  ensureRowVisible(selection_.cursor());
  viewport()->update();
  emit selectionChanged();
}

void TControlListView::selectAll() {
  selection_.selectAll();
  viewport()->update();
  emit selectionChanged();
}

void TControlListView::setCurrentRow(int row) {
  selection_.selectOnly(row);
  ensureRowVisible(row);
  viewport()->update();
  emit selectionChanged();
}

void TControlListView::ensureRowVisible(int row) {
  if (!geometry_ || row < 0 || row >= rowCount()) return;
  const std::int64_t top = rowsTop() + geometry_->rowTop(row);
  const std::int64_t bottom = top + geometry_->rowHeight(row);
  QScrollBar* bar = verticalScrollBar();
  const std::int64_t height = viewport()->height();
  // The header stays over the rows' top; a row goes below it.
  const int header = geometry_->headerHeight();
  if (top < scrollTop() + header)
    bar->setValue(static_cast<int>(top - header));
  else if (bottom > scrollTop() + height)
    bar->setValue(static_cast<int>(std::min(top, bottom - height)));
}

void TControlListView::setMarkedRows(std::shared_ptr<const std::vector<int>> rows) {
  marked_ = std::move(rows);
  viewport()->update();
}

void TControlListView::setHitNeedle(std::shared_ptr<const ombra::TSearchNeedle> needle) {
  hitNeedle_ = needle && !needle->empty() ? std::move(needle) : nullptr;
  viewport()->update();
}

std::vector<std::pair<int, int>> TControlListView::hitRanges(int row, int column, QStringView line) const {
  if (!hitNeedle_ || !model_ || row < 0 || row >= rowCount() || column == kColNumber) return {};
  const std::optional<std::int64_t> cents =
      column == kColAmount ? ShownCents(model_->document().SatzCList[static_cast<std::size_t>(model_->fileRow(row))])
                           : std::nullopt;
  return HitRanges(*hitNeedle_, column, line, cents);
}

void TControlListView::setHighlightedRow(int row) {
  highlighted_ = row;
  if (row >= 0) {
    selection_.selectOnly(row);
    centerRow(row);
    emit selectionChanged();
  }
  viewport()->update();
}

void TControlListView::centerRow(int row) {
  if (!geometry_ || row < 0 || row >= rowCount()) return;
  const std::int64_t top = rowsTop() + geometry_->rowTop(row);
  const std::int64_t height = geometry_->rowHeight(row);
  // The header stays over the rows' top; what lies under it is not in sight.
  const int header = geometry_->headerHeight();
  if (top >= scrollTop() + header && top + height <= scrollTop() + viewport()->height()) return;
  const std::int64_t middle = header + (viewport()->height() - header - height) / 2;
  verticalScrollBar()->setValue(static_cast<int>(std::max<std::int64_t>(top - middle, 0)));
}

void TControlListView::selectRows(const std::vector<int>& rows, int cursor) {
  std::vector<TRowSelection::TRange> ranges;
  for (const int row : rows) {
    if (row < 0 || row >= rowCount()) continue;
    if (!ranges.empty() && ranges.back().second == row)
      ++ranges.back().second;
    else
      ranges.emplace_back(row, row + 1);
  }
  if (ranges.empty()) return;
  if (!std::binary_search(rows.begin(), rows.end(), cursor)) cursor = ranges.front().first;
  selection_.assign(std::move(ranges), cursor);
  viewport()->update();
  emit selectionChanged();
}

void TControlListView::paintRowStates(QPainter& painter, int first, int last, int left, std::int64_t top) {
  const QColor base = palette().color(QPalette::Base);
  const QColor markedColor = FindMarkColor(palette());
  const QColor hitColor = FindHitColor(palette());
  for (int row = first; row < last; ++row) {
    const bool isMarked = marked_ && std::binary_search(marked_->begin(), marked_->end(), row);
    const bool isSelected = selection_.contains(row);
    if (!isMarked && !isSelected && row != highlighted_ && row != selection_.cursor()) continue;
    const QRect box(left + edges_.front(), static_cast<int>(rowsTop() + geometry_->rowTop(row) - top),
                    edges_.back() - edges_.front(), geometry_->rowHeight(row));
    const QColor below = row == highlighted_ ? hitColor : isMarked ? markedColor : base;
    if (isSelected)
      painter.fillRect(box, SelectionColor(palette(), below, hasFocus()));
    else if (below != base)
      painter.fillRect(box, below);
    if (row == selection_.cursor() && hasFocus()) {
      painter.save();
      painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
      painter.drawRect(box.adjusted(1, 1, -2, -2));
      // The cell cursor: the cell "Zelle kopieren" takes from the keyboard.
      const auto c = static_cast<std::size_t>(currentColumn_);
      painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
      painter.drawRect(
          QRect(left + edges_[c], box.top(), edges_[c + 1] - edges_[c], box.height()).adjusted(2, 2, -2, -2));
      painter.restore();
    }
  }
}

// Keys of a list box; false for keys the view leaves to scrolling.
bool TControlListView::selectionKey(QKeyEvent* event) {
  if (rowCount() == 0) return false;
  const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
  const int cursor = selection_.cursor();
  const auto [firstVisible, lastVisible] = visibleRows();
  const int pageRows = std::max(1, lastVisible - firstVisible - 1);
  int row = 0;
  switch (event->key()) {
    case Qt::Key_Down: row = cursor < 0 ? firstVisible : cursor + 1; break;
    case Qt::Key_Up: row = cursor < 0 ? firstVisible : cursor - 1; break;
    case Qt::Key_PageDown: row = (cursor < 0 ? firstVisible : cursor) + pageRows; break;
    case Qt::Key_PageUp: row = (cursor < 0 ? firstVisible : cursor) - pageRows; break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      if (event->modifiers() != Qt::NoModifier) return false;
      const int step = event->key() == Qt::Key_Left ? -1 : 1;
      currentColumn_ = std::clamp(currentColumn_ + step, 0, kColumnCount - 1);
      // The cell comes into sight sideways; the rows stay where they are.
      const QRect cell = cellRect(std::max(cursor, 0), currentColumn_);
      QScrollBar* bar = horizontalScrollBar();
      if (cell.left() < 0)
        bar->setValue(bar->value() + cell.left() - kPageMargin);
      else if (cell.right() >= viewport()->width())
        bar->setValue(bar->value() + cell.right() - viewport()->width() + 1 + kPageMargin);
      viewport()->update();
      return true;
    }
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = rowCount() - 1; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      const std::vector<TLink> all = links();
      if (focusedLink_ < 0 || focusedLink_ >= static_cast<int>(all.size())) return false;
      emit linkActivated(QUrl(all[static_cast<std::size_t>(focusedLink_)].href));
      return true;
    }
    default: return false;
  }
  focusedLink_ = -1;
  selection_.moveTo(row, extend);
  // Home and End show the summary above and the check sums below the rows as well.
  if (event->key() == Qt::Key_Home)
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
  else if (event->key() == Qt::Key_End)
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  else
    ensureRowVisible(selection_.cursor());
  viewport()->update();
  emit selectionChanged();
  return true;
}

std::vector<TControlListView::TLink> TControlListView::links() const {
  std::vector<TLink> found;
  const auto collect = [&found](const QTextDocument* document, bool inTail) {
    if (document == nullptr) return;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (!format.isAnchor() || format.anchorHref().isEmpty()) continue;
        if (!found.empty() && found.back().inTail == inTail && found.back().href == format.anchorHref() &&
            found.back().position + found.back().length == fragment.position()) {
          found.back().length += fragment.length();
          continue;
        }
        found.push_back({inTail, fragment.position(), fragment.length(), format.anchorHref()});
      }
    }
  };
  collect(head_.get(), false);
  collect(tail_.get(), true);
  return found;
}

QRect TControlListView::linkRect(const TLink& link) const {
  const QTextDocument* document = link.inTail ? tail_.get() : head_.get();
  const QTextBlock block = document->findBlock(link.position);
  const QTextLayout* layout = block.layout();
  if (layout == nullptr) return {};
  const int start = link.position - block.position();
  const QTextLine line = layout->lineForTextPosition(start);
  if (!line.isValid()) return {};
  const QRectF blockRect = document->documentLayout()->blockBoundingRect(block);
  const qreal x1 = line.cursorToX(start);
  const qreal x2 = line.cursorToX(std::min(start + link.length, line.textStart() + line.textLength()));
  const std::int64_t origin = link.inTail ? tailTop_ : kPageMargin;
  const QRectF inDocument(blockRect.left() + x1, blockRect.top() + line.y(), x2 - x1, line.height());
  return inDocument.toAlignedRect().translated(kPageMargin - horizontalScrollBar()->value(),
                                               static_cast<int>(origin - scrollTop()));
}

QPoint TControlListView::contextMenuPoint() const {
  const QRect cell = cellRect(selection_.cursor(), currentColumn_);
  if (cell.isNull() || !viewport()->rect().intersects(cell)) return QPoint(kPageMargin, kPageMargin);
  return cell.center();
}

// Tab walks the links of the summary and the footer that are in sight before it leaves the
// view; it never scrolls the list away from the rows the user is at.
bool TControlListView::focusNextPrevChild(bool next) {
  const std::vector<TLink> all = links();
  const int count = static_cast<int>(all.size());
  const auto inSight = [&](int link) {
    const QRect rect = linkRect(all[static_cast<std::size_t>(link)]);
    return !rect.isNull() && rect.top() >= 0 && rect.bottom() < viewport()->height();
  };
  const int step = next ? 1 : -1;
  int target = focusedLink_ < 0 ? (next ? 0 : count - 1) : focusedLink_ + step;
  while (target >= 0 && target < count && !inSight(target)) target += step;
  if (target >= 0 && target < count) {
    focusedLink_ = target;
    viewport()->update();
    return true;
  }
  focusedLink_ = -1;
  viewport()->update();
  return QAbstractScrollArea::focusNextPrevChild(next);
}

void TControlListView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

}  // namespace quandel
