#include "table_painter.h"

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
        painter_.drawText(QRect(text.left(), text.top(), text.width(), lineHeight), flags, buffer_);
        continue;
      }
      const int lines = rows.purposeLineCount(row);
      for (int line = 0; line < lines; ++line) {
        rows.purposeLine(row, line, buffer_);
        painter_.drawText(QRect(text.left(), text.top() + line * lineHeight, text.width(), lineHeight), flags,
                          buffer_);
      }
    }
    top += height;
  }
}

}  // namespace quandel
