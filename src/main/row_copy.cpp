#include "row_copy.h"

#include <QMimeData>

#include "control_list.h"
#include "payment_model.h"

namespace quandel {
namespace {

// How an office program is to take the cells of a column, known by its title: the list's
// codes as text, since it would drop the leading zeros of a number, and its amount as a number.
enum class TCellKind { Text, Code, Amount };

std::vector<TCellKind> CellKinds(const QStringList& titles) {
  std::vector<TCellKind> kinds(static_cast<std::size_t>(titles.size()), TCellKind::Text);
  for (int column = 0; column < kColumnCount; ++column) {
    const ombra::TControlListColumn& shown = ombra::kControlListColumns[static_cast<std::size_t>(column)];
    const auto at = titles.indexOf(ColumnTitle(column));
    if (at >= 0)
      kinds[static_cast<std::size_t>(at)] = shown.Code     ? TCellKind::Code
                                            : shown.Amount ? TCellKind::Amount
                                                           : TCellKind::Text;
  }
  return kinds;
}

// A plain amount ("-1250,00" or "1250.00") as the number office programs take from an HTML
// table's x:num attribute, with a point; empty for any other text.
QString NumberValue(const QString& text) {
  QString value;
  for (const QChar c : text) {
    if (c.isDigit() && c.unicode() <= '9')
      value += c;
    else if (c == u'-' && value.isEmpty())
      value += c;
    else if ((c == u',' || c == u'.') && !value.contains(u'.'))
      value += u'.';
    else
      return {};
  }
  return value;
}

QString AmountCell(const QString& text) {
  const QString value = NumberValue(text);
  if (value.isEmpty()) return QStringLiteral("<td align=\"right\">");
  return QStringLiteral("<td align=\"right\" x:num=\"%1\">").arg(value);
}

}  // namespace

QString CellLine(const IRowTexts& rows, int row, int column) {
  QString text = rows.cellText(row, column);
  text.replace(u'\n', QStringLiteral(" / "));
  text.replace(u'\t', u' ');
  return text;
}

namespace {

void AppendTextRow(QString& text, const IRowTexts& rows, int row, int columns) {
  for (int column = 0; column < columns; ++column) {
    if (column > 0) text += u'\t';
    text += CellLine(rows, row, column);
  }
  text += u'\n';
}

QString HtmlHead(const QStringList& titles) {
  QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table border=\"1\"><tr>");
  for (const QString& title : titles)
    html += QStringLiteral("<th>") + title.toHtmlEscaped() + QStringLiteral("</th>");
  return html + QStringLiteral("</tr>\n");
}

void AppendHtmlRow(QString& html, const IRowTexts& rows, int row, const std::vector<TCellKind>& kinds) {
  html += QStringLiteral("<tr>");
  for (int column = 0; column < static_cast<int>(kinds.size()); ++column) {
    const TCellKind kind = kinds[static_cast<std::size_t>(column)];
    const QString text = rows.cellText(row, column);
    html += kind == TCellKind::Code     ? QStringLiteral("<td style=\"mso-number-format:'\\@'\">")
            : kind == TCellKind::Amount ? AmountCell(text)
                                        : QStringLiteral("<td>");
    html += QString(text).toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
    html += QStringLiteral("</td>");
  }
  html += QStringLiteral("</tr>\n");
}

const QString kHtmlTail = QStringLiteral("</table></body></html>\n");

}  // namespace

QString RowsAsText(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                   const QStringList& titles) {
  QString text = titles.join(u'\t') + u'\n';
  for (const auto& [first, last] : ranges)
    for (int row = first; row < last; ++row) AppendTextRow(text, rows, row, static_cast<int>(titles.size()));
  return text;
}

QString RowsAsHtml(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                   const QStringList& titles) {
  QString html = HtmlHead(titles);
  const std::vector<TCellKind> kinds = CellKinds(titles);
  for (const auto& [first, last] : ranges)
    for (int row = first; row < last; ++row) AppendHtmlRow(html, rows, row, kinds);
  return html + kHtmlTail;
}

std::optional<TCopiedRows> CopyRows(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                                    const QStringList& titles,
                                    const std::function<bool(long long)>& progress) {
  TCopiedRows copied{titles.join(u'\t') + u'\n', HtmlHead(titles)};
  const std::vector<TCellKind> kinds = CellKinds(titles);
  long long done = 0;
  for (const auto& [first, last] : ranges) {
    for (int row = first; row < last; ++row) {
      AppendTextRow(copied.text, rows, row, static_cast<int>(titles.size()));
      AppendHtmlRow(copied.html, rows, row, kinds);
      if (++done % kCopyProgressRows == 0 && !progress(done)) return std::nullopt;
    }
  }
  copied.html += kHtmlTail;
  return copied;
}

QMimeData* AsMimeData(const TCopiedRows& rows) {
  auto* data = new QMimeData;
  data->setText(rows.text);
  data->setHtml(rows.html);
  return data;
}

QMimeData* RowsAsMimeData(const IRowTexts& rows, const std::vector<std::pair<int, int>>& ranges,
                          const QStringList& titles) {
  auto* data = new QMimeData;
  data->setText(RowsAsText(rows, ranges, titles));
  data->setHtml(RowsAsHtml(rows, ranges, titles));
  return data;
}

}  // namespace quandel
