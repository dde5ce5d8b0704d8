#include "page_text.h"

#include <QRegularExpression>

#include "cp1252.h"

namespace quandel {

QString DecodeCp1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (const char byte : bytes)
    text.append(QChar(static_cast<char16_t>(support::Cp1252ToUnicode(static_cast<unsigned char>(byte)))));
  return text;
}

QString PageStyleRules(const QString& html) {
  const qsizetype open = html.indexOf(QStringLiteral("<style"), 0, Qt::CaseInsensitive);
  if (open < 0) return {};
  const qsizetype start = html.indexOf(QLatin1Char('>'), open);
  if (start < 0) return {};
  const qsizetype end = html.indexOf(QStringLiteral("</style"), start, Qt::CaseInsensitive);
  if (end < 0) return {};
  QString rules = html.mid(start + 1, end - start - 1);
  rules.remove(QStringLiteral("<!--"));
  rules.remove(QStringLiteral("-->"));
  return rules.trimmed();
}

QString PageForView(const QString& html) {
  static const QRegularExpression rule(QStringLiteral("(<hr(?:\\s[^>]*)?>)"),
                                       QRegularExpression::CaseInsensitiveOption);
  QString page = html;
  page.replace(rule, QStringLiteral("\\1<p>"));
  return page;
}

}  // namespace quandel
