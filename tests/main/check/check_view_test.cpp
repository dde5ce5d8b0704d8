// The check of the shown file in the window: the verdict bar, its marker, the row marks and
// tooltips, stepping through the findings.
#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <map>

#include <QTableView>

#include "check.h"
#include "check_view.h"
#include "findings_panel.h"
#include "list_arranger.h"
#include "view_commands.h"
#include "viewer_fixture.h"

namespace quandel::test {
namespace {

constexpr const char* kPassesBlz = "37040044";
constexpr const char* kPassesKonto = "0532013000";
constexpr const char* kFailsBlz = "20050550";
constexpr const char* kUnknownBlz = "10020030";

testdta::CRecord To(const char* blz, const char* konto, int number) {
  testdta::CRecord c = Payment("EMPFAENGER " + std::to_string(number), 100 * number, "ZWECK");
  c.blz = blz;
  c.konto = konto;
  return c;
}

// Payments to the bank that passes, but for the ones named; a sender that passes too.
std::string Accounts(int count, const std::map<int, testdta::CRecord>& others = {}) {
  std::vector<testdta::CRecord> payments;
  for (int i = 1; i <= count; ++i)
    payments.push_back(others.count(i) != 0 ? others.at(i) : To(kPassesBlz, kPassesKonto, i));
  testdta::ARecord sender;
  sender.blz = kPassesBlz;
  sender.konto = kPassesKonto;
  return testdta::File(sender, payments);
}

// The sender's bank code replaced by one the directory does not know.
std::string UnknownSender(std::string file) { return file.replace(7, 8, kUnknownBlz); }

// The trailer's Euro total one cent too high.
std::string WrongTotal(std::string file) {
  const std::size_t euro = file.size() - 128 + 64;
  const std::string total = testdta::Digits(std::stoll(file.substr(euro, 13)) + 1, 13);
  return file.replace(euro, 13, total);
}

// A file loaded and checked as the window's loader does it, for a check started by hand.
struct TLoaded {
  std::shared_ptr<const ombra::TDtaus> Document;
  std::shared_ptr<const ombra::TFileCheck> Check;
};
TLoaded LoadedFile(const std::string& path) {
  auto document = std::make_shared<ombra::TDtaus>();
  auto check = std::make_shared<const ombra::TFileCheck>(
      ombra::LoadAndCheck(*document, path, ombra::TRegionalSettings::de_DE()));
  return {std::move(document), std::move(check)};
}

class CheckViewTest : public ViewerTest {
 protected:
  void Show(const std::string& bytes) {
    const std::string name = data.Write("datei.dta", bytes);
    if (!form) form = Start();
    form->resize(700, 400);
    form->show();
    QSignalSpy checked(form->checkView->runner(), &TCheckRunner::finished);
    form->ShowFile(QString::fromStdString(name));
    WaitUntilLoaded(*form);
    ASSERT_TRUE(checked.count() > 0 || checked.wait(30000)) << "check did not report";
    QCoreApplication::processEvents();
  }
  TInfoBar& Bar() const { return *form->checkView->bar(); }
  // The bar's lines as the reader sees them, uncut.
  QStringList Lines() const { return Bar().text().split(u'\n'); }
  TControlListView& List() const { return *form->WebBrowser1->listView(); }

  std::unique_ptr<TmainForm> form;
};

// The file is replaced by another once the list is up: the verdict still speaks of the
// payments listed, never of bytes the list does not show.
TEST_F(CheckViewTest, VerdictJudgesTheBytesTheListShows) {
  const std::string name = data.Write("datei.dta", Accounts(3));
  form = Start();
  QObject::connect(form.get(), &TmainForm::fileRead, [&] {
    data.Write("datei.dta", WrongTotal(Accounts(5, {{2, To(kFailsBlz, "1", 2)}})));
  });
  QSignalSpy checked(form->checkView->runner(), &TCheckRunner::finished);
  form->ShowFile(QString::fromStdString(name));
  WaitUntilLoaded(*form);
  ASSERT_TRUE(checked.count() > 0 || checked.wait(30000)) << "check did not report";
  const auto result = checked.at(0).at(0).value<TViewerCheckResult>();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->Payments, 3);
  EXPECT_EQ(List().model()->rows(), 3);
  EXPECT_TRUE(result->File.Ok());
  EXPECT_EQ(result->Accounts.Payments.size(), 3u);
}

// The figure "Prüfe … n %" follows the accounts checked: when all are checked it stands at 90,
// the findings made of them still to come.
TEST_F(CheckViewTest, ProgressFigureEndsWhereTheAccountsAreChecked) {
  form = Start();
  QSignalSpy checked(form->checkView->runner(), &TCheckRunner::finished);
  form->ShowFile(QString::fromStdString(data.Write("datei.dta", Accounts(5000))));
  WaitUntilLoaded(*form);
  ASSERT_TRUE(checked.count() > 0 || checked.wait(30000)) << "check did not report";
  ASSERT_TRUE(checked.at(0).at(0).value<TViewerCheckResult>()->File.Accounts.Checked);
  EXPECT_EQ(form->checkView->runner()->progress(), 90);
}

TEST_F(CheckViewTest, BarSaysBothVerdictsAndCountsPerKind) {
  struct Case {
    const char* name;
    std::string file;
    TInfoKind kind;
    std::vector<QString> lines;  // each the start of a line, in this order
    bool buttons;
  };
  const std::vector<Case> cases{
      {"consistent",
       Accounts(4),
       TInfoKind::Information,
       {"In sich stimmig ✓ · Konten: alle Konten gültig (Verzeichnis vom ",
        "4 Zahlungen, Summen und Prüfsummen passen"},
       false},
      {"one payment", Accounts(1), TInfoKind::Information, {"In sich stimmig ✓", "1 Zahlung, "}, false},
      {"wrong total, failing account",
       WrongTotal(Accounts(3, {{2, To(kFailsBlz, "1234567890", 2)}})),
       TInfoKind::Error,
       {"Nicht stimmig ✗ · Konten: 1 Prüfziffer falsch (Verzeichnis vom ", "Summe: 1 · Prüfziffer: 1"},
       true},
      // Accounts alone never make the file red.
      {"failing account only",
       Accounts(3, {{2, To(kFailsBlz, "1234567890", 2)}}),
       TInfoKind::Warning,
       {"In sich stimmig ✓ · Konten: 1 Prüfziffer falsch (", "Prüfziffer: 1"},
       true},
      // The bank is counted once, as the command line counts it.
      {"one unknown bank for two payments",
       Accounts(3, {{2, To(kUnknownBlz, "0000012345", 2)}, {3, To(kUnknownBlz, "0000012346", 3)}}),
       TInfoKind::Warning,
       {"In sich stimmig ✓ · Konten: 1 Bankleitzahl unbekannt (", "Bankleitzahl unbekannt: 1"},
       true},
      // The sender's bank and a payment's are one unknown bank code, though each is a finding
      // of its own: the counts say what the headline says.
      {"sender and payment at one unknown bank",
       UnknownSender(Accounts(3, {{2, To(kUnknownBlz, "0000012345", 2)}})),
       TInfoKind::Warning,
       {"In sich stimmig ✓ · Konten: 1 Bankleitzahl unbekannt (", "Bankleitzahl unbekannt: 1"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Show(c.file);
    EXPECT_FALSE(Bar().isHidden());
    EXPECT_FALSE(Bar().showsProgress());
    EXPECT_EQ(Bar().kind(), c.kind);
    EXPECT_EQ(Bar().findingsButton()->isVisible(), c.buttons);
    EXPECT_EQ(Bar().nextButton()->isVisible(), c.buttons);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(c.lines.size())) << lines.join(u'|').toStdString();
    for (std::size_t i = 0; i < c.lines.size(); ++i)
      EXPECT_TRUE(lines[static_cast<qsizetype>(i)].startsWith(c.lines[i]))
          << lines[static_cast<qsizetype>(i)].toStdString();
  }
}

// Lines are cut short, never wrapped: the bar is as high at any width, while the check runs
// and after, so the list does not move when the verdict comes.
TEST_F(CheckViewTest, BarKeepsOneHeightAtAnyWidthAndWhileTheCheckRuns) {
  Show(WrongTotal(Accounts(3, {{2, To(kFailsBlz, "1234567890", 2)}, {3, To(kUnknownBlz, "0000012345", 3)}})));
  const int height = Bar().height();
  const int listTop = form->WebBrowser1->mapTo(form.get(), QPoint(0, 0)).y();
  // Three lines at most: the headline, the counts and the buttons.
  EXPECT_LE(height, 3 * (Bar().fontMetrics().lineSpacing() + Bar().findingsButton()->sizeHint().height()));
  const QString headline = Lines().front();
  const auto* label = Bar().findChild<QLabel*>(QStringLiteral("infoHeadline"));
  ASSERT_NE(label, nullptr);
  struct Case {
    int width;
    std::optional<bool> cut;  // at the usual size that depends on the desktop's font
  };
  for (const Case& c : std::vector<Case>{{260, true}, {696, std::nullopt}, {1600, false}}) {
    SCOPED_TRACE(c.width);
    form->resize(c.width, 480);
    QCoreApplication::processEvents();
    EXPECT_EQ(Bar().height(), height);
    // Cut short with "…" where it does not fit, the whole line then its tooltip.
    if (c.cut) {
      EXPECT_EQ(label->text() != headline, *c.cut) << label->text().toStdString();
    }
    if (label->text() != headline) {
      EXPECT_TRUE(label->text().endsWith(u'…'));
      EXPECT_EQ(label->toolTip(), headline);
    }
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
    Bar().showProgress(37);
    QCoreApplication::processEvents();
    EXPECT_EQ(Bar().text(), QStringLiteral("Prüfe … 37 %"));
    EXPECT_EQ(Bar().height(), height);
    EXPECT_EQ(form->WebBrowser1->mapTo(form.get(), QPoint(0, 0)).y(), listTop);
    Show(WrongTotal(
        Accounts(3, {{2, To(kFailsBlz, "1234567890", 2)}, {3, To(kUnknownBlz, "0000012345", 3)}})));
  }
}

// F8 and Umschalt+F8 walk round the marked rows; closed, the bar leaves its marks and a marker
// that, like F8, brings it back.
TEST_F(CheckViewTest, F8StepsThroughTheMarkedRowsAndBringsTheVerdictBack) {
  Show(Accounts(300, {{100, To(kUnknownBlz, "0000012345", 100)}, {250, To(kFailsBlz, "1234567890", 250)}}));
  QToolButton& marker = *form->checkView->marker();
  EXPECT_TRUE(marker.isHidden());
  Bar().findChild<QToolButton*>(QStringLiteral("infoClose"))->click();
  EXPECT_TRUE(Bar().isHidden());
  EXPECT_FALSE(marker.isHidden());
  EXPECT_TRUE(List().isFlagged(99) && List().isFlagged(249));
  marker.click();
  EXPECT_FALSE(Bar().isHidden());
  EXPECT_TRUE(marker.isHidden());

  Bar().findChild<QToolButton*>(QStringLiteral("infoClose"))->click();
  struct Step {
    QAction* action;
    int row;
  };
  const std::vector<Step> steps{{form->checkView->nextFinding, 99},
                                {form->checkView->nextFinding, 249},
                                {form->checkView->nextFinding, 99},
                                {form->checkView->previousFinding, 249},
                                {form->checkView->previousFinding, 99}};
  for (const Step& step : steps) {
    step.action->trigger();
    EXPECT_FALSE(Bar().isHidden());
    EXPECT_EQ(List().selection().cursor(), step.row);
    const auto [top, bottom] = List().visibleRows();
    EXPECT_TRUE(top <= step.row && step.row < bottom) << top << ".." << bottom;
  }
  Bar().nextButton()->click();
  EXPECT_EQ(List().selection().cursor(), 249);
}

// Sorted, the marks go with their payments and F8 walks them from the top of the list down;
// "nur mit Befunden" shows the marked payments, and a finding's payment is found where it
// stands now.
TEST_F(CheckViewTest, F8FollowsTheShownOrderAndTheFilterKeepsTheMarkedPayments) {
  Show(Accounts(6, {{2, To(kFailsBlz, "1234567890", 2)}, {5, To(kUnknownBlz, "0000012345", 5)}}));
  TListArranger& arranger = *form->viewCommands->arranger();
  arranger.setSortOrder({kColNumber, true});  // payments 6, 5, 4, 3, 2, 1
  arranger.waitForIdle();
  EXPECT_TRUE(List().isFlagged(1) && List().isFlagged(4));
  EXPECT_FALSE(List().isFlagged(0) || List().isFlagged(5));
  ASSERT_NE(List().flagAt(4), nullptr);
  EXPECT_EQ(List().flagAt(4)->Row, 1);
  struct Step {
    QAction* action;
    int row;
  };
  const auto walk = [&](const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      step.action->trigger();
      EXPECT_EQ(List().selection().cursor(), step.row);
    }
  };
  QAction* next = form->checkView->nextFinding;
  QAction* previous = form->checkView->previousFinding;
  walk({{next, 1}, {next, 4}, {next, 1}, {previous, 4}, {previous, 1}});
  form->checkView->showPayment(2);
  EXPECT_EQ(List().selection().cursor(), 4);

  TRowFilter flagged;
  flagged.onlyFlagged = true;
  arranger.setFilter(flagged);
  arranger.waitForIdle();
  ASSERT_EQ(List().rowCount(), 2);
  EXPECT_EQ(List().cellText(0, kColNumber), QStringLiteral("5"));
  EXPECT_EQ(List().cellText(1, kColNumber), QStringLiteral("2"));
  walk({{next, 0}, {next, 1}, {next, 0}, {previous, 1}});
  // A payment the filter hides leaves the cursor where it is.
  form->checkView->showPayment(3);
  EXPECT_EQ(List().selection().cursor(), 1);
}

TEST_F(CheckViewTest, NewerFileWinsOverACheckStillRunning) {
  Show(Accounts(1));
  const std::string older = data.Write("alt.dta", WrongTotal(Accounts(3)));
  const std::string newer = data.Write("neu.dta", Accounts(5));
  QSignalSpy checked(form->checkView->runner(), &TCheckRunner::finished);
  form->ShowFile(QString::fromStdString(older));
  form->ShowFile(QString::fromStdString(newer));
  while (form->checkView->runner()->isBusy() || form->isLoading()) QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  ASSERT_EQ(checked.count(), 1);
  EXPECT_EQ(checked.front().front().value<TViewerCheckResult>()->Payments, 5);
  EXPECT_EQ(Lines().back(), QStringLiteral("5 Zahlungen, Summen und Prüfsummen passen"));
}

TEST_F(CheckViewTest, RowsShowBankAndMarkEveryFinding) {
  // Payment 4's bank code is no number: its check sum cannot be formed, and the file is not
  // consistent.
  Show(WrongTotal(Accounts(5, {{2, To(kFailsBlz, "1234567890", 2)},
                               {3, To(kUnknownBlz, "0000012345", 3)},
                               {4, To("3704004X", kPassesKonto, 4)}})));
  EXPECT_EQ(form->checkView->cellToolTip(0, kColBlz), QStringLiteral("Commerzbank, Köln"));
  EXPECT_EQ(form->checkView->cellToolTip(1, kColBlz),
            QStringLiteral("Hamburger Sparkasse, Hamburg\nKonto: ungültig"));
  EXPECT_TRUE(form->checkView->cellToolTip(2, kColBlz)
                  .startsWith(QStringLiteral("Bankleitzahl steht nicht im Bankverzeichnis")));
  EXPECT_TRUE(form->checkView->cellToolTip(1, kColKonto)
                  .startsWith(QStringLiteral("Konto: ungültig (nach Bankverzeichnis")));
  EXPECT_EQ(form->checkView->cellToolTip(0, kColName), QString());
  // The number cell carries the finding's sentence.
  EXPECT_TRUE(form->checkView->cellToolTip(1, kColNumber)
                  .startsWith(QStringLiteral("Zahlung 2: Kontonummer 1234567890")));
  EXPECT_TRUE(
      form->checkView->cellToolTip(2, kColNumber).startsWith(QStringLiteral("Zahlung 3: Bankleitzahl")));
  EXPECT_EQ(form->checkView->cellToolTip(0, kColNumber), QString());
  EXPECT_TRUE(
      form->checkView->cellToolTip(3, kColNumber).startsWith(QStringLiteral("Zahlung 4: Bankleitzahl")))
      << form->checkView->cellToolTip(3, kColNumber).toStdString();
  // Accounts amber, never red; red where the file does not agree with itself; the wrong total
  // concerns no row.
  std::vector<std::pair<bool, bool>> marks;
  for (int row = 0; row < 5; ++row) {
    const TRowFlag* flag = List().flagAt(row);
    marks.emplace_back(flag != nullptr, flag != nullptr && flag->Severe);
  }
  EXPECT_EQ(marks, (std::vector<std::pair<bool, bool>>{
                       {false, false}, {true, false}, {true, false}, {true, true}, {false, false}}));

  // The tooltip the mouse brings up over the first BLZ cell.
  const QRect cell = List().cellRect(0, kColBlz);
  QHelpEvent help(QEvent::ToolTip, cell.center(), List().viewport()->mapToGlobal(cell.center()));
  QCoreApplication::sendEvent(List().viewport(), &help);
  EXPECT_EQ(QToolTip::text(), QStringLiteral("Commerzbank, Köln"));
}

// A file damaged after its payments began: the page stays the error page, the list shows the
// payments read before the damage under a red bar naming it; a file cut in its A record shows
// the error page under a red bar giving the reason.
TEST_F(CheckViewTest, DamagedFileShowsThePaymentsReadBeforeTheDamage) {
  std::vector<testdta::CRecord> payments;
  for (int i = 1; i <= 4; ++i) payments.push_back(To(kPassesBlz, kPassesKonto, i));
  payments[2].extensions = {{"02", "ZWECK 2"}, {"02", "ZWECK 3"}, {"02", "ZWECK 4"}};
  // A 0-127, payments of 256 bytes, the third of 384 (three blocks), E 1280-1407.
  const std::string whole = testdta::File(testdta::ARecord{}, payments);
  ASSERT_EQ(whole.size(), 1408u);
  struct Case {
    const char* name;
    std::size_t size;
    int rows;  // -1: no list
    const char* reason;
  };
  const std::vector<Case> cases{
      {"E record cut", 1408 - 80, 4, "hat nur 48 von 128 Bytes"},
      {"C record cut", 1024 + 100, 3, "C-Satz"},
      {"extension part cut", 640 + 300, 2, "C-Satz"},
      {"A record cut", 17, -1, "hat nur 17 von 128 Bytes"},
  };
  form = Start();
  form->resize(700, 400);
  form->show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = data.Write("kaputt.dta", whole.substr(0, c.size));
    form->ShowFile(QString::fromStdString(name));
    WaitUntilLoaded(*form);
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->checkView->runner()->isBusy());
    EXPECT_NE(ReadBytes(Html()).find("ist ein Fehler aufgetreten"), std::string::npos);
    // The status gives name, size and time as for any file; the reason is the bar's.
    EXPECT_TRUE(form->StatusText().startsWith(
        QStringLiteral("%1 - %2 - ").arg(QString::fromStdString(name)).arg(c.size)))
        << form->StatusText().toStdString();
    EXPECT_FALSE(form->StatusText().contains(QString::fromLatin1(c.reason)))
        << form->StatusText().toStdString();
    if (c.rows < 0) {
      EXPECT_FALSE(form->WebBrowser1->showsList());
      EXPECT_FALSE(Bar().isHidden());
      EXPECT_EQ(Bar().kind(), TInfoKind::Error);
      EXPECT_TRUE(Bar().text().startsWith(QStringLiteral("Datei nicht lesbar: ")))
          << Bar().text().toStdString();
      EXPECT_TRUE(Bar().text().contains(QString::fromLatin1(c.reason))) << Bar().text().toStdString();
      continue;
    }
    ASSERT_TRUE(form->WebBrowser1->showsList());
    ASSERT_EQ(List().rowCount(), c.rows);
    EXPECT_EQ(List().cellText(c.rows - 1, kColName), QStringLiteral("EMPFAENGER %1").arg(c.rows));
    // The payments read are summed and can be sorted like a whole file's.
    const int sum = c.rows * (c.rows + 1) / 2;
    EXPECT_EQ(List().summaryStrip()->text(),
              QStringLiteral("%1 Zahlungen · Summe %2,00 EUR").arg(c.rows).arg(sum));
    form->viewCommands->arranger()->setSortOrder({kColAmount, true});
    form->viewCommands->arranger()->waitForIdle();
    ASSERT_EQ(List().rowCount(), c.rows);
    EXPECT_EQ(List().cellText(0, kColName), QStringLiteral("EMPFAENGER %1").arg(c.rows));
    form->viewCommands->arranger()->setSortOrder({});
    form->viewCommands->arranger()->waitForIdle();
    EXPECT_FALSE(Bar().isHidden());
    EXPECT_EQ(Bar().kind(), TInfoKind::Error);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Datei beschädigt: ")));
    EXPECT_TRUE(lines[0].contains(QString::fromLatin1(c.reason)));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("%1 Zahlungen bis Byte ").arg(c.rows)))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" gelesen; Summen nicht prüfbar")))
        << lines[1].toStdString();
    // The list itself says so above and below the payments, also on paper.
    const QString text = ViewText(*form);
    EXPECT_TRUE(text.contains(QStringLiteral("Datei beschädigt: "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("%1 Zahlungen bis Byte ").arg(c.rows))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Absender: ABSENDER")));
  }
}

// From the first rows on the bar says that a check is to come; a load cancelled then leaves
// no such promise behind.
TEST_F(CheckViewTest, BarPromisesTheCheckFromTheFirstRowsUntilTheLoadIsCancelled) {
  desktop.waitForLoads = false;
  form = Start();
  form->show();
  const std::string name = data.Write("datei.dta", Accounts(3));
  bool promised = false;
  QObject::connect(form.get(), &TmainForm::fileRead, [&] {
    promised = !Bar().isHidden() && Bar().showsProgress() && Bar().text() == QStringLiteral("Prüfe …");
    form->CancelLoad();
  });
  form->ShowFile(QString::fromStdString(name));
  form->WaitForLoad();
  EXPECT_TRUE(promised);
  EXPECT_TRUE(Bar().isHidden());
  EXPECT_FALSE(form->checkView->runner()->isBusy());
}

// "Befunde anzeigen" and Strg+Umschalt+B bring up the panel; a finding chosen there shows its
// payment in the list.
TEST_F(CheckViewTest, PanelListsTheFindingsAndLeadsToTheirPayments) {
  Show(Accounts(300, {{250, To(kFailsBlz, "1234567890", 250)}}));
  TFindingsPanel& panel = *form->checkView->panel();
  EXPECT_TRUE(panel.isHidden());
  Bar().findingsButton()->click();
  EXPECT_FALSE(panel.isHidden());
  form->checkView->showFindings->trigger();
  EXPECT_TRUE(panel.isHidden());
  QTest::keyClick(form.get(), Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(panel.isHidden());
  ASSERT_EQ(panel.model()->rowCount(), 1);
  EXPECT_EQ(panel.model()->cellText(0, kFindPayment), QStringLiteral("250"));
  QCoreApplication::processEvents();
  QTableView& table = *panel.table();
  const QRect cell = table.visualRect(panel.model()->index(0, kFindSentence));
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(List().selection().cursor(), 249);
  List().setCurrentRow(0);
  table.setFocus();
  QTest::keyClick(&table, Qt::Key_Return);
  EXPECT_EQ(List().selection().cursor(), 249);
}

// The verdict does not wait for the ranks the panel sorts by: the panel in sight shows the
// findings at once, and the ranks follow.
TEST_F(CheckViewTest, RanksOfTheFindingsFollowTheVerdict) {
  form = Start();
  form->show();
  TCheckRunner& runner = *form->checkView->runner();
  TFindingsPanel& panel = *form->checkView->panel();
  panel.show();
  QStringList heard;
  TViewerCheckResult verdict;
  bool verdictHadRanks = true;
  // After the window's own receiver: the panel has the check.
  QObject::connect(&runner, &TCheckRunner::finished, [&](const TViewerCheckResult& result) {
    heard << QStringLiteral("Urteil");
    verdict = result;
    verdictHadRanks = panel.model()->check() != result || panel.model()->ranks() != nullptr;
  });
  QSignalSpy ranked(&runner, &TCheckRunner::ranked);
  QObject::connect(&runner, &TCheckRunner::ranked, [&] { heard << QStringLiteral("Ränge"); });
  form->ShowFile(QString::fromStdString(data.Write(
      "datei.dta",
      Accounts(40, {{7, To(kFailsBlz, "1234567890", 7)}, {9, To(kUnknownBlz, "1234567890", 9)}}))));
  WaitUntilLoaded(*form);
  ASSERT_TRUE(ranked.count() > 0 || ranked.wait(30000)) << "no ranks came";
  EXPECT_EQ(heard, QStringList({QStringLiteral("Urteil"), QStringLiteral("Ränge")}));
  EXPECT_FALSE(verdictHadRanks);
  const auto check = ranked.at(0).at(0).value<TViewerCheckResult>();
  const auto ranks = ranked.at(0).at(1).value<std::shared_ptr<const TFindingRanks>>();
  EXPECT_EQ(check, verdict);
  ASSERT_TRUE(ranks);
  for (const auto& column : ranks->ByColumn) EXPECT_EQ(column.size(), FindingCount(*check));
  EXPECT_EQ(panel.model()->ranks(), ranks);
}

// Ranks still being made when the check they belong to goes never reach the panel: only those
// of the check that replaced it do.
TEST_F(CheckViewTest, RanksOfACheckThatWentAreDropped) {
  const TLoaded newer = LoadedFile(data.Write("neu.dta", Accounts(5, {{2, To(kFailsBlz, "1234567890", 2)}})));
  struct Case {
    const char* name;
    // Runs as the older verdict arrives, its ranks being made.
    std::function<void(TCheckView&)> meanwhile;
    // Runs once that verdict is shown.
    std::function<void(TCheckView&)> after;
  };
  const auto checkNewer = [&](TCheckView& view) { view.start(newer.Document, newer.Check); };
  const std::vector<Case> cases{
      {"another file opened", checkNewer, [](TCheckView&) {}},
      {"check cancelled, another opened once the worker is idle", [](TCheckView& view) { view.clear(); },
       [&](TCheckView& view) {
         ASSERT_TRUE(QTest::qWaitFor([&] { return view.runner()->isIdle(); }, 30000));
         checkNewer(view);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    form = Start();
    form->show();
    TCheckView& view = *form->checkView;
    TCheckRunner& runner = *view.runner();
    view.panel()->show();
    bool first = true;
    QObject::connect(&runner, &TCheckRunner::finished, [&] {
      if (std::exchange(first, false)) c.meanwhile(view);
    });
    QSignalSpy verdicts(&runner, &TCheckRunner::finished);
    QSignalSpy ranked(&runner, &TCheckRunner::ranked);
    form->ShowFile(
        QString::fromStdString(data.Write("alt.dta", Accounts(30, {{3, To(kUnknownBlz, "1234567890", 3)}}))));
    WaitUntilLoaded(*form);
    ASSERT_TRUE(verdicts.count() > 0 || verdicts.wait(30000)) << "the older check did not report";
    c.after(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return verdicts.count() == 2 && ranked.count() > 0; }, 30000));
    const auto newest = verdicts.at(1).at(0).value<TViewerCheckResult>();
    EXPECT_EQ(newest->Payments, 5);
    // The pool runs one job after another: the older ranks would have come before these.
    ASSERT_EQ(ranked.count(), 1);
    EXPECT_EQ(ranked.at(0).at(0).value<TViewerCheckResult>(), newest);
    EXPECT_EQ(view.panel()->model()->check(), newest);
    EXPECT_EQ(view.panel()->model()->ranks(),
              ranked.at(0).at(1).value<std::shared_ptr<const TFindingRanks>>());
    form.reset();
  }
}

// A verdict that comes while another file loads waits to be shown, and so do its ranks: when
// the load ends without a new list, the panel has both.
TEST_F(CheckViewTest, RanksThatCameWhileAFileLoadedComeWithTheirVerdict) {
  form = Start();
  form->show();
  TCheckView& view = *form->checkView;
  view.panel()->show();
  QSignalSpy ranked(view.runner(), &TCheckRunner::ranked);
  const TLoaded file =
      LoadedFile(data.Write("datei.dta", Accounts(20, {{4, To(kFailsBlz, "1234567890", 4)}})));
  view.start(file.Document, file.Check);
  view.setLoading(true);
  ASSERT_TRUE(ranked.wait(30000)) << "no ranks came";
  EXPECT_EQ(view.result(), nullptr);
  view.setLoading(false);
  ASSERT_EQ(view.result(), ranked.at(0).at(0).value<TViewerCheckResult>());
  EXPECT_EQ(view.panel()->model()->check(), view.result());
  EXPECT_EQ(view.panel()->model()->ranks(), ranked.at(0).at(1).value<std::shared_ptr<const TFindingRanks>>());
}

}  // namespace
}  // namespace quandel::test
