#include "print_sheets.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <utility>

namespace quandel {

std::vector<int> SheetOrder(const QPrinter& printer, int pageCount) {
  int from = 1, to = pageCount;
  if (printer.printRange() == QPrinter::PageRange) {
    if (printer.fromPage() > 0) from = std::max(from, printer.fromPage());
    if (printer.toPage() > 0) to = std::min(to, printer.toPage());
  }
  std::vector<int> sheets;
  if (from > to) return sheets;
  const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
  const int documentCopies = printer.collateCopies() ? copies : 1;
  const auto pageCopies = static_cast<std::size_t>(printer.collateCopies() ? 1 : copies);
  const bool ascending = printer.pageOrder() == QPrinter::FirstPageFirst;
  for (int d = 0; d < documentCopies; ++d)
    for (int step = 0; step <= to - from; ++step)
      sheets.insert(sheets.end(), pageCopies, ascending ? from + step : to - step);
  return sheets;
}

TSheetRun::TSheetRun(QPrinter& printer, QPainter& painter, std::vector<int> sheets)
    : printer_(printer), painter_(painter), sheets_(std::move(sheets)) {}

std::optional<TSheetsOutcome> TSheetRun::next(const std::function<void(int page)>& paintPage) {
  if (next_ >= sheets_.size()) {
    painter_.end();
    return TSheetsOutcome::Failed;
  }
  if (next_ > 0 && !printer_.newPage()) {
    painter_.end();
    return TSheetsOutcome::Failed;
  }
  paintPage(sheets_[next_++]);
  if (printer_.printerState() == QPrinter::Aborted) {
    painter_.end();
    return TSheetsOutcome::Cancelled;
  }
  if (next_ < sheets_.size()) return std::nullopt;
  if (!painter_.end() || printer_.printerState() == QPrinter::Error) return TSheetsOutcome::Failed;
  return TSheetsOutcome::Printed;
}

TSheetsOutcome PrintSheets(QPrinter& printer, QPainter& painter, std::vector<int> sheets,
                           const std::function<void(int page)>& paintPage) {
  TSheetRun run(printer, painter, std::move(sheets));
  for (;;)
    if (const std::optional<TSheetsOutcome> outcome = run.next(paintPage)) return *outcome;
}

}  // namespace quandel
