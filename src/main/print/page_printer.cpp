#include "page_printer.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <memory>
#include <utility>

#include "print_sheets.h"

namespace quandel {
namespace {

void AddLineTops(const QAbstractTextDocumentLayout& layout, const QTextBlock& block,
                 std::vector<qreal>& breaks) {
  const QRectF rect = layout.blockBoundingRect(block);
  const QTextLayout* lines = block.layout();
  if (lines == nullptr || lines->lineCount() == 0) {
    breaks.push_back(rect.top());
    return;
  }
  const qreal origin = rect.top() - lines->boundingRect().top();
  for (int i = 0; i < lines->lineCount(); ++i) breaks.push_back(origin + lines->lineAt(i).y());
}

// The gap between two rows holds the bottom edge of the one and the top edge of the other;
// its middle is where they meet.
void AddRowTops(const QAbstractTextDocumentLayout& layout, QTextTable& table, std::vector<qreal>& breaks) {
  breaks.push_back(layout.frameBoundingRect(&table).top());
  qreal previousBottom = 0;
  for (int row = 0; row < table.rows(); ++row) {
    qreal top = 0, bottom = 0;
    bool first = true;
    for (int column = 0; column < table.columns(); ++column) {
      const QTextTableCell cell = table.cellAt(row, column);
      if (!cell.isValid() || cell.row() != row || cell.column() != column) continue;
      const qreal cellTop = layout.blockBoundingRect(cell.firstCursorPosition().block()).top();
      const qreal cellBottom = layout.blockBoundingRect(cell.lastCursorPosition().block()).bottom();
      top = first ? cellTop : std::min(top, cellTop);
      bottom = first ? cellBottom : std::max(bottom, cellBottom);
      first = false;
    }
    if (first) continue;
    if (row > 0) breaks.push_back((previousBottom + top) / 2);
    previousBottom = bottom;
  }
}

int PageCount(const std::vector<qreal>& tops) { return static_cast<int>(tops.size()); }

void DrawPage(QPainter& painter, QTextDocument& document, const QRectF& body, qreal top, qreal bottom,
              int number, int count, qreal footerHeight) {
  painter.save();
  painter.translate(0, -top);
  QAbstractTextDocumentLayout::PaintContext context;
  context.clip = QRectF(0, top, body.width(), bottom - top);
  context.palette.setColor(QPalette::Text, Qt::black);
  painter.setClipRect(context.clip);
  document.documentLayout()->draw(&painter, context);
  painter.restore();

  painter.save();
  painter.setFont(document.defaultFont());
  painter.setPen(Qt::black);
  const QRectF footer(0, body.height() - footerHeight, body.width(), footerHeight);
  painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("Seite %1 von %2").arg(number).arg(count));
  painter.restore();
}

}  // namespace

std::vector<qreal> PageTops(const QTextDocument& document, qreal pageHeight) {
  const QAbstractTextDocumentLayout& layout = *document.documentLayout();
  const qreal height = layout.documentSize().height();

  std::vector<qreal> breaks;
  for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
    if (QTextFrame* frame = it.currentFrame()) {
      if (auto* table = qobject_cast<QTextTable*>(frame))
        AddRowTops(layout, *table, breaks);
      else
        breaks.push_back(layout.frameBoundingRect(frame).top());
    } else if (it.currentBlock().isValid()) {
      AddLineTops(layout, it.currentBlock(), breaks);
    }
  }
  std::sort(breaks.begin(), breaks.end());

  std::vector<qreal> tops{0};
  if (pageHeight <= 0) return tops;
  qreal top = 0;
  while (top + pageHeight < height) {
    const qreal limit = top + pageHeight;
    auto after = std::upper_bound(breaks.begin(), breaks.end(), limit);
    qreal next = limit;  // nothing to break at: a unit taller than a page is cut
    if (after != breaks.begin() && *(after - 1) > top) next = *(after - 1);
    tops.push_back(next);
    top = next;
  }
  return tops;
}

TPrintOutcome PrintDocument(const QTextDocument& source, QPrinter& printer) {
  // The view's document is laid out for the screen; the copy is laid out for the paper.
  std::unique_ptr<QTextDocument> document(source.clone());
  document->documentLayout()->setPaintDevice(&printer);
  const QRectF body(0, 0, printer.width(), printer.height());
  const qreal footerHeight = QFontMetricsF(document->defaultFont(), &printer).height() * 2;
  document->setTextWidth(body.width());

  const std::vector<qreal> tops = PageTops(*document, body.height() - footerHeight);
  const qreal end = document->documentLayout()->documentSize().height();
  const int count = PageCount(tops);
  std::vector<int> sheets = SheetOrder(printer, count);
  if (sheets.empty()) return TPrintOutcome::Failed;

  QPainter painter;
  if (!painter.begin(&printer)) return TPrintOutcome::Failed;
  const TSheetsOutcome outcome = PrintSheets(printer, painter, std::move(sheets), [&](int page) {
    const qreal top = tops[static_cast<std::size_t>(page - 1)];
    const qreal bottom = page < count ? tops[static_cast<std::size_t>(page)] : end;
    DrawPage(painter, *document, body, top, bottom, page, count, footerHeight);
  });
  switch (outcome) {
    case TSheetsOutcome::Printed: return TPrintOutcome::Printed;
    case TSheetsOutcome::Cancelled: return TPrintOutcome::Cancelled;
    case TSheetsOutcome::Failed: break;
  }
  return TPrintOutcome::Failed;
}

}  // namespace quandel
