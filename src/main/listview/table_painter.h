#pragma once
// Paints the payment table as a browser shows a table with border=1: a raised frame around
// the table, a sunken frame around each cell. Screen and printer share it.
#include <QColor>
#include <QRect>
#include <QStringView>

#include <functional>
#include <utility>
#include <vector>

#include "table_geometry.h"

class QPainter;

namespace quandel {

class TTablePainter {
 public:
  TTablePainter(QPainter& painter, const TTableGeometry& geometry, const TColumnEdges& edges, int tableLeft,
                QColor text);

  // The frame of the part of the table between `top` and `bottom`; its top and bottom
  // edges are drawn only where the table really begins or ends.
  void frame(int top, int bottom, bool drawTop, bool drawBottom);
  void headerRow(int top);
  // Rows [first, last), the first of them starting at `top`.
  void rows(const TPaymentModel& rows, int first, int last, int top);

  // Parts of a shown line of a cell to mark, as [first, last) of its characters, in order
  // and apart; what a find matched.
  using TMarks = std::function<std::vector<std::pair<int, int>>(int row, int column, QStringView line)>;
  // rows() marks what `marks` says: `text` on `background`.
  void setMarks(TMarks marks, QColor background, QColor text);

 private:
  void cellBox(const QRect& box);
  QRect cellText(int column, int top, int height) const;
  // The line in buffer_, and what of it is marked.
  void line(int row, int column, const QRect& box, int flags);

  QPainter& painter_;
  const TTableGeometry& geometry_;
  const TColumnEdges& edges_;
  int left_;
  QColor text_;
  QString buffer_;
  TMarks marks_;
  QColor markBackground_;
  QColor markText_;
};

}  // namespace quandel
