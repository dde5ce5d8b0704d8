#pragma once
// Rows of the list for the clipboard: tab-separated text with a header line for any program,
// and the same rows as an HTML table for office programs.
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

#include "row_texts.h"

class QMimeData;

namespace quandel {

// The most rows copied at once: about what is made into text and table in the tenth of a
// second a find may hold the window (find_bench, BM_CopyRows).
constexpr long long kMaxCopiedRows = 20000;

// The cell as one line: the lines of a purpose joined with " / ".
QString CellLine(const IRowTexts& rows, int row, int column);

// `ranges` are [first, last) row ranges, ascending; `titles` head the columns.
QString RowsAsText(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                   const QStringList& titles);
QString RowsAsHtml(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                   const QStringList& titles);
// Both of the above.
QMimeData* RowsAsMimeData(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                          const QStringList& titles);

}  // namespace quandel
