// The control list ("Datenträger-Kontrolliste") as HTML lines in Windows-1252.
#include "amounts.h"
#include "control_list.h"
#include "cp1252.h"
#include "dtaus.h"
#include "numfmt.h"
#include "umlauts.h"

namespace ombra {
namespace {

constexpr const char* kTableBordered = "<br><br><table border=1 cellpadding=1 cellspacing=0 width=100%>";

void AppendPurpose(std::string& out, const TTextLines& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "<br>";
    AppendDecodedEscaped(out, lines[i]);
  }
}

std::string SummaryRow(const TDtaus& doc, double total, const char* currency, const TRegionalSettings& rs) {
  const TSatzA& a = *doc.SatzA;
  std::string s = "<tr><td valign=top><table border=0><tr><td>Name:</td><td><b>";
  AppendHtmlEscaped(s, a.Name);
  s += "</b></td></tr><tr><td>BLZ:</td><td><b>";
  AppendHtmlEscaped(s, a.BLZ);
  s += "</b></td></tr><tr><td>Konto:</td><td><b>";
  AppendHtmlEscaped(s, a.Konto);
  s += "</b></td></tr></table></td><td align=right><table border=0><tr><td>Gesamtsumme:</td><td><b>";
  AppendMoney(s, total, currency, rs);
  s += "</b></td></tr><tr><td>Art:</td><td><b>";
  AppendHtmlEscaped(s, a.Art);
  s += "</b></td></tr><tr><td>S\xE4tze:</td><td><b>";
  AppendInt(s, doc.SatzE->Anzahl);
  s += "</b></td></tr><tr><td>Referenz:</td><td><b>";
  AppendHtmlEscaped(s, a.Referenz);
  s += "</b></td></tr></table></td></tr>";
  return s;
}

std::string PaymentRow(std::int32_t number, const TSatzC& c, const char* currency,
                       const TRegionalSettings& rs) {
  std::string s;
  s.reserve(256 + 36 * c.Verwendungszweck.size());
  s += "<tr><td valign=top>";
  AppendInt(s, number);
  s += "</td><td valign=top>";
  AppendHtmlEscaped(s, c.Name);
  s += "</td><td valign=top align=right>";
  AppendHtmlEscaped(s, c.BLZ);
  s += "</td><td valign=top align=right>";
  AppendHtmlEscaped(s, c.Konto);
  s += "</td><td>";
  AppendPurpose(s, c.Verwendungszweck);
  s += "</td><td valign=top align=right>";
  AppendMoney(s, c.Betrag, currency, rs);
  s += "</td></tr>";
  return s;
}

}  // namespace

void TDtaus::RenderControlList(TLineList& lines, const std::string& footer,
                               const TRegionalSettings& rs) const {
  lines.reserve(lines.size() + (!LoadFailed() ? 12 + SatzCList.size() : 1));
  RenderControlList([&lines](std::string&& line) { lines.push_back(std::move(line)); }, footer, rs);
}

void TDtaus::RenderControlList(const TLineSink& sink, const std::string& footer,
                               const TRegionalSettings& rs) const {
  if (LoadFailed()) {
    // File names on Linux are UTF-8; the page is Windows-1252.
    std::string line = "<font face=arial color=#ff0000>Beim Lesen der Datei ";
    line += support::Utf8ToCp1252Html(HtmlEscape(ErrorText));
    line += " ist ein Fehler aufgetreten.</font>";
    sink(std::move(line));
    return;
  }
  RenderControlListHead(sink, rs);
  const char* currency = CurrencyText();
  sink(kTableBordered);
  std::string header = "<tr>";
  for (const TControlListColumn& column : kControlListColumns) {
    header += "<th>";
    header += column.Title;
    header += "</th>";
  }
  sink(header + "</tr>");
  std::int32_t number = 0;
  for (const TSatzC& c : SatzCList) sink(PaymentRow(++number, c, currency, rs));
  sink("</table>");
  RenderControlListTail(sink, footer, rs);
}

const char* TDtaus::CurrencyText() const { return ombra::CurrencyText(SatzA->Euro); }

void TDtaus::RenderControlListHead(const TLineSink& sink, const TRegionalSettings& rs) const {
  const double summary = SatzA->Euro ? SatzE->SummeEuro : SatzE->SummeDM;
  sink(
      "<html><head><style><!-- p,td,th {font-family:arial} --></style></head><body>"
      "<p><b>Datentr\xE4ger-Kontrolliste vom " +
      support::Utf8ToCp1252Html(HtmlEscape(FormatDate(SatzA->Datum, rs.ShortDateFormat))) + "</b><br>");
  sink(kTableBordered);
  sink(SummaryRow(*this, summary, CurrencyText(), rs));
  sink("</table>");
}

void TDtaus::RenderControlListTail(const TLineSink& sink, const std::string& footer,
                                   const TRegionalSettings& rs) const {
  // The total of the rows above it, summed exactly and rounded once: a running sum of doubles
  // drifts by cents on large files.
  TExactSum total;
  for (const TSatzC& c : SatzCList) total.Add(c.Betrag, c.BetragCent);
  std::string sums =
      "<br>BLZ-Pr\xFC"
      "fsumme: ";
  AppendInt(sums, SatzE->SummeBLZ);
  sums +=
      "<br>Konto-Pr\xFC"
      "fsumme: ";
  AppendInt(sums, SatzE->SummeKonto);
  sink(std::move(sums));
  sink("<br><br><table border=0 cellpadding=1 cellspacing=0 width=100%>");
  std::string closing = "<tr><td align=right>Gesamtsumme: <b>";
  AppendMoney(closing, total.Value(), CurrencyText(), rs);
  closing += "</b></td></tr>";
  sink(std::move(closing));
  sink("</table>");
  sink("<hr><font color=\"#cccccc\">" + footer + "</font></p></body></html>");
}

}  // namespace ombra
