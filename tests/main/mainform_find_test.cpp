// Working with the list in the window: find, "Gehe zu Zahlung", selection, copy, context menu.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include "find_bar.h"
#include "finder.h"
#include "goto_bar.h"
#include "row_copy.h"
#include "view_commands.h"
#include "viewer_fixture.h"

namespace quandel::test {
namespace {

class FindTest : public ViewerTest {
 protected:
  // 200 payments; every 20th, from the 5th on, goes to "MÜLLER".
  void SetUp() override {
    std::vector<testdta::CRecord> payments;
    for (int i = 1; i <= 200; ++i)
      payments.push_back(Payment(i % 20 == 5 ? "M\xDC"
                                               "LLER " +
                                                   std::to_string(i)
                                             : "EMPFAENGER " + std::to_string(i),
                                 100 * i, "ZWECK " + std::to_string(i)));
    file = WriteSample("liste.dta", payments);
    form = Start({QString::fromStdString(file)});
    form->show();
    WaitUntilLoaded(*form);
    commands = form->viewCommands;
    list = form->WebBrowser1->listView();
  }

  void Type(const QString& text) {
    commands->findOpen->trigger();
    commands->findBar()->edit()->setText(text);
    commands->finder()->waitForIdle();
  }
  QString Count() const { return commands->findBar()->countLabel()->text(); }
  static QString Clipboard() { return QApplication::clipboard()->text(); }

  std::string file;
  std::unique_ptr<TmainForm> form;
  TViewCommands* commands = nullptr;
  TControlListView* list = nullptr;
};

TEST_F(FindTest, FindsStepsRoundAndCounts) {
  Type(QStringLiteral("müller"));
  EXPECT_TRUE(commands->findBar()->isVisible());
  EXPECT_EQ(list->highlightedRow(), 4) << list->cellText(4, 1).toStdString();
  EXPECT_EQ(Count(), QStringLiteral("1 von 10"));
  struct Step {
    QAction* action;
    int row;
    QString count;
  };
  const std::vector<Step> steps{{commands->findNext, 24, "2 von 10"},
                                {commands->findPrevious, 4, "1 von 10"},
                                {commands->findPrevious, 184, "10 von 10"},
                                {commands->findNext, 4, "1 von 10"}};
  for (const Step& step : steps) {
    step.action->trigger();
    EXPECT_EQ(list->highlightedRow(), step.row);
    EXPECT_EQ(list->selection().cursor(), step.row);
    EXPECT_EQ(Count(), step.count);
  }
  // Enter in the bar goes on, Umschalt+Enter back.
  QTest::keyClick(commands->findBar()->edit(), Qt::Key_Return);
  EXPECT_EQ(list->highlightedRow(), 24);
  QTest::keyClick(commands->findBar()->edit(), Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(list->highlightedRow(), 4);

  Type(QStringLiteral("zweck 1"));
  // From the current hit on.
  EXPECT_EQ(Count(), QStringLiteral("2 von 111"));
  Type(QStringLiteral("nirgends"));
  EXPECT_EQ(Count(), QStringLiteral("Keine Treffer"));
}

// The names are stored as "M\xDCLLER"; every payment goes to BLZ 876 543 21; payment i has
// i,00 EUR.
TEST_F(FindTest, FindsAsTypedAndMarksWhereItFound) {
  struct Case {
    QString typed;
    int row;
    QString count;
    int column;
    std::vector<std::pair<int, int>> marked;
  };
  const Case cases[] = {
      {QStringLiteral("M]LLER"), 4, QStringLiteral("1 von 10"), 1, {{0, 6}}},
      {QStringLiteral("mueller 2"), 24, QStringLiteral("1 von 1"), 1, {{0, 8}}},
      {QStringLiteral("Müller"), 4, QStringLiteral("1 von 10"), 1, {{0, 6}}},
      {QStringLiteral("87654321"), 0, QStringLiteral("1 von 200"), 2, {{0, 10}}},
      {QStringLiteral("876 543"), 0, QStringLiteral("1 von 200"), 2, {{0, 7}}},
      {QStringLiteral("150"), 149, QStringLiteral("1 von 1"), 5, {{0, 6}}},
      {QStringLiteral("1.5"), 0, QStringLiteral("Keine Treffer"), 5, {}},
      {QStringLiteral("150.00"), 149, QStringLiteral("1 von 1"), 5, {{0, 6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    list->setCurrentRow(0);
    commands->findBar()->edit()->clear();
    Type(c.typed);
    EXPECT_EQ(Count(), c.count);
    if (c.marked.empty()) continue;
    EXPECT_EQ(list->highlightedRow(), c.row);
    EXPECT_EQ(list->hitRanges(c.row, c.column, list->cellText(c.row, c.column)), c.marked);
    // Only the payment's number is never marked.
    EXPECT_TRUE(list->hitRanges(c.row, 0, list->cellText(c.row, 0)).empty());
  }
  // Closed, the bar leaves nothing marked.
  QTest::keyClick(commands->findBar()->edit(), Qt::Key_Escape);
  EXPECT_EQ(list->hitNeedle(), nullptr);
}

TEST_F(FindTest, AHitOutOfSightIsScrolledToTheMiddle) {
  // In sight already (with the bar open, which takes room from the list): the list stays.
  commands->findOpen->trigger();
  list->ensureRowVisible(4);
  const int before = list->verticalScrollBar()->value();
  Type(QStringLiteral("müller"));
  EXPECT_EQ(list->highlightedRow(), 4);
  EXPECT_EQ(list->verticalScrollBar()->value(), before);
  for (int hit = 0; hit < 5; ++hit) commands->findNext->trigger();
  ASSERT_EQ(list->highlightedRow(), 104);

  const QRect cell = list->cellRect(104, 1);
  const int middle = list->viewport()->height() / 2;
  EXPECT_LE(std::abs(cell.center().y() - middle), 2 * cell.height()) << cell.center().y() << " " << middle;
}

TEST_F(FindTest, AltEnterSelectsEveryHit) {
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  Type(QStringLiteral("müller"));
  commands->findNext->trigger();
  QTest::keyClick(commands->findBar()->edit(), Qt::Key_Return, Qt::AltModifier);
  commands->finder()->waitForIdle();
  std::vector<TRowSelection::TRange> hits;
  for (int row = 4; row < 200; row += 20) hits.emplace_back(row, row + 1);
  EXPECT_EQ(list->selection().ranges(), hits);
  EXPECT_EQ(list->selection().cursor(), 24);
  // From the list, with the bar closed: the hits of the text last looked for.
  QTest::keyClick(commands->findBar()->edit(), Qt::Key_Escape);
  list->setCurrentRow(0);
  ASSERT_EQ(QApplication::focusWidget(), list);
  QTest::keyClick(list, Qt::Key_Return, Qt::AltModifier);
  commands->finder()->waitForIdle();
  EXPECT_EQ(list->selection().ranges(), hits);
  EXPECT_TRUE(commands->findBar()->isVisible());
  // The bar open again marks the hits again.
  EXPECT_NE(list->hitNeedle(), nullptr);
  EXPECT_EQ(Count(), QStringLiteral("2 von 10"));
}

TEST_F(FindTest, EscapeLeavesTheHitSelectedForCopying) {
  Type(QStringLiteral("müller 25"));
  QTest::keyClick(commands->findBar()->edit(), Qt::Key_Escape);
  EXPECT_TRUE(commands->findBar()->isHidden());
  EXPECT_EQ(list->highlightedRow(), -1);
  EXPECT_EQ(list->selection().ranges(), (std::vector<TRowSelection::TRange>{{24, 25}}));
  commands->editCopy->trigger();
  // The amount as a number a spreadsheet sums, its currency beside it.
  EXPECT_EQ(Clipboard(), QStringLiteral("Nr.\tEmpfänger\tBLZ\tKonto\tVerwendungszweck\tBetrag\tWährung\n") +
                             list->cellText(24, 0) + QStringLiteral("\tMÜLLER 25\t") + list->cellText(24, 2) +
                             u'\t' + list->cellText(24, 3) + QStringLiteral("\tZWECK 25\t25,00\tEUR\n"));
}

TEST_F(FindTest, CopiesSelectedRowsAsTextAndTable) {
  list->clickRow(1, {});
  list->clickRow(3, Qt::ShiftModifier);
  list->clickRow(9, Qt::ControlModifier);
  commands->editCopy->trigger();
  const QStringList lines = Clipboard().split(u'\n');
  ASSERT_EQ(lines.size(), 6);  // header, four rows, the end of the last line
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2\tEMPFAENGER 2\t")));
  EXPECT_TRUE(lines[3].startsWith(QStringLiteral("4\tEMPFAENGER 4\t")));
  EXPECT_TRUE(lines[4].startsWith(QStringLiteral("10\tEMPFAENGER 10\t")));
  const QString html = QApplication::clipboard()->mimeData()->html();
  EXPECT_TRUE(html.contains(QStringLiteral("<th>Empfänger</th>")));
  EXPECT_EQ(html.count(QStringLiteral("<tr>")), 5);
  EXPECT_TRUE(html.contains(QStringLiteral("<td>EMPFAENGER 10</td>")));

  // Nothing selected: the cursor row, not the whole list.
  list->clickRow(9, {});
  list->clickRow(9, Qt::ControlModifier);
  ASSERT_TRUE(list->selection().isEmpty());
  commands->editCopy->trigger();
  EXPECT_EQ(Clipboard().count(u'\n'), 2);
  EXPECT_TRUE(Clipboard().contains(QStringLiteral("\n10\tEMPFAENGER 10\t")));

  commands->editSelectAll->trigger();
  commands->editCopy->trigger();
  EXPECT_EQ(Clipboard().count(u'\n'), 201);
  EXPECT_TRUE(desktop.messages->messages.empty());
}

// Past what is copied at once the rows are copied in a worker; past what the clipboard takes,
// a message says so and offers the export where there is one.
TEST_F(ViewerTest, ManyRowsAreCopiedInAWorkerAndTooManyRefused) {
  std::vector<testdta::CRecord> payments(static_cast<std::size_t>(kMaxCopiedRows) + 1,
                                         Payment("EMPFAENGER", 100, "ZWECK"));
  const auto form = Start({QString::fromStdString(WriteSample("gross.dta", payments))});
  WaitUntilLoaded(*form);
  TViewCommands& commands = *form->viewCommands;
  QApplication::clipboard()->setText(QStringLiteral("vorher"));
  commands.editSelectAll->trigger();
  QSignalSpy finished(&commands, &TViewCommands::copyFinished);
  commands.editCopy->trigger();
  EXPECT_TRUE(commands.isCopying());
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("vorher"));
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_FALSE(commands.isCopying());
  EXPECT_EQ(QApplication::clipboard()->text().count(u'\n'), kMaxCopiedRows + 2);
  EXPECT_EQ(QApplication::clipboard()->mimeData()->html().count(QStringLiteral("<tr>")), kMaxCopiedRows + 2);
  EXPECT_TRUE(desktop.messages->messages.empty());

  // Stopped, the clipboard keeps what it had.
  QApplication::clipboard()->setText(QStringLiteral("vorher"));
  commands.editCopy->trigger();
  commands.stopCopying();
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("vorher"));

  commands.clipboardLimit = kMaxCopiedRows;
  const auto exportTo = commands.exportRows;
  commands.exportRows = nullptr;
  commands.editCopy->trigger();
  EXPECT_FALSE(commands.isCopying());
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("vorher"));
  ASSERT_EQ(desktop.messages->messages.size(), 1u);
  EXPECT_TRUE(desktop.messages->messages[0].startsWith(QStringLiteral("20.001 Zahlungen sind zu viele")))
      << desktop.messages->messages[0].toStdString();
  EXPECT_TRUE(desktop.messages->questions.empty());

  // With an export the message offers it; closed, nothing is exported.
  ASSERT_TRUE(exportTo);
  std::vector<std::pair<int, int>> exported;
  commands.exportRows = [&exported](const std::vector<std::pair<int, int>>& rows) { exported = rows; };
  commands.editCopy->trigger();
  ASSERT_EQ(desktop.messages->questions.size(), 1u);
  EXPECT_TRUE(desktop.messages->questions[0].startsWith(QStringLiteral("20.001 Zahlungen sind zu viele")));
  EXPECT_TRUE(desktop.messages->questions[0].endsWith(QStringLiteral("oder sie in eine Datei exportieren.")));
  EXPECT_EQ(desktop.messages->choices[0], QStringList{commands.listExport->text()});
  EXPECT_TRUE(exported.empty());
  desktop.messages->answer = 0;
  commands.editCopy->trigger();
  EXPECT_EQ(exported, (std::vector<std::pair<int, int>>{{0, static_cast<int>(kMaxCopiedRows) + 1}}));
  EXPECT_EQ(desktop.messages->messages.size(), 1u);
}

// The worker building the index reads only the document it holds: the window may go meanwhile.
TEST_F(FindTest, WindowClosedWhileTheIndexIsBuilt) {
  commands->findOpen->trigger();
  commands->findBar()->edit()->setText(QStringLiteral("zweck"));
  EXPECT_TRUE(commands->finder()->busy());
  form.reset();
}

TEST_F(FindTest, ContextMenuOffersEveryCommandWithItsShortcut) {
  const QPoint onAccount = list->cellRect(0, 3).center();
  const std::unique_ptr<QMenu> menu = commands->listMenu(onAccount);
  QStringList shown;
  for (QAction* action : menu->actions())
    if (!action->isSeparator())
      shown << action->text() + u' ' + action->shortcut().toString(QKeySequence::NativeText);
  EXPECT_EQ(shown, (QStringList{"&Kopieren Strg+C", "&Zelle kopieren ", "&Alles auswählen Strg+A",
                                "&Exportieren … Strg+E", "&Suchen … Strg+F", "&Weitersuchen F3",
                                "&Rückwärts suchen Umschalt+F3", "Alle &Treffer auswählen Alt+Eingabe",
                                "&Gehe zu Zahlung … Strg+G", "&Filtern … Strg+Umschalt+F",
                                "&Vergrößern Strg++", "V&erkleinern Strg+-", "&Originalgröße Strg+0",
                                "&Tasten und Befehle F1"}));
  commands->editCopyCell->trigger();
  EXPECT_EQ(Clipboard(), list->cellText(0, 3));
  EXPECT_FALSE(Clipboard().isEmpty());
}

TEST_F(FindTest, GoToJumpsToThePaymentAsked) {
  commands->goToPayment->trigger();
  TGoToBar* bar = commands->goToBar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->noteLabel()->text(), QStringLiteral("von 200"));
  bar->edit()->setText(QStringLiteral("201"));
  QTest::keyClick(bar->edit(), Qt::Key_Return);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->noteLabel()->text(), QStringLiteral("Nur Zahlungen 1 bis 200"));
  bar->edit()->setText(QStringLiteral("150"));
  QTest::keyClick(bar->edit(), Qt::Key_Return);
  EXPECT_TRUE(bar->isHidden());
  EXPECT_EQ(list->selection().cursor(), 149);
  const QRect cell = list->cellRect(149, 0);
  EXPECT_TRUE(cell.top() >= 0 && cell.bottom() < list->viewport()->height());
}

}  // namespace
}  // namespace quandel::test
