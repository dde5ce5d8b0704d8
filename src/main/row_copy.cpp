#include "row_copy.h"

#include <QMimeData>

namespace quandel {
namespace {

// Spreadsheets would read a bank code or an account as a number and drop its leading zeros.
bool IsCode(const QString& title) { return title == u"BLZ" || title == u"Konto"; }
bool IsAmount(const QString& title) { return title == u"Betrag"; }

}  // namespace

QString CellLine(const IRowTexts& rows, int row, int column) {
  QString text = rows.cellText(row, column);
  text.replace(u'\n', QStringLiteral(" / "));
  text.replace(u'\t', u' ');
  return text;
}

QString RowsAsText(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                   const QStringList& titles) {
  QString text = titles.join(u'\t') + u'\n';
  const int columns = static_cast<int>(titles.size());
  for (const auto& [first, last] : ranges) {
    for (int row = first; row < last; ++row) {
      for (int column = 0; column < columns; ++column) {
        if (column > 0) text += u'\t';
        text += CellLine(rows, row, column);
      }
      text += u'\n';
    }
  }
  return text;
}

QString RowsAsHtml(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                   const QStringList& titles) {
  QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table border=\"1\"><tr>");
  for (const QString& title : titles)
    html += QStringLiteral("<th>") + title.toHtmlEscaped() + QStringLiteral("</th>");
  html += QStringLiteral("</tr>\n");
  const int columns = static_cast<int>(titles.size());
  for (const auto& [first, last] : ranges) {
    for (int row = first; row < last; ++row) {
      html += QStringLiteral("<tr>");
      for (int column = 0; column < columns; ++column) {
        const QString& title = titles[column];
        html += IsCode(title)     ? QStringLiteral("<td style=\"mso-number-format:'\\@'\">")
                : IsAmount(title) ? QStringLiteral("<td align=\"right\">")
                                  : QStringLiteral("<td>");
        html += rows.cellText(row, column).toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
        html += QStringLiteral("</td>");
      }
      html += QStringLiteral("</tr>\n");
    }
  }
  return html + QStringLiteral("</table></body></html>\n");
}

QMimeData* RowsAsMimeData(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                          const QStringList& titles) {
  auto* data = new QMimeData;
  data->setText(RowsAsText(rows, ranges, titles));
  data->setHtml(RowsAsHtml(rows, ranges, titles));
  return data;
}

}  // namespace quandel
