#pragma once
// What a printed sheet adds to the control list, outside the list itself: a line at the top
// naming the file, its time and the time of printing; the sheet's own sum and what the sheets
// before it carried; the title of an extract; after the page's end the verdicts of the check
// and what each of the two totals is.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "payment_model.h"

namespace quandel {

// Given by the window when the print starts, so times are of the moment and in its words.
struct TSheetFrame {
  QString fileName;   // as the status text names it
  QString fileTime;   // the file's last change
  QString printTime;  // when the print started
  // The lines under "Prüfergebnis"; none leaves the verdicts out.
  QStringList verdict;
};

// The line at the top of every sheet: "beispiel.dta · Datei vom 31.12.2002 10:00:00", and at
// its right "gedruckt am 10.12.2026 15:30:12". Empty parts are left out.
QString SheetFileText(const TSheetFrame& frame);
QString SheetTimeText(const TSheetFrame& frame);

// The amount of `cents` as the list writes it: "1.234,56 EUR".
QString CentsText(std::int64_t cents, const TPaymentModel& page);

// The foot of a sheet: "Übertrag: 100,00 EUR · Summe dieser Seite: 24,44 EUR". The carried sum
// from the second sheet on (`carried` given), the sheet's sum when rows stand on it.
QString SheetSumText(std::optional<std::int64_t> carried, std::optional<std::int64_t> sheet,
                     const TPaymentModel& page);

// Above the page when not every payment of the file is printed: "Auszug: 2 von 4 Zahlungen",
// the printed payments' sum beside the file's count and sum. Empty when all are printed.
// `ranges` are the printed rows of `page`, [first, last), ascending.
QString ExtractHtml(const TPaymentModel& page, const std::vector<std::pair<int, int>>& ranges);

// After the page's end: "Prüfergebnis" with the frame's verdict lines, and which total is the
// trailer's and which the payments' sum (the page calls both "Gesamtsumme"). Empty when there
// is nothing to say.
QString NotesHtml(const TSheetFrame& frame, const TPaymentModel& page);

}  // namespace quandel
