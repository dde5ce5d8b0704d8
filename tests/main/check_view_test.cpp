// The check of the shown file in the window: the message bar, its links, marks and tooltips.
#include <QHelpEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextDocumentFragment>
#include <QToolTip>

#include <map>

#include "check_view.h"
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

// The trailer's Euro total one cent too high.
std::string WrongTotal(std::string file) {
  const std::size_t euro = file.size() - 128 + 64;
  const std::string total = testdta::Digits(std::stoll(file.substr(euro, 13)) + 1, 13);
  return file.replace(euro, 13, total);
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
  // The bar's lines as the reader sees them.
  QStringList Lines() const {
    return QTextDocumentFragment::fromHtml(Bar().text()).toPlainText().split(u'\n');
  }
  TControlListView& List() const { return *form->WebBrowser1->listView(); }

  std::unique_ptr<TmainForm> form;
};

// The file is replaced by another once the list is up: the verdict still speaks of the
// payments listed, never of bytes the list does not show.
TEST_F(CheckViewTest, VerdictJudgesTheBytesTheListShows) {
  const std::string name = data.Write("datei.dta", Accounts(3));
  form = Start();
  QObject::connect(form.get(), &TmainForm::fileRead,
                   [&] { data.Write("datei.dta", WrongTotal(Accounts(5, {{2, To(kFailsBlz, "1", 2)}}))); });
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

TEST_F(CheckViewTest, BarSaysWhatTheCheckFound) {
  struct Case {
    const char* name;
    std::string file;
    TInfoKind kind;
    std::vector<QString> lines;  // each the start of a line, in this order
  };
  const std::vector<Case> cases{
      {"consistent",
       Accounts(4),
       TInfoKind::Information,
       {"Datei stimmig: 4 Zahlungen, Summen und Prüfsummen passen, alle Konten gültig"}},
      {"one payment", Accounts(1), TInfoKind::Information, {"Datei stimmig: 1 Zahlung, "}},
      {"wrong total, failing account",
       WrongTotal(Accounts(3, {{2, To(kFailsBlz, "1234567890", 2)}})),
       TInfoKind::Error,
       {"Datei nicht stimmig:", "Gesamtsumme (EUR): Datei 6,01, berechnet 6,00",
        "Zahlung 2: Kontonummer 1234567890 ist bei der Bank 200 505 50 (Hamburger Sparkasse, Hamburg) nicht "
        "gültig"}},
      {"unknown bank",
       Accounts(2, {{2, To(kUnknownBlz, "0000012345", 2)}}),
       TInfoKind::Warning,
       {"Hinweise zur Datei:", "Zahlung 2: Bankleitzahl 100 200 30 steht nicht im Bankverzeichnis"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Show(c.file);
    EXPECT_FALSE(Bar().isHidden());
    EXPECT_EQ(Bar().kind(), c.kind);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(c.lines.size())) << lines.join(u'|').toStdString();
    for (std::size_t i = 0; i < c.lines.size(); ++i)
      EXPECT_TRUE(lines[static_cast<qsizetype>(i)].startsWith(c.lines[i]))
          << lines[static_cast<qsizetype>(i)].toStdString();
  }
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
  EXPECT_EQ(Lines().front(),
            QStringLiteral("Datei stimmig: 5 Zahlungen, Summen und Prüfsummen passen, alle Konten gültig"));
}

TEST_F(CheckViewTest, FindingLeadsToItsRow) {
  Show(Accounts(300, {{250, To(kFailsBlz, "1234567890", 250)}}));
  const auto [first, last] = List().visibleRows();
  ASSERT_LT(last, 249) << "row must start out of sight";
  const QRegularExpressionMatch link =
      QRegularExpression(QStringLiteral("href=\"([^\"]+)\">Zahlung 250:")).match(Bar().text());
  ASSERT_TRUE(link.hasMatch()) << Bar().text().toStdString();
  emit Bar().label()->linkActivated(link.captured(1));
  EXPECT_EQ(List().selection().cursor(), 249);
  const auto [top, bottom] = List().visibleRows();
  EXPECT_TRUE(top <= 249 && 249 < bottom) << top << ".." << bottom;
}

TEST_F(CheckViewTest, RowsShowBankAndMarkFailingAccounts) {
  Show(Accounts(3, {{2, To(kFailsBlz, "1234567890", 2)}, {3, To(kUnknownBlz, "0000012345", 3)}}));
  EXPECT_EQ(form->checkView->cellToolTip(0, kColBlz), QStringLiteral("Commerzbank, Köln"));
  EXPECT_EQ(form->checkView->cellToolTip(1, kColBlz),
            QStringLiteral("Hamburger Sparkasse, Hamburg\nKonto: ungültig"));
  EXPECT_TRUE(form->checkView->cellToolTip(2, kColBlz)
                  .startsWith(QStringLiteral("Bankleitzahl steht nicht im Bankverzeichnis")));
  EXPECT_EQ(form->checkView->cellToolTip(0, kColName), QString());
  const std::vector<bool> flagged{List().isFlagged(0), List().isFlagged(1), List().isFlagged(2)};
  EXPECT_EQ(flagged, (std::vector<bool>{false, true, false}));

  // The tooltip the mouse brings up over the first BLZ cell.
  const QRect cell = List().cellRect(0, kColBlz);
  QHelpEvent help(QEvent::ToolTip, cell.center(), List().viewport()->mapToGlobal(cell.center()));
  QCoreApplication::sendEvent(List().viewport(), &help);
  EXPECT_EQ(QToolTip::text(), QStringLiteral("Commerzbank, Köln"));
}

}  // namespace
}  // namespace quandel::test
