#include "table_painter.h"

#include <QFontMetrics>
#include <QPainter>

namespace quandel {
namespace {

const QColor kLight(0xc0, 0xc0, 0xc0);
const QColor kDark(0x80, 0x80, 0x80);

}  // namespace

TTablePainter::TTablePainter(QPainter& painter, const TTableGeometry& geometry, const TColumnEdges& edges,
                             int tableLeft, QColor text)
    : painter_(painter), geometry_(geometry), edges_(edges), left_(tableLeft), text_(text) {}

void TTablePainter::frame(int top, int bottom, bool drawTop, bool drawBottom) {
  const int width = edges_.back() + TTableGeometry::kBorder;
  const int border = TTableGeometry::kBorder;
  painter_.fillRect(left_, top, border, bottom - top, kLight);
  painter_.fillRect(left_ + width - border, top, border, bottom - top, kDark);
  if (drawTop) painter_.fillRect(left_, top, width, border, kLight);
  if (drawBottom) painter_.fillRect(left_ + border, bottom - border, width - border, border, kDark);
}

void TTablePainter::cellBox(const QRect& box) {
  painter_.fillRect(box.left(), box.top(), box.width(), 1, kDark);
  painter_.fillRect(box.left(), box.top(), 1, box.height(), kDark);
  painter_.fillRect(box.left() + 1, box.bottom(), box.width() - 1, 1, kLight);
  painter_.fillRect(box.right(), box.top() + 1, 1, box.height() - 1, kLight);
}

QRect TTablePainter::cellText(int column, int top, int height) const {
  const int inset = TTableGeometry::kBorder + TTableGeometry::kPadding;
  const auto c = static_cast<std::size_t>(column);
  return QRect(left_ + edges_[c] + inset, top + inset, edges_[c + 1] - edges_[c] - 2 * inset,
               height - 2 * inset);
}

void TTablePainter::headerRow(int top) {
  const int height = geometry_.headerHeight();
  painter_.setFont(geometry_.headerFont());
  painter_.setPen(text_);
  for (int c = 0; c < kColumnCount; ++c) {
    const auto i = static_cast<std::size_t>(c);
    cellBox(QRect(left_ + edges_[i], top, edges_[i + 1] - edges_[i], height));
    painter_.drawText(cellText(c, top, height), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                      ColumnTitle(c));
  }
}

void TTablePainter::rows(const TPaymentModel& rows, int first, int last, int top) {
  painter_.setFont(geometry_.font());
  painter_.setPen(text_);
  const int lineHeight = geometry_.lineHeight();
  for (int row = first; row < last; ++row) {
    const int height = geometry_.rowHeight(row);
    for (int c = 0; c < kColumnCount; ++c) {
      const auto i = static_cast<std::size_t>(c);
      cellBox(QRect(left_ + edges_[i], top, edges_[i + 1] - edges_[i], height));
      const QRect text = cellText(c, top, height);
      const auto flags = static_cast<int>(TPaymentModel::Alignment(c) | Qt::AlignTop | Qt::TextSingleLine);
      if (c != kColPurpose) {
        rows.cellText(row, c, buffer_);
        line(row, c, QRect(text.left(), text.top(), text.width(), lineHeight), flags);
        continue;
      }
      const int lines = rows.purposeLineCount(row);
      for (int at = 0; at < lines; ++at) {
        rows.purposeLine(row, at, buffer_);
        line(row, c, QRect(text.left(), text.top() + at * lineHeight, text.width(), lineHeight), flags);
      }
    }
    top += height;
  }
}

void TTablePainter::setMarks(TMarks marks, QColor background, QColor text) {
  marks_ = std::move(marks);
  markBackground_ = background;
  markText_ = text;
}

void TTablePainter::line(int row, int column, const QRect& box, int flags) {
  const QString& text = buffer_;
  painter_.drawText(box, flags, text);
  if (!marks_ || text.isEmpty()) return;
  const std::vector<std::pair<int, int>> marks = marks_(row, column, text);
  if (marks.empty()) return;
  // Where the line's text begins, as drawText placed it.
  const QFontMetrics metrics = painter_.fontMetrics();
  const int start =
      (flags & Qt::AlignRight) != 0 ? box.left() + box.width() - metrics.horizontalAdvance(text) : box.left();
  painter_.save();
  painter_.setPen(markText_);
  for (const auto& [first, last] : marks) {
    const QString part = text.mid(first, last - first);
    const int x = start + metrics.horizontalAdvance(text.left(first));
    const int width = metrics.horizontalAdvance(part);
    painter_.fillRect(QRect(x, box.top(), width, box.height()), markBackground_);
    painter_.drawText(QRect(x, box.top(), width + 1, box.height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      part);
  }
  painter_.restore();
}

}  // namespace quandel
