#include "list_printer.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QtMath>

#include <algorithm>
#include <limits>
#include <memory>

#include "fragment.h"
#include "page_metrics.h"
#include "print_sheets.h"
#include "table_painter.h"

namespace quandel {
namespace {

// Browsers print a CSS pixel as 1/96 inch; the view's pixels are taken as CSS pixels.
constexpr int kPixelsPerInch = 96;

// The page laid out for the paper: the view's layout, at least as wide as the paper.
struct TPaperLayout {
  TPaperLayout(const TPaymentModel& page, const QFont& font, int paperWidth)
      : geometry(font, HeaderFont(font)) {
    geometry.setRows(&page);
    geometry.measureNext(std::numeric_limits<int>::max());
    width = std::max(paperWidth, geometry.naturalWidth());
    head = MakeFragment(page.headHtml(), font, width);
    tail = MakeFragment(page.tailHtml(), font, width);
    headHeight = qCeil(head->size().height());
    tailHeight = qCeil(tail->size().height());
  }

  TTableGeometry geometry;
  int width = 0;
  std::unique_ptr<QTextDocument> head;
  std::unique_ptr<QTextDocument> tail;
  int headHeight = 0;
  int tailHeight = 0;
};

std::vector<TPrintedPage> Paginate(const TPaperLayout& paper, int pageHeight) {
  const TTableGeometry& g = paper.geometry;
  constexpr int border = TTableGeometry::kBorder;
  const int rowCount = g.rowCount();
  std::vector<TPrintedPage> pages(1);
  pages[0].head = true;
  int y = paper.headHeight + TableGap(g);
  const int tableStart = 2 * border + g.headerHeight() + (rowCount > 0 ? g.rowHeight(0) : 0);
  if (y + tableStart > pageHeight) {
    pages.emplace_back();
    y = 0;
  }
  int row = 0;
  for (;;) {
    TPrintedPage& page = pages.back();
    page.table = true;
    page.firstRow = row;
    y += border + g.headerHeight();
    // A page takes at least one row, however tall, so the printing always gets on.
    while (row < rowCount && (row == page.firstRow || y + g.rowHeight(row) + border <= pageHeight)) {
      y += g.rowHeight(row);
      ++row;
    }
    page.lastRow = row;
    y += border;
    if (row == rowCount) {
      page.tableEnds = true;
      break;
    }
    pages.emplace_back();
    y = 0;
  }
  if (y + paper.tailHeight > pageHeight) pages.emplace_back();
  pages.back().tail = true;
  return pages;
}

void DrawFragment(QPainter& painter, QTextDocument& document, int top, int width, int height) {
  painter.save();
  painter.translate(0, top);
  QAbstractTextDocumentLayout::PaintContext context;
  context.palette.setColor(QPalette::Text, Qt::black);
  context.clip = QRectF(0, 0, width, height);
  document.documentLayout()->draw(&painter, context);
  painter.restore();
}

void DrawPage(QPainter& painter, const TPaymentModel& source, TPaperLayout& paper, const TPrintedPage& page,
              int number, int count, int pageHeight) {
  const TTableGeometry& g = paper.geometry;
  const TColumnEdges edges = g.columnEdges(paper.width);
  int y = 0;
  if (page.head) {
    DrawFragment(painter, *paper.head, 0, paper.width, paper.headHeight);
    y = paper.headHeight + TableGap(g);
  }
  if (page.table) {
    TTablePainter table(painter, g, edges, 0, Qt::black);
    const int top = y;
    table.headerRow(top + TTableGeometry::kBorder);
    const int rowsTop = top + TTableGeometry::kBorder + g.headerHeight();
    table.rows(source, page.firstRow, page.lastRow, rowsTop);
    const auto rowsHeight = static_cast<int>(g.rowTop(page.lastRow) - g.rowTop(page.firstRow));
    y = rowsTop + rowsHeight + TTableGeometry::kBorder;
    table.frame(top, y, true, true);
  }
  if (page.tail) DrawFragment(painter, *paper.tail, y, paper.width, paper.tailHeight);
  painter.setFont(g.font());
  painter.setPen(Qt::black);
  const int footerTop = pageHeight + g.lineHeight();
  painter.drawText(QRect(0, footerTop, paper.width, g.lineHeight()), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("Seite %1 von %2").arg(number).arg(count));
}

}  // namespace

std::vector<TPrintedPage> PaginateControlList(const TPaymentModel& page, const QFont& font, int pageWidth,
                                              int pageHeight) {
  const TPaperLayout paper(page, font, pageWidth);
  return Paginate(paper, pageHeight);
}

TListPrintResult PrintControlList(const TPaymentModel& source, const QFont& font, QPrinter& printer) {
  const int resolution = std::max(1, printer.resolution());
  const int paperWidth = printer.width() * kPixelsPerInch / resolution;
  TPaperLayout paper(source, font, paperWidth);
  const qreal scale = static_cast<qreal>(printer.width()) / paper.width;
  // The foot of each page keeps two lines for the page number.
  const int pageHeight = static_cast<int>(printer.height() / scale) - 2 * paper.geometry.lineHeight();
  const std::vector<TPrintedPage> pages = Paginate(paper, pageHeight);
  const int count = static_cast<int>(pages.size());
  if (!PrintsAnyPage(printer, count)) return TListPrintResult::Failed;

  QPainter painter;
  if (!painter.begin(&printer)) return TListPrintResult::Failed;
  const TSheetsOutcome outcome = PrintSheets(printer, painter, count, [&](int number) {
    painter.save();
    painter.scale(scale, scale);
    DrawPage(painter, source, paper, pages[static_cast<std::size_t>(number - 1)], number, count, pageHeight);
    painter.restore();
  });
  switch (outcome) {
    case TSheetsOutcome::Printed: return TListPrintResult::Printed;
    case TSheetsOutcome::Cancelled: return TListPrintResult::Cancelled;
    case TSheetsOutcome::Failed: break;
  }
  return TListPrintResult::Failed;
}

}  // namespace quandel
