#include "damaged_list.h"

#include "datetime.h"
#include "numfmt.h"
#include "page_text.h"

namespace quandel {
namespace {

QString Escaped(std::string_view cp1252) { return DecodeCp1252(cp1252).toHtmlEscaped(); }

}  // namespace

QString DamagedHead(const ombra::TDtaus& document, const ombra::TRegionalSettings& rs) {
  const ombra::TSatzA& a = *document.SatzA;
  return QStringLiteral(
             "<p><b>Datenträger-Kontrolliste einer beschädigten Datei</b><br>"
             "<font color=#ff0000>Datei beschädigt: ") +
         Escaped(document.LoadError) + QStringLiteral("</font></p><p>Absender: ") + Escaped(a.Name) +
         QStringLiteral("<br>BLZ: ") + Escaped(a.BLZ) + QStringLiteral(", Konto: ") + Escaped(a.Konto) +
         QStringLiteral("<br>") + Escaped(a.Art) + QStringLiteral(" vom ") +
         QString::fromStdString(ombra::FormatDate(a.Datum, rs.ShortDateFormat)).toHtmlEscaped() +
         QStringLiteral(", ") + QLatin1StringView(ombra::CurrencyText(a.Euro)) + QStringLiteral("</p>");
}

QString DamagedTail(const ombra::TDtaus& document) {
  return QStringLiteral("<p><font color=#ff0000>") + Escaped(ombra::ReadSoFarText(document.Damage)) +
         QStringLiteral(".</font></p>");
}

}  // namespace quandel
