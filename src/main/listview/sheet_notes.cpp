#include "sheet_notes.h"

#include <string>

#include "amounts.h"
#include "numfmt.h"
#include "page_text.h"

namespace quandel {
namespace {

QString Count(std::int64_t count, const TPaymentModel& page) {
  std::string digits;
  ombra::AppendGroupedInt(digits, count, page.regionalSettings());
  return QString::fromLatin1(digits);
}

QString Payments(std::int64_t count, const TPaymentModel& page) {
  return Count(count, page) + (count == 1 ? QStringLiteral(" Zahlung") : QStringLiteral(" Zahlungen"));
}

QString SumText(std::optional<std::int64_t> cents, const TPaymentModel& page) {
  return cents ? CentsText(*cents, page) : QStringLiteral("zu groß für eine genaue Angabe");
}

// Every payment the file holds, whatever the list shows of them.
std::optional<std::int64_t> FileCents(const ombra::TDtaus& document) {
  std::int64_t cents = 0;
  for (const ombra::TSatzC& payment : document.SatzCList) {
    const std::optional<std::int64_t> amount = ShownCents(payment);
    if (!amount || !ombra::AddCents(cents, *amount)) return std::nullopt;
  }
  return cents;
}

}  // namespace

QString SheetFileText(const TSheetFrame& frame) {
  if (frame.fileTime.isEmpty()) return frame.fileName;
  return frame.fileName + (frame.fileName.isEmpty() ? QString() : QStringLiteral(" · ")) +
         QStringLiteral("Datei vom ") + frame.fileTime;
}

QString SheetTimeText(const TSheetFrame& frame) {
  return frame.printTime.isEmpty() ? QString() : QStringLiteral("gedruckt am ") + frame.printTime;
}

QString CentsText(std::int64_t cents, const TPaymentModel& page) {
  std::string amount;
  ombra::AppendCents(amount, cents, page.regionalSettings());
  amount += ' ';
  amount += page.document().CurrencyText();
  return DecodeCp1252(amount);
}

QString SheetSumText(std::optional<std::int64_t> carried, std::optional<std::int64_t> sheet,
                     const TPaymentModel& page) {
  QStringList parts;
  if (carried) parts << QStringLiteral("Übertrag: ") + CentsText(*carried, page);
  if (sheet) parts << QStringLiteral("Summe dieser Seite: ") + CentsText(*sheet, page);
  return parts.join(QStringLiteral(" · "));
}

QString ExtractHtml(const TPaymentModel& page, const std::vector<std::pair<int, int>>& ranges) {
  const std::int64_t all = page.fileRows();
  std::int64_t printed = 0;
  std::optional<std::int64_t> cents = 0;
  for (const auto& [first, last] : ranges) {
    printed += last - first;
    const std::optional<std::int64_t> part = page.centsOf(first, last);
    if (!cents || !part || !ombra::AddCents(*cents, *part)) cents.reset();
  }
  if (printed >= all) return {};
  const QString title = QStringLiteral("Auszug: %1 von %2").arg(Count(printed, page), Payments(all, page));
  const QString sums = QStringLiteral("Summe des Auszugs: ") + SumText(cents, page) +
                       QStringLiteral(" · Datei: ") + Payments(all, page) + QStringLiteral(", ") +
                       SumText(FileCents(page.document()), page);
  return QStringLiteral("<p><b>") + title.toHtmlEscaped() + QStringLiteral("</b><br>") +
         sums.toHtmlEscaped() + QStringLiteral("</p>");
}

QString NotesHtml(const TSheetFrame& frame, const TPaymentModel& page) {
  QString html;
  if (!frame.verdict.isEmpty()) {
    html += QStringLiteral("<p><b>Prüfergebnis</b>");
    for (const QString& line : frame.verdict) html += QStringLiteral("<br>") + line.toHtmlEscaped();
    html += QStringLiteral("</p>");
  }
  // A damaged file's page states no totals.
  if (!page.damaged())
    html += QStringLiteral(
        "<p>Zu den Summen: „Gesamtsumme“ im Kopf der Liste ist die Angabe des E-Satzes, "
        "„Gesamtsumme“ am Ende der Liste die Summe der Beträge aller Zahlungen der Datei.</p>");
  // A line's room from the page's footer above it.
  return html.isEmpty() ? html : QStringLiteral("<p>&nbsp;</p>") + html;
}

}  // namespace quandel
