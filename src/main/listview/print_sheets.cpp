#include "print_sheets.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <utility>

namespace quandel {

namespace {

// The first and last page to print, counted from 1; first > last when there is none.
std::pair<int, int> PageRange(const QPrinter& printer, int pageCount) {
  int from = 1, to = pageCount;
  if (printer.printRange() == QPrinter::PageRange) {
    if (printer.fromPage() > 0) from = std::max(from, printer.fromPage());
    if (printer.toPage() > 0) to = std::min(to, printer.toPage());
  }
  return {from, to};
}

}  // namespace

bool PrintsAnyPage(const QPrinter& printer, int pageCount) {
  const auto [from, to] = PageRange(printer, pageCount);
  return from <= to;
}

TSheetsOutcome PrintSheets(QPrinter& printer, QPainter& painter, int pageCount,
                           const std::function<void(int page)>& paintPage) {
  const auto [from, to] = PageRange(printer, pageCount);
  const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
  const int documentCopies = printer.collateCopies() ? copies : 1;
  const int pageCopies = printer.collateCopies() ? 1 : copies;
  const bool ascending = printer.pageOrder() == QPrinter::FirstPageFirst;

  bool first = true;
  for (int d = 0; d < documentCopies; ++d) {
    for (int step = 0; step <= to - from; ++step) {
      const int page = ascending ? from + step : to - step;
      for (int p = 0; p < pageCopies; ++p) {
        if (!first && !printer.newPage()) {
          painter.end();
          return TSheetsOutcome::Failed;
        }
        first = false;
        paintPage(page);
        if (printer.printerState() == QPrinter::Aborted) {
          painter.end();
          return TSheetsOutcome::Cancelled;
        }
      }
    }
  }
  if (!painter.end() || printer.printerState() == QPrinter::Error) return TSheetsOutcome::Failed;
  return TSheetsOutcome::Printed;
}

}  // namespace quandel
