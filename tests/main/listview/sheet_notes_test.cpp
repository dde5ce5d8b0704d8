// What a printed sheet says around the page: the extract's title and sums, and a sheet's sum
// with what the sheets before it carried.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sample_lists.h"
#include "sheet_notes.h"

using namespace quandel;

namespace {

// Payments of 1.000,00, 1.001,00, 1.002,00 and 1.003,00 EUR.
std::shared_ptr<TPaymentModel> Four() { return listview_test::NumberedList(4); }

TEST(SheetNotes, ExtractSaysWhatIsPrintedBesideTheFile) {
  struct Case {
    const char* name;
    std::vector<int> shown;  // the list's rows as file rows; empty for all in file order
    std::vector<std::pair<int, int>> printed;
    QString expected;  // empty: no extract
  };
  const QString file = QStringLiteral(" · Datei: 4 Zahlungen, 4.006,00 EUR");
  const std::vector<Case> cases{
      {"every payment", {}, {{0, 4}}, {}},
      {"two rows selected",
       {},
       {{1, 3}},
       "Auszug: 2 von 4 Zahlungen<br>Summe des Auszugs: 2.003,00 EUR" + file},
      {"rows apart",
       {},
       {{0, 1}, {3, 4}},
       "Auszug: 2 von 4 Zahlungen<br>Summe des Auszugs: 2.003,00 EUR" + file},
      {"one row", {}, {{2, 3}}, "Auszug: 1 von 4 Zahlungen<br>Summe des Auszugs: 1.002,00 EUR" + file},
      // A filtered list printed whole is no more than part of the file either.
      {"filtered list",
       {3, 0, 2},
       {{0, 3}},
       "Auszug: 3 von 4 Zahlungen<br>Summe des Auszugs: 3.005,00 EUR" + file},
      {"filtered, one selected",
       {3, 0, 2},
       {{0, 1}},
       "Auszug: 1 von 4 Zahlungen<br>Summe des Auszugs: 1.003,00 EUR" + file},
  };
  const std::shared_ptr<TPaymentModel> whole = Four();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::shared_ptr<TPaymentModel> list =
        c.shown.empty()
            ? whole
            : std::make_shared<TPaymentModel>(*whole, std::make_shared<std::vector<int>>(c.shown));
    QString html = ExtractHtml(*list, c.printed);
    html.remove(QStringLiteral("<p><b>")).remove(QStringLiteral("</b>")).remove(QStringLiteral("</p>"));
    EXPECT_EQ(html, c.expected);
  }
}

TEST(SheetNotes, SheetSumAndCarriedSum) {
  struct Case {
    std::optional<std::int64_t> carried, sheet;
    const char* expected;
  };
  const std::shared_ptr<TPaymentModel> list = Four();
  for (const Case& c : std::vector<Case>{
           {std::nullopt, 123456, "Summe dieser Seite: 1.234,56 EUR"},
           {100, 5, "Übertrag: 1,00 EUR · Summe dieser Seite: 0,05 EUR"},
           {-250, 0, "Übertrag: -2,50 EUR · Summe dieser Seite: 0,00 EUR"},
           // A last sheet with no rows, only the page's end.
           {400600, std::nullopt, "Übertrag: 4.006,00 EUR"},
           {std::nullopt, std::nullopt, ""},
       })
    EXPECT_EQ(SheetSumText(c.carried, c.sheet, *list), QString::fromUtf8(c.expected));
}

TEST(SheetNotes, VerdictBlockAndWhichTotalIsWhich) {
  const std::shared_ptr<TPaymentModel> list = Four();
  TSheetFrame frame;
  EXPECT_FALSE(NotesHtml(frame, *list).contains(QStringLiteral("Prüfergebnis")));
  EXPECT_TRUE(NotesHtml(frame, *list)
                  .contains(QStringLiteral("„Gesamtsumme“ im Kopf der Liste ist die Angabe des E-Satzes")));
  frame.verdict << QStringLiteral("Datei in sich stimmig") << QStringLiteral("Zahlung 1: <Name> & Co");
  const QString html = NotesHtml(frame, *list);
  EXPECT_TRUE(html.contains(
      QStringLiteral("<b>Prüfergebnis</b><br>Datei in sich stimmig<br>Zahlung 1: &lt;Name&gt; &amp; Co")))
      << html.toStdString();
  frame.fileName = QStringLiteral("/daten/a.dta");
  frame.fileTime = QStringLiteral("01.02.2003 04:05:06");
  frame.printTime = QStringLiteral("10.12.2026 15:00:00");
  EXPECT_EQ(SheetFileText(frame), QStringLiteral("/daten/a.dta · Datei vom 01.02.2003 04:05:06"));
  EXPECT_EQ(SheetTimeText(frame), QStringLiteral("gedruckt am 10.12.2026 15:00:00"));
}

}  // namespace
