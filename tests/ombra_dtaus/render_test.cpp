#include <gtest/gtest.h>

#include "dtaus.h"
#include "numfmt.h"
#include "umlauts.h"

using namespace ombra;

namespace {

const TRegionalSettings kDE = TRegionalSettings::de_DE();
const TRegionalSettings kUS = TRegionalSettings::en_US();

const std::string kHead =
    "<html><head><style><!-- p,td,th {font-family:arial} --></style></head><body>"
    "<p><b>Datentr\xE4ger-Kontrolliste vom ";
const std::string kTable = "<br><br><table border=1 cellpadding=1 cellspacing=0 width=100%>";
const std::string kColumns =
    "<tr><th>Nr.</th><th>Empf\xE4nger</th><th>BLZ</th><th>Konto</th><th>Verwendungszweck</th>"
    "<th>Betrag</th></tr>";

void AddPayment(TDtaus& doc, double betrag, std::initializer_list<std::string_view> purposes,
                std::string_view name = "Max Muster") {
  doc.AddSatzC(betrag, "100 200 30", "4711", name, purposes);
}

// A document as a successful load leaves it.
void Fill(TDtaus& doc) {
  doc.SatzA->Datum = {2002, 12, 31};
  doc.SatzA->Art = "Lastschriften";
  doc.SatzA->Name = "Firma [A] & Co";
  doc.SatzA->BLZ = "123 456 78";
  doc.SatzA->Konto = "1234567";
  doc.SatzA->Referenz = "R<1>";
  doc.SatzA->Euro = true;
  doc.SatzE->Anzahl = 2;
  doc.SatzE->SummeEuro = 1234567.5;
  doc.SatzE->SummeDM = 3.0;
  doc.SatzE->SummeBLZ = 200400060;
  doc.SatzE->SummeKonto = -9422;
  AddPayment(doc, 1234.5, {"Miete [\\] ~", "   "});
  AddPayment(doc, 0.1, {"Nur eine Zeile"}, "A<b>&");
}

std::string SummaryRow(const std::string& name, const std::string& total, const std::string& art,
                       const std::string& count, const std::string& referenz) {
  return "<tr><td valign=top><table border=0><tr><td>Name:</td><td><b>" + name +
         "</b></td></tr><tr><td>BLZ:</td><td><b>123 456 78</b></td></tr><tr><td>Konto:</td><td><b>"
         "1234567</b></td></tr></table></td><td align=right><table border=0><tr><td>Gesamtsumme:"
         "</td><td><b>" +
         total + "</b></td></tr><tr><td>Art:</td><td><b>" + art +
         "</b></td></tr><tr><td>S\xE4tze:</td><td><b>" + count +
         "</b></td></tr><tr><td>Referenz:</td><td><b>" + referenz + "</b></td></tr></table></td></tr>";
}

std::string PaymentRow(int nr, const std::string& name, const std::string& purpose,
                       const std::string& amount) {
  return "<tr><td valign=top>" + std::to_string(nr) + "</td><td valign=top>" + name +
         "</td><td valign=top align=right>100 200 30</td><td valign=top align=right>4711</td><td>" + purpose +
         "</td><td valign=top align=right>" + amount + "</td></tr>";
}

TEST(ControlList, RendersEveryLineOfALoadedDocument) {
  TDtaus doc;
  Fill(doc);
  TLineList lines;
  doc.RenderControlList(lines, "Fu&szlig; <a href=x>1.02</a>", kDE);

  const TLineList expected = {
      kHead + "31.12.2002</b><br>",
      kTable,
      SummaryRow("Firma [A] &amp; Co", "1.234.567,50 EUR", "Lastschriften", "2", "R&lt;1&gt;"),
      "</table>",
      kTable,
      kColumns,
      PaymentRow(1, "Max Muster", "Miete \xC4\xD6\xDC ~<br>   ", "1.234,50 EUR"),
      PaymentRow(2, "A&lt;b&gt;&amp;", "Nur eine Zeile", "0,10 EUR"),
      "</table>",
      "<br>BLZ-Pr\xFC"
      "fsumme: 200400060<br>Konto-Pr\xFC"
      "fsumme: -9422",
      "<br><br><table border=0 cellpadding=1 cellspacing=0 width=100%>",
      "<tr><td align=right>Gesamtsumme: <b>1.234,60 EUR</b></td></tr>",
      "</table>",
      "<hr><font color=\"#cccccc\">Fu&szlig; <a href=x>1.02</a></font></p></body></html>"};
  EXPECT_EQ(lines, expected);
}

TEST(ControlList, DmFileUsesTheDmTotalAndUsSeparators) {
  TDtaus doc;
  Fill(doc);
  doc.SatzA->Euro = false;
  doc.SatzE->SummeDM = -1234.5;
  TLineList lines;
  doc.RenderControlList(lines, "", kUS);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[0], kHead + "12/31/2002</b><br>");
  EXPECT_EQ(lines[2], SummaryRow("Firma [A] &amp; Co", "-1,234.50 DM", "Lastschriften", "2", "R&lt;1&gt;"));
  EXPECT_EQ(lines[6], PaymentRow(1, "Max Muster", "Miete \xC4\xD6\xDC ~<br>   ", "1,234.50 DM"));
  EXPECT_EQ(lines[11], "<tr><td align=right>Gesamtsumme: <b>1,234.60 DM</b></td></tr>");
}

TEST(ControlList, EmptyPaymentListGivesTwelveLinesAndAZeroTotal) {
  TDtaus doc;
  Fill(doc);
  doc.SatzCList.clear();
  TLineList lines = {"davor"};
  doc.RenderControlList(lines, "F", kDE);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "davor");
  EXPECT_EQ(lines[6], kColumns);
  EXPECT_EQ(lines[7], "</table>");
  EXPECT_EQ(lines[10], "<tr><td align=right>Gesamtsumme: <b>0,00 EUR</b></td></tr>");
}

TEST(ControlList, FailedLoadGivesOnlyTheErrorLine) {
  TDtaus doc;
  Fill(doc);  // records of an earlier file must not show
  doc.ErrorText = "/daten/a&b<c>.dta";
  TLineList lines;
  doc.RenderControlList(lines, "FOOTER", kDE);
  EXPECT_EQ(lines, TLineList{"<font face=arial color=#ff0000>Beim Lesen der Datei "
                             "/daten/a&amp;b&lt;c&gt;.dta ist ein Fehler aufgetreten.</font>"});
}

TEST(ControlList, ErrorPageShowsFileNamesInThePagesCodePage) {
  const std::pair<std::string, std::string> cases[] = {
      {"/tmp/\xC3\xBC"
       "berweisung.dta",
       "/tmp/\xFC"
       "berweisung.dta"},                        // UTF-8
      {"/tmp/b\xFCro.dta", "/tmp/b\xFCro.dta"},  // Latin-1 from an archive
      {"/tmp/\xE6\x97\xA5\xE6\x9C\xAC&.dta", "/tmp/&#26085;&#26412;&amp;.dta"},
  };
  for (const auto& [name, shown] : cases) {
    TDtaus doc;
    doc.ErrorText = name;
    TLineList lines;
    doc.RenderControlList(lines, "", kDE);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(" " + shown + " "), std::string::npos) << lines[0];
  }
}

TEST(ControlList, DatePatternLettersWindows1252LacksBecomeCharacterReferences) {
  TDtaus doc;
  Fill(doc);
  auto rs = kDE;
  rs.ShortDateFormat =
      "yyyy\xE5\xB9\xB4MM\xE6\x9C\x88"
      "dd\xE6\x97\xA5 \xC3\xA0 <";
  TLineList lines;
  doc.RenderControlList(lines, "", rs);
  EXPECT_EQ(lines.at(0), kHead + "2002&#24180;12&#26376;31&#26085; \xE0 &lt;</b><br>");
}

TEST(ControlList, RenderingTwiceGivesTheSameLines) {
  TDtaus doc;
  Fill(doc);
  TLineList first, second;
  doc.RenderControlList(first, "x", kDE);
  doc.RenderControlList(second, "x", kDE);
  EXPECT_EQ(first, second);
}

TEST(AmountFormat, RoundsToTwoDecimalsAndGroupsThousands) {
  EXPECT_EQ(FormatAmount(1234567.5, kDE), "1.234.567,50");
  EXPECT_EQ(FormatAmount(999.99, kDE), "999,99");
  EXPECT_EQ(FormatAmount(0, kDE), "0,00");
  EXPECT_EQ(FormatAmount(-0.001, kDE), "0,00");
  EXPECT_EQ(FormatAmount(-1000, kDE), "-1.000,00");
  EXPECT_EQ(FormatAmount(0.1 + 0.2, kDE), "0,30");
  EXPECT_EQ(FormatAmount(999999999999.99, kUS), "999,999,999,999.99");
  EXPECT_EQ(FormatAmount(1e20, kDE), "100.000.000.000.000.000.000,00");
  EXPECT_EQ(FormatAmount(-1.0 / 0.0, kDE), "-INF");
}

TEST(AmountFormat, CentsAndCountsAsTheListWritesThem) {
  const struct {
    std::int64_t value;
    const char* cents;
    const char* count;
  } cases[] = {
      {0, "0,00", "0"},
      {1, "0,01", "1"},
      {-5, "-0,05", "-5"},
      {123456, "1.234,56", "123.456"},
      {100000000, "1.000.000,00", "100.000.000"},
      {INT64_MIN, "-92.233.720.368.547.758,08", "-9.223.372.036.854.775.808"},
  };
  for (const auto& c : cases) {
    std::string cents, count;
    AppendCents(cents, c.value, kDE);
    AppendGroupedInt(count, c.value, kDE);
    EXPECT_EQ(cents, c.cents) << c.value;
    EXPECT_EQ(count, c.count) << c.value;
  }
  std::string plain;
  AppendCents(plain, 123456, {'\0', '.'});
  EXPECT_EQ(plain, "1234.56");
}

TEST(Umlauts, OnlyTheThreeCapitalUmlautsAreDecoded) {
  EXPECT_EQ(DecodeUmlauts("[\\]{|}~"), "\xC4\xD6\xDC{|}~");
  EXPECT_EQ(DecodeUmlauts("M[[LLER\\"), "M\xC4\xC4LLER\xD6");
  EXPECT_EQ(HtmlEscape("\"a\" & <b> \xE4"), "\"a\" &amp; &lt;b&gt; \xE4");
}

}  // namespace

TEST(Umlauts, OnePassDecodingAgreesWithDecodeThenEscape) {
  std::string every;
  for (int b = 1; b < 256; ++b) every += static_cast<char>(b);
  for (const std::string& text : {every, std::string("[[\\]]<&>"), std::string()}) {
    std::string fast;
    AppendDecodedEscaped(fast, text);
    EXPECT_EQ(fast, HtmlEscape(DecodeUmlauts(text)));
  }
}
