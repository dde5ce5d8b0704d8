#pragma once
// The order in which a printer's settings ask for the pages of a document.
#include <functional>

class QPainter;
class QPrinter;

namespace quandel {

enum class TSheetsOutcome { Printed, Cancelled, Failed };

// Whether the printer's page range holds any of `pageCount` pages. Asked before the printer
// is started: a range outside the document must not print a blank sheet.
bool PrintsAnyPage(const QPrinter& printer, int pageCount);

// Calls `paintPage` for the pages (counted from 1) that the printer's page range, copies it
// does not make itself, collation and page order ask for, a new sheet before every page but
// the first, and ends the painter.
TSheetsOutcome PrintSheets(QPrinter& printer, QPainter& painter, int pageCount,
                           const std::function<void(int page)>& paintPage);

}  // namespace quandel
