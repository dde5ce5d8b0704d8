#pragma once
// Prints a control-list page as the view shows it, scaled to the paper's width: A4 unless the
// printer says otherwise, page numbers at the foot, the column headers at the top of every
// page, and never a row cut across two pages.
#include <QFont>

#include <vector>

#include "payment_model.h"

class QPrinter;

namespace quandel {

enum class TListPrintResult { Printed, Cancelled, Failed };

// What one printed page holds, in the order it is printed.
struct TPrintedPage {
  bool head = false;              // title and summary
  int firstRow = 0, lastRow = 0;  // payment rows [first, last)
  bool table = false;             // the table (its header row at least) is on this page
  bool tableEnds = false;         // the table's last row is on this page
  bool tail = false;              // check sums, closing total and footer
};

// How the page splits into printed pages of `pageHeight` pixels of the view's font.
std::vector<TPrintedPage> PaginateControlList(const TPaymentModel& page, const QFont& font, int pageWidth,
                                              int pageHeight);

// The printer's page range, copies and page order are honoured.
TListPrintResult PrintControlList(const TPaymentModel& page, const QFont& font, QPrinter& printer);

}  // namespace quandel
