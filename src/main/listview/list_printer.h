#pragma once
// Prints a control-list page as the view shows it, scaled to the paper's width: A4 unless the
// printer says otherwise, the column headers at the top of every page, and never a row cut
// across two pages. Around the page each sheet names the file and the time of printing at its
// top and its sum, what the sheets before carried and its number at its foot; an extract is
// titled as one, and the check's verdicts follow the page's end (sheet_notes.h). A long list
// is printed piece by piece (TListPrintJob), so whoever drives it can keep the window alive
// and let the user stop.
#include <QFont>

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "payment_model.h"
#include "sheet_notes.h"

class QPrinter;

namespace quandel {

// Cancelled: the printer gave the job up. Stopped: the job was stopped before its end.
enum class TListPrintResult { Printed, Cancelled, Stopped, Failed };

// [first, last) ranges of rows, ascending and disjoint.
using TRowRanges = std::vector<std::pair<int, int>>;

// The rows a print takes, all of a list or some ranges of it, numbered 0 .. count()-1 in the
// order they are printed.
class TPrintRows {
 public:
  // No ranges: all `rowCount` rows.
  TPrintRows(int rowCount, TRowRanges ranges);

  int count() const { return count_; }
  // The list's row at a position.
  int row(int position) const;
  // The positions [first, last) as runs of consecutive rows of the list.
  TRowRanges runs(int first, int last) const;
  const TRowRanges& ranges() const { return ranges_; }

 private:
  TRowRanges ranges_;
  std::vector<int> starts_;  // the position of each range's first row
  int count_ = 0;
};

// What one printed page holds, in the order it is printed.
struct TPrintedPage {
  bool head = false;              // title and summary
  int firstRow = 0, lastRow = 0;  // positions [first, last) among the printed rows
  bool table = false;             // the table (its header row at least) is on this page
  bool tableEnds = false;         // the table's last row is on this page
  bool tail = false;              // check sums, closing total and footer
  bool notes = false;             // the verdicts and what the totals are, after the page
};

// How the page splits into printed pages of `pageHeight` pixels of the view's font.
std::vector<TPrintedPage> PaginateControlList(const TPaymentModel& page, const QFont& font, int pageWidth,
                                              int pageHeight, const TRowRanges& rows = {},
                                              const TSheetFrame& frame = {});

class TListPrintJob {
 public:
  // `rows` empty prints every row. The printer's page range, copies and page order are
  // honoured; the printer must outlive the job.
  TListPrintJob(std::shared_ptr<const TPaymentModel> page, const QFont& font, QPrinter& printer,
                TRowRanges rows = {}, TSheetFrame frame = {});
  // A job not finished is stopped.
  ~TListPrintJob();
  TListPrintJob(const TListPrintJob&) = delete;
  TListPrintJob& operator=(const TListPrintJob&) = delete;

  // Goes on for about `budget`, at least one page or one batch of rows; false once finished.
  bool step(std::chrono::milliseconds budget);
  bool finished() const;
  // While the rows are measured; then sheets are printed.
  bool preparing() const;
  // Rows measured or sheets printed so far, and how many there are in all.
  int done() const;
  int total() const;
  // Prints nothing more; a file being written is removed, so no part of the list is left
  // that could be taken for all of it.
  void stop();
  TListPrintResult result() const;

 private:
  struct TState;
  std::unique_ptr<TState> d_;
};

// The whole job at once.
TListPrintResult PrintControlList(std::shared_ptr<const TPaymentModel> page, const QFont& font,
                                  QPrinter& printer, TRowRanges rows = {}, TSheetFrame frame = {});

}  // namespace quandel
