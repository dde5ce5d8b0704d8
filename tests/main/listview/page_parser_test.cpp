// Reading control-list pages back: cell texts as a browser shows them, and every page of
// another shape refused, so that a browser shows it instead.
#include <gtest/gtest.h>

#include <string>

#include "control_list_page.h"
#include "sample_pages.h"

using namespace quandel;
using listview_test::MixedPayments;
using listview_test::RenderedPage;

namespace {

std::string U8(QStringView text) { return text.toString().toStdString(); }

std::vector<std::string> PurposeLines(const TPaymentRows& rows, int row) {
  std::vector<std::string> lines;
  for (int line = 0; line < rows.purposeLineCount(row); ++line)
    lines.push_back(U8(rows.purposeLine(row, line)));
  return lines;
}

QByteArray Replaced(QByteArray page, const QByteArray& what, const QByteArray& by) {
  const qsizetype at = page.indexOf(what);
  EXPECT_GE(at, 0) << what.toStdString();
  return page.replace(at, what.size(), by);
}

TEST(ParseControlList, RenderedPageGivesCellsAsShown) {
  const auto page = ParseControlList(RenderedPage(MixedPayments()));
  ASSERT_TRUE(page.has_value());
  EXPECT_EQ(U8(page->title), "Datenträger-Kontrolliste vom 26.12.2008");
  const TPaymentRows& rows = page->rows;
  ASSERT_EQ(rows.size(), 3);

  // 0xC4, 0xE4, 0xF6 and 0x80 decoded; &amp; &lt; &gt; unescaped; blank runs as one.
  EXPECT_EQ(U8(rows.cell(0, kColNumber)), "1");
  EXPECT_EQ(U8(rows.cell(0, kColName)), "BÄR & SöHNE <GMBH>");
  EXPECT_EQ(U8(rows.cell(1, kColName)), "KäSEREI ALPEN");
  EXPECT_EQ(U8(rows.cell(2, kColName)), "€-KONTO");
  EXPECT_EQ(U8(rows.cell(2, kColNumber)), "3");
  EXPECT_EQ(U8(rows.cell(0, kColBlz)), "500 100 60");
  EXPECT_EQ(U8(rows.cell(0, kColKonto)), "1000021");
  EXPECT_EQ(U8(rows.cell(0, kColAmount)), "1.234,50 EUR");
  EXPECT_EQ(U8(rows.cell(1, kColAmount)), "0,10 EUR");
  EXPECT_EQ(U8(rows.cell(2, kColAmount)), "-25,00 EUR");

  EXPECT_EQ(PurposeLines(rows, 0),
            (std::vector<std::string>{"RECHNUNG 4711", "KUNDE Ä12Ü X", "Beträge <netto>"}));
  EXPECT_EQ(PurposeLines(rows, 1), std::vector<std::string>{"NUR EINE ZEILE"});
  // A blank line inside the cell stays; a break at its very end starts no line.
  EXPECT_EQ(PurposeLines(rows, 2), (std::vector<std::string>{"ERSTE", "", "DRITTE"}));
  EXPECT_EQ(rows.purposeLinesBefore(0), 0);
  EXPECT_EQ(rows.purposeLinesBefore(2), 4);
}

TEST(ParseControlList, KeepsSummaryAndTrailerAsHtml) {
  const auto page = ParseControlList(RenderedPage(MixedPayments()));
  ASSERT_TRUE(page.has_value());
  EXPECT_TRUE(page->headHtml.contains(u"Datenträger-Kontrolliste vom 26.12.2008"));
  EXPECT_TRUE(page->headHtml.contains(u"<b>MUSTERFIRMA &amp; CO</b>"));
  EXPECT_TRUE(page->headHtml.contains(u"Sätze:"));
  EXPECT_FALSE(page->headHtml.contains(u"Verwendungszweck"));
  EXPECT_TRUE(page->tailHtml.contains(u"BLZ-Prüfsumme: 150300090"));
  EXPECT_TRUE(page->tailHtml.contains(u"Gesamtsumme: <b>1.209,60 EUR</b>"));
  EXPECT_TRUE(page->tailHtml.contains(u"<a href=\"https://quandel.example.org/\">"));
  EXPECT_TRUE(page->tailHtml.contains(u"Quandel ©"));
  EXPECT_FALSE(page->tailHtml.contains(u'\r'));
}

TEST(ParseControlList, PageWithoutPayments) {
  const auto page = ParseControlList(RenderedPage({}));
  ASSERT_TRUE(page.has_value());
  EXPECT_TRUE(page->rows.empty());
  EXPECT_TRUE(page->tailHtml.contains(u"Gesamtsumme: <b>0,00 EUR</b>"));
}

TEST(ParseControlList, AcceptsBareLineFeedsAndAMissingLastLineEnd) {
  QByteArray page = RenderedPage(MixedPayments());
  page.replace("\r\n", "\n");
  EXPECT_TRUE(ParseControlList(page).has_value());
  page.chop(1);
  const auto parsed = ParseControlList(page);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->rows.size(), 3);
}

TEST(ParseControlList, RefusesPagesOfOtherShapes) {
  EXPECT_FALSE(ParseControlList(listview_test::ErrorPage()).has_value());
  EXPECT_FALSE(ParseControlList("<html><body><p>Hallo</p></body></html>\r\n").has_value());
  EXPECT_FALSE(ParseControlList(QByteArray()).has_value());
}

TEST(ParseControlList, RefusesAlteredControlLists) {
  const QByteArray page = RenderedPage(MixedPayments());
  const QByteArray row = "<tr><td valign=top>2</td>";
  const qsizetype secondRow = page.indexOf(row);
  ASSERT_GT(secondRow, 0);
  const struct {
    const char* what;
    QByteArray page;
  } cases[] = {
      {"other title", Replaced(page, "Kontrolliste vom", "Kontrollliste vom")},
      {"cell attribute", Replaced(page, "<td valign=top align=right>500", "<td align=right>500")},
      {"markup in a cell", Replaced(page, "RECHNUNG 4711", "<i>RECHNUNG</i>")},
      {"bare > in a cell", Replaced(page, "NUR EINE ZEILE", "NUR > EINE")},
      {"other entity", Replaced(page, "B\xC4R &amp;", "B&auml;R")},
      {"row cut short", Replaced(page, "0,10 EUR</td></tr>", "0,10 EUR</td>")},
      {"other column header", Replaced(page, "<th>Betrag</th>", "<th>Summe</th>")},
      {"summary not closed", Replaced(page, "</table></td></tr>\r\n</table>", "</table></td></tr>\r\n")},
      {"no footer", page.left(page.indexOf("<hr>"))},
      {"page ends in the rows", page.left(secondRow)},
      {"line after the footer", page + "\r\n"},
      {"other footer colour", Replaced(page, "#cccccc", "#000000")},
  };
  for (const auto& c : cases) EXPECT_FALSE(ParseControlList(c.page).has_value()) << c.what;
}

// Damaged pages are refused or read whole; every cell of what is read can be reached.
TEST(ParseControlList, SurvivesDamagedPages) {
  const QByteArray page = RenderedPage(MixedPayments());
  const char replacements[] = {'<', '>', '&', '\n', '\r', ' ', '\0', 'x'};
  int read = 0;
  for (qsizetype at = 0; at < page.size(); ++at) {
    for (const char by : replacements) {
      QByteArray damaged = page;
      damaged[at] = by;
      for (const QByteArray& candidate : {damaged, page.left(at)}) {
        const auto parsed = ParseControlList(candidate);
        if (!parsed) continue;
        ++read;
        const TPaymentRows& rows = parsed->rows;
        for (int row = 0; row < rows.size(); ++row) {
          ASSERT_GE(rows.purposeLineCount(row), 1);
          std::size_t length = rows.cell(row, kColAmount).size() + rows.cell(row, kColName).size();
          for (int line = 0; line < rows.purposeLineCount(row); ++line)
            length += rows.purposeLine(row, line).size();
          EXPECT_LT(length, static_cast<std::size_t>(page.size()));
        }
      }
    }
  }
  // Blanks and letters inside the cells leave a control list.
  EXPECT_GT(read, 100);
}

TEST(ParseControlList, RowsOfABigPage) {
  const auto page = ParseControlList(listview_test::NumberedPage(3000));
  ASSERT_TRUE(page.has_value());
  ASSERT_EQ(page->rows.size(), 3000);
  EXPECT_EQ(U8(page->rows.cell(2999, kColNumber)), "3000");
  EXPECT_EQ(U8(page->rows.cell(2999, kColName)), "EMPFÄNGER NR 3000");
  EXPECT_EQ(page->rows.purposeLineCount(2999), 3);
  EXPECT_EQ(U8(page->rows.purposeLine(2999, 2)), "ZEILE 3");
  EXPECT_EQ(page->rows.purposeLinesBefore(3000), 6000);
}

}  // namespace
