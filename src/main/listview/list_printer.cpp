#include "list_printer.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QtMath>

#include <algorithm>
#include <limits>
#include <optional>

#include "amounts.h"
#include "fragment.h"
#include "page_metrics.h"
#include "print_sheets.h"
#include "table_painter.h"

namespace quandel {
namespace {

// Browsers print a CSS pixel as 1/96 inch; the view's pixels are taken as CSS pixels.
constexpr int kPixelsPerInch = 96;
// Rows measured between two looks at the clock.
constexpr int kMeasureBatch = 2048;
// Lines kept at the top of a sheet for the file and the time, and as many at its foot for
// the sums and the number.
constexpr int kSheetBand = 2;

// The page laid out for the paper: the view's layout, at least as wide as the paper. The
// columns are as wide as the printed rows need.
struct TPaperLayout {
  TPaperLayout(const TPaymentModel& page, const QFont& font) : geometry(font, HeaderFont(font)) {
    geometry.setRows(&page);
  }

  // Once the printed rows are measured.
  void layOut(const TPaymentModel& page, int paperWidth, const TPrintRows& rows, const TSheetFrame& frame) {
    width = std::max(paperWidth, geometry.naturalWidth());
    head = MakeFragment(page.headHtml(), geometry.font(), width);
    tail = MakeFragment(page.tailHtml(), geometry.font(), width);
    headHeight = qCeil(head->size().height());
    tailHeight = qCeil(tail->size().height());
    const QString extract = ExtractHtml(page, rows.ranges());
    if (!extract.isEmpty()) {
      lead = MakeFragment(extract, geometry.font(), width);
      leadHeight = qCeil(lead->size().height());
    }
    const QString added = NotesHtml(frame, page);
    if (!added.isEmpty()) {
      notes = MakeFragment(added, geometry.font(), width);
      notesHeight = qCeil(notes->size().height());
    }
  }

  TTableGeometry geometry;
  int width = 0;
  std::unique_ptr<QTextDocument> head;
  std::unique_ptr<QTextDocument> tail;
  std::unique_ptr<QTextDocument> lead;   // an extract's title, above the head
  std::unique_ptr<QTextDocument> notes;  // after the tail
  int headHeight = 0;
  int tailHeight = 0;
  int leadHeight = 0;
  int notesHeight = 0;
};

std::vector<TPrintedPage> Paginate(const TPaperLayout& paper, int pageHeight, const TPrintRows& rows) {
  const TTableGeometry& g = paper.geometry;
  constexpr int border = TTableGeometry::kBorder;
  const int rowCount = rows.count();
  const auto height = [&](int position) { return g.rowHeight(rows.row(position)); };
  std::vector<TPrintedPage> pages(1);
  pages[0].head = true;
  int y = paper.leadHeight + paper.headHeight + TableGap(g);
  const int tableStart = 2 * border + g.headerHeight() + (rowCount > 0 ? height(0) : 0);
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
    while (row < rowCount && (row == page.firstRow || y + height(row) + border <= pageHeight)) {
      y += height(row);
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
  if (y + paper.tailHeight > pageHeight) {
    pages.emplace_back();
    y = 0;
  }
  pages.back().tail = true;
  y += paper.tailHeight;
  if (paper.notesHeight > 0) {
    if (y + paper.notesHeight > pageHeight) pages.emplace_back();
    pages.back().notes = true;
  }
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

// What a sheet says around its part of the page.
struct TSheetLines {
  QString file, time;  // at the top
  QString sums;        // at the foot, left of the number
};

void DrawPage(QPainter& painter, const TPaymentModel& source, const TPrintRows& rows, TPaperLayout& paper,
              const TPrintedPage& page, int number, int count, int pageHeight, const TSheetLines& lines) {
  const TTableGeometry& g = paper.geometry;
  const TColumnEdges edges = g.columnEdges(paper.width);
  const int line = g.lineHeight();
  painter.setFont(g.font());
  painter.setPen(Qt::black);
  // The time stays whole; a long name gives way in its middle.
  const int timeWidth = painter.fontMetrics().horizontalAdvance(lines.time);
  painter.drawText(QRect(0, 0, paper.width, line), Qt::AlignRight | Qt::AlignTop, lines.time);
  painter.drawText(QRect(0, 0, paper.width - timeWidth - 2 * line, line), Qt::AlignLeft | Qt::AlignTop,
                   painter.fontMetrics().elidedText(lines.file, Qt::ElideMiddle,
                                                    std::max(0, paper.width - timeWidth - 2 * line)));
  painter.save();
  painter.translate(0, kSheetBand * line);
  int y = 0;
  if (page.head) {
    if (paper.lead) {
      DrawFragment(painter, *paper.lead, 0, paper.width, paper.leadHeight);
      y = paper.leadHeight;
    }
    DrawFragment(painter, *paper.head, y, paper.width, paper.headHeight);
    y += paper.headHeight + TableGap(g);
  }
  if (page.table) {
    TTablePainter table(painter, g, edges, 0, Qt::black);
    const int top = y;
    table.headerRow(top + TTableGeometry::kBorder);
    y = top + TTableGeometry::kBorder + g.headerHeight();
    for (const auto& [first, last] : rows.runs(page.firstRow, page.lastRow)) {
      table.rows(source, first, last, y);
      y += static_cast<int>(g.rowTop(last) - g.rowTop(first));
    }
    y += TTableGeometry::kBorder;
    table.frame(top, y, true, true);
  }
  if (page.tail) {
    DrawFragment(painter, *paper.tail, y, paper.width, paper.tailHeight);
    y += paper.tailHeight;
  }
  if (page.notes) DrawFragment(painter, *paper.notes, y, paper.width, paper.notesHeight);
  painter.restore();
  painter.setFont(g.font());
  painter.setPen(Qt::black);
  const int footerTop = kSheetBand * line + pageHeight + line;
  painter.drawText(QRect(0, footerTop, paper.width, line), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("Seite %1 von %2").arg(number).arg(count));
  painter.drawText(QRect(0, footerTop, paper.width, line), Qt::AlignLeft | Qt::AlignTop, lines.sums);
}

// The sum of each page's rows and what the pages before it carried, as its foot says them.
std::vector<QString> SheetSums(const TPaymentModel& source, const TPrintRows& rows,
                               const std::vector<TPrintedPage>& pages) {
  std::vector<QString> texts;
  texts.reserve(pages.size());
  std::optional<std::int64_t> carried = 0;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const TPrintedPage& page = pages[i];
    const bool hasRows = page.table && page.lastRow > page.firstRow;
    std::optional<std::int64_t> sheet = 0;
    for (const auto& [first, last] : rows.runs(page.firstRow, page.lastRow)) {
      const std::optional<std::int64_t> part = source.centsOf(first, last);
      if (!sheet || !part || !ombra::AddCents(*sheet, *part)) sheet.reset();
    }
    texts.push_back(SheetSumText(i > 0 ? carried : std::nullopt, hasRows ? sheet : std::nullopt, source));
    if (!carried || !sheet || !ombra::AddCents(*carried, *sheet)) carried.reset();
  }
  return texts;
}

TListPrintResult ResultOf(TSheetsOutcome outcome) {
  switch (outcome) {
    case TSheetsOutcome::Printed: return TListPrintResult::Printed;
    case TSheetsOutcome::Cancelled: return TListPrintResult::Cancelled;
    case TSheetsOutcome::Failed: break;
  }
  return TListPrintResult::Failed;
}

}  // namespace

TPrintRows::TPrintRows(int rowCount, TRowRanges ranges) {
  if (ranges.empty()) ranges.emplace_back(0, rowCount);
  for (auto [first, last] : ranges) {
    first = std::clamp(first, 0, rowCount);
    last = std::clamp(last, first, rowCount);
    if (first == last) continue;
    starts_.push_back(count_);
    ranges_.emplace_back(first, last);
    count_ += last - first;
  }
}

int TPrintRows::row(int position) const {
  const auto range = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), position) -
                                              starts_.begin() - 1);
  return ranges_[range].first + position - starts_[range];
}

TRowRanges TPrintRows::runs(int first, int last) const {
  TRowRanges runs;
  while (first < last) {
    const auto range = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), first) -
                                                starts_.begin() - 1);
    const int row = ranges_[range].first + first - starts_[range];
    const int length = std::min(last - first, ranges_[range].second - row);
    runs.emplace_back(row, row + length);
    first += length;
  }
  return runs;
}

std::vector<TPrintedPage> PaginateControlList(const TPaymentModel& page, const QFont& font, int pageWidth,
                                              int pageHeight, const TRowRanges& rows,
                                              const TSheetFrame& frame) {
  const TPrintRows printed(page.rows(), rows);
  TPaperLayout paper(page, font);
  for (const auto& [first, last] : printed.ranges()) paper.geometry.measureRange(first, last);
  paper.layOut(page, pageWidth, printed, frame);
  return Paginate(paper, pageHeight, printed);
}

struct TListPrintJob::TState {
  TState(std::shared_ptr<const TPaymentModel> page, const QFont& font, QPrinter& device, TRowRanges ranges,
         TSheetFrame sheetFrame)
      : source(std::move(page)),
        printer(device),
        rows(source->rows(), std::move(ranges)),
        paper(*source, font),
        frame(std::move(sheetFrame)) {}

  // Measures the next batch of printed rows; true once all are.
  bool measureSome() {
    const TRowRanges& ranges = rows.ranges();
    if (range == ranges.size()) return true;
    const auto [first, last] = ranges[range];
    const int from = std::max(first, next);
    const int to = std::min(last, from + kMeasureBatch);
    paper.geometry.measureRange(from, to);
    measured += to - from;
    next = to;
    if (to == last) ++range;
    return range == ranges.size();
  }

  // Splits the list into pages and starts the printer; false when nothing can be printed.
  bool begin() {
    const int resolution = std::max(1, printer.resolution());
    paper.layOut(*source, printer.width() * kPixelsPerInch / resolution, rows, frame);
    scale = static_cast<qreal>(printer.width()) / paper.width;
    pageHeight = static_cast<int>(printer.height() / scale) - 2 * kSheetBand * paper.geometry.lineHeight();
    pages = Paginate(paper, pageHeight, rows);
    sums = SheetSums(*source, rows, pages);
    std::vector<int> sheets = SheetOrder(printer, static_cast<int>(pages.size()));
    if (sheets.empty() || !painter.begin(&printer)) return false;
    run.emplace(printer, painter, std::move(sheets));
    return true;
  }

  void printSheet() {
    const int count = static_cast<int>(pages.size());
    const std::optional<TSheetsOutcome> outcome = run->next([&](int number) {
      painter.save();
      painter.scale(scale, scale);
      const auto at = static_cast<std::size_t>(number - 1);
      DrawPage(painter, *source, rows, paper, pages[at], number, count, pageHeight,
               {SheetFileText(frame), SheetTimeText(frame), sums[at]});
      painter.restore();
    });
    if (outcome) finish(ResultOf(*outcome));
  }

  void finish(TListPrintResult outcome) {
    result = outcome;
    over = true;
  }

  std::shared_ptr<const TPaymentModel> source;
  QPrinter& printer;
  TPrintRows rows;
  TPaperLayout paper;
  TSheetFrame frame;
  std::vector<QString> sums;  // each page's foot
  std::size_t range = 0;
  int next = 0;
  int measured = 0;
  qreal scale = 1;
  int pageHeight = 0;
  std::vector<TPrintedPage> pages;
  QPainter painter;
  std::optional<TSheetRun> run;
  bool over = false;
  TListPrintResult result = TListPrintResult::Failed;
};

TListPrintJob::TListPrintJob(std::shared_ptr<const TPaymentModel> page, const QFont& font, QPrinter& printer,
                             TRowRanges rows, TSheetFrame frame)
    : d_(std::make_unique<TState>(std::move(page), font, printer, std::move(rows), std::move(frame))) {}

TListPrintJob::~TListPrintJob() { stop(); }

bool TListPrintJob::step(std::chrono::milliseconds budget) {
  QElapsedTimer clock;
  clock.start();
  while (!d_->over) {
    if (d_->run) {
      d_->printSheet();
    } else if (d_->measureSome() && !d_->begin()) {
      d_->finish(TListPrintResult::Failed);
    }
    if (clock.elapsed() >= budget.count()) break;
  }
  return !d_->over;
}

bool TListPrintJob::finished() const { return d_->over; }
bool TListPrintJob::preparing() const { return !d_->run && !d_->over; }
int TListPrintJob::done() const { return d_->run ? d_->run->done() : d_->measured; }
int TListPrintJob::total() const { return d_->run ? d_->run->total() : d_->rows.count(); }

void TListPrintJob::stop() {
  if (d_->over) return;
  if (d_->painter.isActive()) {
    // Where the printer cannot take the job back, at least a file is not left half written.
    d_->printer.abort();
    d_->painter.end();
    if (!d_->printer.outputFileName().isEmpty()) QFile::remove(d_->printer.outputFileName());
  }
  d_->finish(TListPrintResult::Stopped);
}

TListPrintResult TListPrintJob::result() const { return d_->result; }

TListPrintResult PrintControlList(std::shared_ptr<const TPaymentModel> page, const QFont& font,
                                  QPrinter& printer, TRowRanges rows, TSheetFrame frame) {
  TListPrintJob job(std::move(page), font, printer, std::move(rows), std::move(frame));
  while (job.step(std::chrono::milliseconds::max())) {
  }
  return job.result();
}

}  // namespace quandel
