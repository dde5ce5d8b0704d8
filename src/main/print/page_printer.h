#pragma once
#include <QtGlobal>

#include <vector>

class QPrinter;
class QTextDocument;

namespace quandel {

// Cancelled: the printer gave the job up. Stopped: the user stopped it before its end.
enum class TPrintOutcome { Printed, Cancelled, Stopped, Failed };

// Prints `document` on the printer's pages with page numbers. Pages break between table rows
// and between lines of text, so no row is cut in half unless it is taller than a page.
// The printer's page range, copies and page order are honoured.
TPrintOutcome PrintDocument(const QTextDocument& document, QPrinter& printer);

// Where the pages of a laid-out document begin, in layout coordinates; the first is 0.
std::vector<qreal> PageTops(const QTextDocument& document, qreal pageHeight);

}  // namespace quandel
