#pragma once
// Rows of the list for the clipboard: tab-separated text with a header line for any program,
// and the same rows as an HTML table for office programs.
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "row_texts.h"

class QMimeData;

namespace quandel {

// The most rows copied at once: about what is made into text and table in the tenth of a
// second a find may hold the window (find_bench, BM_CopyRows). More are copied in a worker.
constexpr long long kMaxCopiedRows = 20000;
// The most rows the clipboard takes at all: their text and table hold about 150 MB. More are
// a case for an export.
constexpr long long kMaxClipboardRows = 200000;
// Rows between two reports of a copy in a worker.
constexpr long long kCopyProgressRows = 1024;

// The cell as one line: the lines of a purpose joined with " / ".
QString CellLine(const IRowTexts& rows, int row, int column);

// `ranges` are [first, last) row ranges, ascending; `titles` head the columns.
QString RowsAsText(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                   const QStringList& titles);
QString RowsAsHtml(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                   const QStringList& titles);
struct TCopiedRows {
  QString text;
  QString html;
};
// Both of the above in one pass, for many rows in a worker thread: `progress` hears of the
// rows done now and then and returns false to stop, which gives nothing.
std::optional<TCopiedRows> CopyRows(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                                    const QStringList& titles,
                                    const std::function<bool(long long)>& progress);
QMimeData* AsMimeData(const TCopiedRows& rows);

// Both of the above.
QMimeData* RowsAsMimeData(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                          const QStringList& titles);

}  // namespace quandel
