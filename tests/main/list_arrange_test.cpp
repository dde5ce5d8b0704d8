// Sorting and filtering the list, the strip that sums what is selected or shown, and where
// the keys go when a bar closes.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>
#include <limits>

#include <QClipboard>
#include <QMimeData>
#include "filter_bar.h"
#include "find_bar.h"
#include "goto_bar.h"
#include "help_window.h"
#include "list_arranger.h"
#include "summary_text.h"
#include "view_commands.h"
#include "viewer_fixture.h"

namespace quandel::test {
namespace {

testdta::CRecord Pay(const std::string& name, std::int64_t cents, const std::string& konto,
                     const std::string& purpose) {
  testdta::CRecord c = Payment(name, cents, purpose);
  c.konto = konto;
  return c;
}

class ArrangeTest : public ViewerTest {
 protected:
  // Two payments to ABEL of the same amount, MÜLLER stored as "M]LLER", accounts whose order
  // as numbers is not their order as texts.
  void SetUp() override {
    file = WriteSample("liste.dta", {
                                        Pay("MUELLER", 50000, "0000000100", "RECHNUNG B"),
                                        Pay("ABEL", 125000, "0000000009", "rechnung a"),
                                        Pay("M]LLER", 10000000, "0000000010", "GUTSCHRIFT"),
                                        Pay("ABEL", 125000, "0000000009", "RECHNUNG C"),
                                        Pay("ZANDER", 9966, "0000001000", "ANZAHLUNG"),
                                    });
    form = Start({QString::fromStdString(file)});
    form->show();
    WaitUntilLoaded(*form);
    commands = form->viewCommands;
    list = form->WebBrowser1->listView();
  }

  // The payments' numbers in the order shown.
  std::vector<int> Shown() const {
    std::vector<int> numbers;
    for (int row = 0; row < list->rowCount(); ++row) numbers.push_back(list->cellText(row, 0).toInt());
    return numbers;
  }
  // A click on the column's header where it stands now.
  void ClickHeader(int column) {
    const QRect cell = list->cellRect(0, column);
    const QPoint at(cell.center().x(), cell.top() - 3);
    ASSERT_EQ(list->headerColumnAt(at), column);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }
  void Filter(const QString& text, const QString& amounts = {}, bool flagged = false) {
    commands->filterOpen->trigger();
    TFilterBar* bar = commands->filterBar();
    bar->textEdit()->setText(text);
    bar->amountEdit()->setText(amounts);
    bar->flaggedBox()->setChecked(flagged);
    QTest::keyClick(bar->textEdit(), Qt::Key_Return);
    commands->arranger()->waitForIdle();
  }
  QString Summary() const { return list->summaryStrip()->text(); }

  std::string file;
  std::unique_ptr<TmainForm> form;
  TViewCommands* commands = nullptr;
  TControlListView* list = nullptr;
};

TEST_F(ArrangeTest, HeaderClicksSortUpDownAndBackToTheFile) {
  struct Case {
    int column;
    std::vector<int> ascending;
    std::vector<int> descending;
  };
  // Equal keys keep the file's order either way.
  const Case cases[] = {
      {kColNumber, {1, 2, 3, 4, 5}, {5, 4, 3, 2, 1}}, {kColName, {2, 4, 1, 3, 5}, {5, 3, 1, 2, 4}},
      {kColKonto, {2, 4, 3, 1, 5}, {5, 1, 3, 2, 4}},  {kColPurpose, {5, 3, 2, 1, 4}, {4, 1, 2, 3, 5}},
      {kColAmount, {5, 1, 2, 4, 3}, {3, 2, 4, 1, 5}},
  };
  for (const Case& c : cases) {
    ClickHeader(c.column);
    EXPECT_EQ(list->sortOrder(), (TSortOrder{c.column, false})) << c.column;
    EXPECT_EQ(Shown(), c.ascending) << c.column;
    ClickHeader(c.column);
    EXPECT_EQ(list->sortOrder(), (TSortOrder{c.column, true})) << c.column;
    EXPECT_EQ(Shown(), c.descending) << c.column;
    ClickHeader(c.column);
    EXPECT_FALSE(list->sortOrder().active()) << c.column;
    EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 3, 4, 5})) << c.column;
  }
}

TEST_F(ArrangeTest, SortingKeepsTheSelectedPaymentsAndThePage) {
  const QString before = ViewText(*form);
  list->clickRow(1, Qt::NoModifier);
  list->clickRow(2, Qt::ControlModifier);  // payments 2 and 3
  ClickHeader(kColAmount);
  ClickHeader(kColAmount);  // 3, 2, 4, 1, 5
  EXPECT_EQ(list->selection().ranges(), (std::vector<std::pair<int, int>>{{0, 2}}));
  EXPECT_EQ(list->selection().cursor(), 0);
  // The summary and the check sums around the rows are still the file's.
  const auto head = [](const QString& text) { return text.left(text.indexOf(QStringLiteral("Nr."))); };
  const auto tail = [](const QString& text) {
    return text.mid(text.lastIndexOf(QStringLiteral("ANZAHLUNG")));
  };
  EXPECT_EQ(head(ViewText(*form)), head(before));
  EXPECT_FALSE(head(before).isEmpty());
  EXPECT_EQ(tail(ViewText(*form)).section(u'\n', 1), tail(before).section(u'\n', 1));
}

TEST_F(ArrangeTest, FilterShowsTheRowsThatMatch) {
  list->setFlaggedRows(std::make_shared<const std::vector<TRowFlag>>(
      std::vector<TRowFlag>{{0, false}, {3, true}, {4, false}}));
  struct Case {
    QString text;
    QString amounts;
    bool flagged;
    std::vector<int> shown;
  };
  const Case cases[] = {
      {QStringLiteral("abel"), {}, false, {2, 4}},
      {QStringLiteral("M]LLER"), {}, false, {1, 3}},
      {QStringLiteral("rechnung"), {}, false, {1, 2, 4}},
      // As the find finds: umlauts in any spelling, numbers without blanks, amounts as typed.
      {QStringLiteral("müller"), {}, false, {1, 3}},
      {QStringLiteral("MUELLER"), {}, false, {1, 3}},
      {QStringLiteral("87654321"), {}, false, {1, 2, 3, 4, 5}},
      {QStringLiteral("876 543 21"), {}, false, {1, 2, 3, 4, 5}},
      {QStringLiteral("1250"), {}, false, {2, 4}},
      {QStringLiteral("1250.00"), {}, false, {2, 4}},
      {QStringLiteral("100000"), {}, false, {3}},
      {QStringLiteral("12500"), {}, false, {}},
      {{}, QStringLiteral("1000..2000"), false, {2, 4}},
      {{}, QStringLiteral("..500"), false, {1, 5}},
      {{}, QStringLiteral("1.250,00"), false, {2, 4}},
      {{}, QStringLiteral("99,66..1250.00"), false, {1, 2, 4, 5}},
      {QStringLiteral("rechnung"), QStringLiteral("..1000"), false, {1}},
      {{}, {}, true, {1, 4, 5}},
      {QStringLiteral("abel"), {}, true, {4}},
      {QStringLiteral("niemand"), {}, false, {}},
      {{}, {}, false, {1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    Filter(c.text, c.amounts, c.flagged);
    EXPECT_EQ(Shown(), c.shown) << c.text.toStdString() << " " << c.amounts.toStdString();
  }
  // A range that is none says so and filters nothing by amount.
  Filter({}, QStringLiteral("100..x"));
  EXPECT_EQ(Shown().size(), 5U);
  EXPECT_FALSE(commands->filterBar()->noteLabel()->text().isEmpty());
}

TEST_F(ArrangeTest, FilterAndSortTogetherAndClosingShowsAllAgain) {
  list->setFlaggedRows(
      std::make_shared<const std::vector<TRowFlag>>(std::vector<TRowFlag>{{1, false}, {2, false}}));
  ClickHeader(kColAmount);
  ClickHeader(kColAmount);
  Filter(QStringLiteral("rechnung"));
  EXPECT_EQ(Shown(), (std::vector<int>{2, 4, 1}));
  // The marks follow their payments into the new rows.
  EXPECT_TRUE(list->isFlagged(0));
  EXPECT_FALSE(list->isFlagged(1));
  // Gehe zu Zahlung counts the file's payments and finds the row where it stands now.
  EXPECT_TRUE(list->setCurrentPayment(0));
  EXPECT_EQ(list->selection().cursor(), 2);
  EXPECT_FALSE(list->setCurrentPayment(4));
  // The go-to bar says so and stays open.
  commands->goToPayment->trigger();
  commands->goToBar()->edit()->setText(QStringLiteral("5"));
  QTest::keyClick(commands->goToBar()->edit(), Qt::Key_Return);
  EXPECT_TRUE(commands->goToBar()->isVisible());
  EXPECT_EQ(commands->goToBar()->noteLabel()->text(),
            QStringLiteral("Zahlung 5 ist durch den Filter ausgeblendet"));
  commands->goToBar()->edit()->setText(QStringLiteral("4"));
  QTest::keyClick(commands->goToBar()->edit(), Qt::Key_Return);
  EXPECT_TRUE(commands->goToBar()->isHidden());
  EXPECT_EQ(list->selection().cursor(), 1);
  commands->filterOpen->trigger();
  QTest::keyClick(commands->filterBar()->textEdit(), Qt::Key_Escape);
  EXPECT_TRUE(commands->filterBar()->isHidden());
  EXPECT_EQ(Shown(), (std::vector<int>{3, 2, 4, 1, 5}));
}

TEST_F(ArrangeTest, StripSumsWhatIsSelectedOrShownInCents) {
  struct Case {
    QString filter;
    std::vector<std::pair<int, Qt::KeyboardModifiers>> clicks;
    QString text;
  };
  const Case cases[] = {
      {{}, {}, QStringLiteral("5 Zahlungen · Summe 103.099,66 EUR")},
      {{}, {{1, Qt::NoModifier}}, QStringLiteral("1 Zahlung ausgewählt · Summe 1.250,00 EUR")},
      {{},
       {{1, Qt::NoModifier}, {3, Qt::ControlModifier}},
       QStringLiteral("2 Zahlungen ausgewählt · Summe 2.500,00 EUR")},
      {{},
       {{0, Qt::NoModifier}, {4, Qt::ShiftModifier}},
       QStringLiteral("5 Zahlungen ausgewählt · Summe 103.099,66 EUR")},
      {{},
       {{0, Qt::NoModifier}, {4, Qt::ControlModifier}},
       QStringLiteral("2 Zahlungen ausgewählt · Summe 599,66 EUR")},
      {QStringLiteral("abel"), {}, QStringLiteral("2 von 5 Zahlungen gezeigt · Summe 2.500,00 EUR")},
      {QStringLiteral("rechnung"),
       {{1, Qt::NoModifier}},
       QStringLiteral("1 von 3 gezeigten Zahlungen ausgewählt · Summe 1.250,00 EUR")},
  };
  for (const Case& c : cases) {
    Filter(c.filter);
    list->setCurrentRow(-1);
    for (const auto& [row, modifiers] : c.clicks) list->clickRow(row, modifiers);
    EXPECT_EQ(Summary(), c.text) << c.filter.toStdString() << " " << c.clicks.size();
  }
  // The strip lies under the rows, inside the list.
  EXPECT_TRUE(list->summaryStrip()->isVisible());
  EXPECT_EQ(list->summaryStrip()->parentWidget(), list);
  EXPECT_GE(list->summaryStrip()->geometry().top(), list->viewport()->geometry().bottom());
}

TEST_F(ArrangeTest, HeaderStaysInSightWhileTheRowsScroll) {
  // Enough rows to scroll far past the header.
  std::vector<testdta::CRecord> many;
  for (int i = 0; i < 300; ++i) many.push_back(Payment("EMPFAENGER " + std::to_string(i), 100 + i, "Z"));
  form->ShowFile(QString::fromStdString(WriteSample("viele.dta", many)));
  WaitUntilLoaded(*form);
  list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() / 2);
  const int x = list->cellRect(0, kColAmount).center().x();
  EXPECT_EQ(list->headerColumnAt(QPoint(x, 2)), kColAmount);
  // What lies under the header is no row to click.
  EXPECT_EQ(list->cellAt(QPoint(x, 2)).first, -1);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 2));
  EXPECT_EQ(list->sortOrder(), (TSortOrder{kColAmount, false}));
  // A row moved into sight by the keys is not hidden under the header.
  list->setCurrentRow(150);
  list->setCurrentRow(100);
  EXPECT_GE(list->cellRect(100, 0).top(), list->cellRect(100, 0).height());
}

TEST_F(ArrangeTest, FocusGoesBackToTheListWhenABarCloses) {
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  struct Case {
    QAction* open;
    std::function<QWidget*()> field;
    std::function<void(QWidget*)> close;
  };
  const auto escape = [](QWidget* field) { QTest::keyClick(field, Qt::Key_Escape); };
  const auto closeButton = [](QWidget* field) {
    QTest::mouseClick(field->parentWidget()->findChild<QToolButton*>(QStringLiteral("FindClose")), Qt::LeftButton);
  };
  const Case cases[] = {
      {commands->findOpen, [this] { return commands->findBar()->edit(); }, escape},
      {commands->findOpen, [this] { return commands->findBar()->edit(); }, closeButton},
      {commands->goToPayment, [this] { return commands->goToBar()->edit(); }, escape},
      {commands->filterOpen, [this] { return commands->filterBar()->textEdit(); }, escape},
      {commands->goToPayment, [this] { return commands->goToBar()->edit(); },
       [](QWidget* field) {
         QTest::keyClicks(field, QStringLiteral("4"));
         QTest::keyClick(field, Qt::Key_Return);
       }},
  };
  for (const Case& c : cases) {
    c.open->trigger();
    QWidget* field = c.field();
    EXPECT_EQ(QApplication::focusWidget(), field) << c.open->text().toStdString();
    c.close(field);
    EXPECT_EQ(QApplication::focusWidget(), list) << c.open->text().toStdString();
  }
  // After Gehe zu Zahlung 4 the arrow keys go on from there.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(list->selection().cursor(), 4);
}

TEST_F(ArrangeTest, KeysForMenuHelpZoomAndTab) {
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  list->setFocus();
  list->setCurrentRow(2);

  // Umschalt+F10 and the menu key bring up the list's menu at the cursor row's name.
  QSignalSpy menus(list, &QWidget::customContextMenuRequested);
  for (const QKeyCombination key :
       {QKeyCombination(Qt::ShiftModifier, Qt::Key_F10), QKeyCombination(Qt::Key_Menu)}) {
    QTimer::singleShot(0, [] {
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    QTest::keyClick(list, key.key(), key.keyboardModifiers());
  }
  ASSERT_EQ(menus.count(), 2);
  EXPECT_EQ(list->cellAt(menus.at(0).at(0).toPoint()), std::make_pair(2, static_cast<int>(kColName)));
  // The arrows move the cell cursor, which "Zelle kopieren" then copies.
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  list->setFocus();
  for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left})
    QTest::keyClick(list, key);
  EXPECT_EQ(list->currentColumn(), kColKonto);
  QTimer::singleShot(0, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_EQ(menus.count(), 3);
  EXPECT_EQ(list->cellAt(menus.at(2).at(0).toPoint()), std::make_pair(2, static_cast<int>(kColKonto)));
  commands->editCopyCell->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), list->cellText(2, kColKonto));
  for (int i = 0; i < 8; ++i) QTest::keyClick(list, Qt::Key_Left);
  EXPECT_EQ(list->currentColumn(), kColNumber);

  // Strg+Mausrad zooms in and out, over the list as over the page.
  const int before = commands->zoom();
  const QPoint at = list->viewport()->rect().center();
  for (const int delta : {120, -120, -120}) {
    QWheelEvent wheel(at, list->viewport()->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list->viewport(), &wheel);
  }
  EXPECT_LT(commands->zoom(), before);
  EXPECT_EQ(list->verticalScrollBar()->value(), 0);

  // The menus took the window's activity with them.
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  list->setFocus();
  // F1: the keys of the list and every command with its shortcut, in German.
  QTest::keyClick(list, Qt::Key_F1);
  ASSERT_NE(commands->helpWindow(), nullptr);
  EXPECT_TRUE(commands->helpWindow()->isVisible());
  const QString help = commands->helpWindow()->text()->toPlainText();
  for (const char* expected :
       {"Umschalt+F10", "Strg+Mausrad", "Filtern", "Strg+Umschalt+F", "Gehe zu Zahlung", "Strg+G", "Öffnen",
        "Strg+O", "Drucken", "Strg+P", "Tasten und Befehle", "F1"})
    EXPECT_TRUE(help.contains(QString::fromUtf8(expected))) << expected;
  commands->helpWindow()->close();

  // The tool bar's tooltips name the shortcuts.
  EXPECT_EQ(form->fileOpenDtaus->toolTip(), QStringLiteral("Öffnen (Strg+O)"));
  EXPECT_EQ(form->filePrint->toolTip(), QStringLiteral("Drucken (Strg+P)"));

  // Tab goes from the list to the open bar and back without scrolling the list.
  commands->findOpen->trigger();
  list->setFocus();
  list->verticalScrollBar()->setValue(0);
  list->setCurrentRow(4);
  const int top = list->verticalScrollBar()->value();
  for (int i = 0; i < 20 && QApplication::focusWidget() == list; ++i) QTest::keyClick(list, Qt::Key_Tab);
  EXPECT_TRUE(commands->findBar()->isAncestorOf(QApplication::focusWidget()));
  EXPECT_EQ(list->verticalScrollBar()->value(), top);
}

// A big list is arranged in a worker; a newer order or filter asked for meanwhile wins, and
// the rows shown are those of the last request.
TEST_F(ViewerTest, BigListsAreArrangedInAWorker) {
  const int count = TListArranger::kWorkerRows + 5000;
  std::vector<testdta::CRecord> payments;
  for (int i = 0; i < count; ++i)
    payments.push_back(
        Payment(i % 1000 == 7 ? "SELTEN " + std::to_string(i) : "OFT", (i * 7919) % 100000 + 1, "Z"));
  const auto form = Start({QString::fromStdString(WriteSample("gross.dta", payments))});
  WaitUntilLoaded(*form);
  TListArranger& arranger = *form->viewCommands->arranger();
  TControlListView& list = *form->WebBrowser1->listView();
  arranger.setSortOrder({kColAmount, true});
  EXPECT_TRUE(arranger.busy());
  TRowFilter filter;
  filter.text = QStringLiteral("selten");
  arranger.setFilter(filter);
  arranger.waitForIdle();
  EXPECT_FALSE(arranger.busy());
  ASSERT_EQ(list.rowCount(), count / 1000);
  std::int64_t previous = std::numeric_limits<std::int64_t>::max();
  for (int row = 0; row < list.rowCount(); ++row) {
    const int payment = list.model()->fileRow(row);
    EXPECT_EQ(payment % 1000, 7) << row;
    const std::int64_t cents = (std::int64_t{payment} * 7919) % 100000 + 1;
    EXPECT_LE(cents, previous) << row;
    previous = cents;
  }
  EXPECT_EQ(list.summaryStrip()->text().left(list.summaryStrip()->text().indexOf(u'·')),
            QStringLiteral("25 von 25.000 Zahlungen gezeigt "));
}

// What a spreadsheet gets from Strg+C: amounts it can sum, in the user's form, the currency
// apart, and texts that would be formulas shown as texts, in both flavours.
TEST_F(ViewerTest, ClipboardIsReadyForASpreadsheet) {
  struct Case {
    std::optional<std::string> locale;
    QString amount;
    QString amountCell;
  };
  const Case cases[] = {
      {std::nullopt, QStringLiteral("1250,00"),
       QStringLiteral("<td align=\"right\" x:num=\"1250.00\">1250,00</td>")},
      {"en_US", QStringLiteral("1250.00"),
       QStringLiteral("<td align=\"right\" x:num=\"1250.00\">1250.00</td>")},
  };
  const std::string file = WriteSample("formeln.dta", {
                                                          Payment("=SUMME(A1:A9)", 125000, "+49 RUFEN"),
                                                          Payment("-MINUS", 1, "@WERT"),
                                                          Payment("MEIER = GUT", 1234567, "ZWECK - TEIL"),
                                                      });
  for (const Case& c : cases) {
    ScopedEnv locale("LC_ALL", c.locale);
    const auto form = Start({QString::fromStdString(file)});
    WaitUntilLoaded(*form);
    form->viewCommands->editSelectAll->trigger();
    form->viewCommands->editCopy->trigger();
    const QStringList lines = QApplication::clipboard()->text().split(u'\n');
    ASSERT_EQ(lines.size(), 5) << c.amount.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Nr.\tEmpfänger\tBLZ\tKonto\tVerwendungszweck\tBetrag\tWährung"));
    const auto cells = [&lines](int line) { return lines[line].split(u'\t'); };
    EXPECT_EQ(cells(1)[1], QStringLiteral("'=SUMME(A1:A9)"));
    EXPECT_EQ(cells(1)[4], QStringLiteral("'+49 RUFEN"));
    EXPECT_EQ(cells(1)[5], c.amount);
    EXPECT_EQ(cells(1)[6], QStringLiteral("EUR"));
    EXPECT_EQ(cells(2)[1], QStringLiteral("'-MINUS"));
    EXPECT_EQ(cells(2)[4], QStringLiteral("'@WERT"));
    EXPECT_EQ(cells(2)[5],
              c.amount.startsWith(QStringLiteral("1250,")) ? QStringLiteral("0,01") : QStringLiteral("0.01"));
    // Only the first character makes a formula; grouping would make a text of the number.
    EXPECT_EQ(cells(3)[1], QStringLiteral("MEIER = GUT"));
    EXPECT_EQ(cells(3)[4], QStringLiteral("ZWECK - TEIL"));
    EXPECT_EQ(cells(3)[5], c.amount.startsWith(QStringLiteral("1250,")) ? QStringLiteral("12345,67")
                                                                        : QStringLiteral("12345.67"));
    const QString html = QApplication::clipboard()->mimeData()->html();
    EXPECT_TRUE(html.contains(c.amountCell)) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<td>'=SUMME(A1:A9)</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<th>Währung</th>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>EUR</td>")));
    // Bank code and account stay texts with their leading zeros: two cells a row, no others.
    EXPECT_EQ(html.count(QStringLiteral("mso-number-format:'\\@'")), 6) << html.toStdString();
    EXPECT_EQ(html.count(QStringLiteral("x:num=")), 3);
  }
}

TEST(SummaryText, SumsInCentsWhereDoublesWouldDrift) {
  // A thousand payments of 0,10 make 100,00 exactly; summed as doubles they would not.
  std::vector<testdta::CRecord> payments(1000, Payment("X", 10, "Z"));
  testdta::TempDir folder;
  const std::string path = folder.Write("zehner.dta", SampleFile(payments));
  auto document = std::make_shared<ombra::TDtaus>();
  document->Load(path);
  const TPaymentModel model(document, ombra::TRegionalSettings::de_DE(), "");
  EXPECT_EQ(SummaryText(model, {}), QStringLiteral("1.000 Zahlungen · Summe 100,00 EUR"));
  EXPECT_EQ(SummaryText(model, {{0, 3}, {10, 17}}),
            QStringLiteral("10 Zahlungen ausgewählt · Summe 1,00 EUR"));
  EXPECT_EQ(SummaryText(model, {{0, 1}}), QStringLiteral("1 Zahlung ausgewählt · Summe 0,10 EUR"));
  EXPECT_EQ(
      SummaryText(TPaymentModel(model, std::make_shared<const std::vector<int>>(std::vector<int>{5, 1})), {}),
      QStringLiteral("2 von 1.000 Zahlungen gezeigt · Summe 0,20 EUR"));
}

TEST(ArrangedSums, EveryRunOfRowsSumsItsPaymentsInTheShownOrder) {
  testdta::TempDir folder;
  auto document = std::make_shared<ombra::TDtaus>();
  document->Load(folder.Write("vier.dta", SampleFile({Payment("A", 1, "Z"), Payment("B", 20, "Z"),
                                                      Payment("C", 300, "Z"), Payment("D", 4000, "Z")})));
  const TPaymentModel file(document, ombra::TRegionalSettings::de_DE(), "");
  const std::vector<int> order{3, 0, 2};
  const TPaymentModel arranged(file, std::make_shared<const std::vector<int>>(order));
  const std::int64_t cents[] = {1, 20, 300, 4000};
  for (int first = 0; first <= 3; ++first)
    for (int last = first; last <= 3; ++last) {
      std::int64_t expected = 0;
      for (int row = first; row < last; ++row) expected += cents[order[static_cast<std::size_t>(row)]];
      EXPECT_EQ(arranged.centsOf(first, last), expected) << first << ".." << last;
    }
}

TEST(ShownCents, TheFilesHundredthsElseTheShownRounding) {
  // The reader's whole hundredths serve sorting, filtering, the clipboard and the sums; an
  // amount with finer parts counts as the list shows it, and what is no number has no cents.
  struct TCase {
    double amount;
    std::optional<std::int64_t> cents;
  };
  const TCase cases[] = {
      {1.10, 110},
      {999999999.99, 99999999999},
      {0.125, 13},
      {-0.125, -13},
      {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
  };
  testdta::TempDir folder;
  auto document = std::make_shared<ombra::TDtaus>();
  document->Load(folder.Write("eine.dta", SampleFile({Payment("X", 10, "Z")})));
  for (const TCase& c : cases) {
    const ombra::TSatzC& payment =
        document->AddSatzC(c.amount, "10020030", "1234", "N", std::vector<std::string>{"ZWECK"});
    EXPECT_EQ(ShownCents(payment), c.cents) << c.amount;
  }
  // 0,10 + 1,10 + 999.999.999,99 + 0,13 - 0,13; the amount that is no number leaves every sum
  // of the list's rows unsaid.
  const TPaymentModel model(document, ombra::TRegionalSettings::de_DE(), "");
  EXPECT_FALSE(model.centsOf(0, 1));
  const auto firstFive = std::make_shared<const std::vector<int>>(std::vector<int>{0, 1, 2, 3, 4});
  EXPECT_EQ(TPaymentModel(model, firstFive).centsOf(0, 5), 100000000119);
  const TPaymentModel rounded(model, std::make_shared<const std::vector<int>>(std::vector<int>{3, 0}));
  EXPECT_EQ(rounded.centsOf(0, 2), 23);
}

}  // namespace
}  // namespace quandel::test
