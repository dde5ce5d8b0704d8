#pragma once
// The order in which a printer's settings ask for the pages of a document, and the printing
// of those pages sheet by sheet.
#include <functional>
#include <optional>
#include <vector>

class QPainter;
class QPrinter;

namespace quandel {

enum class TSheetsOutcome { Printed, Cancelled, Failed };

// The pages (counted from 1) of a document of `pageCount` pages, one entry per sheet, as the
// printer's page range, the copies it does not make itself, collation and page order ask for
// them. Empty when the range holds none of the pages: asked before the printer is started,
// as a range outside the document must not print a blank sheet.
std::vector<int> SheetOrder(const QPrinter& printer, int pageCount);

// Prints the sheets one at a time on a started painter, a new sheet before every page but
// the first, and ends the painter after the last or on a failure.
class TSheetRun {
 public:
  TSheetRun(QPrinter& printer, QPainter& painter, std::vector<int> sheets);

  // Paints the next sheet's page through `paintPage`; the outcome once the run is over.
  std::optional<TSheetsOutcome> next(const std::function<void(int page)>& paintPage);
  int done() const { return static_cast<int>(next_); }
  int total() const { return static_cast<int>(sheets_.size()); }

 private:
  QPrinter& printer_;
  QPainter& painter_;
  std::vector<int> sheets_;
  std::size_t next_ = 0;
};

// All of `sheets` at once.
TSheetsOutcome PrintSheets(QPrinter& printer, QPainter& painter, std::vector<int> sheets,
                           const std::function<void(int page)>& paintPage);

}  // namespace quandel
