// The browser view with control lists: which of its two views shows a page, links and
// printing from the list, and pages read in the background.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QSignalSpy>
#include <QThreadPool>

#include <memory>

#include "browser_view.h"
#include "control_list_view.h"
#include "page_browser.h"
#include "test_support.h"

namespace quandel::test {
namespace {

std::vector<testdta::CRecord> Numbered(int count, const std::string& prefix) {
  std::vector<testdta::CRecord> payments;
  for (int i = 1; i <= count; ++i) payments.push_back(Payment(prefix + " " + std::to_string(i), 100 + i, "ZWECK"));
  return payments;
}

class ListInViewTest : public ::testing::Test {
 protected:
  std::string WriteList(const std::string& name, const std::vector<testdta::CRecord>& payments) {
    return folder.Write(name, ControlListPage(payments));
  }
  // Waits for the page being read and measured, then for the worker threads, whose late
  // results must find nothing to change.
  void Settle() {
    while (view.isReading() || !view.listView()->isComplete()) {
      QSignalSpy finished(&view, &TBrowserView::loadFinished);
      ASSERT_TRUE(finished.wait(20000));
    }
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
  }

  testdta::TempDir folder;
  std::vector<std::string> opened;
  TBrowserView view{[this](const std::string& url) { opened.push_back(url); }};
};

TEST_F(ListInViewTest, ControlListGoesToTheListAndOtherPagesToTheBrowser) {
  const std::string list = WriteList("liste.html", {Payment("M]LLER", 12345, "GEB]HR"), Payment("SCHULZE", 99, "MIETE")});
  const std::string other = folder.Write("fehler.html", "<html><body>Beim Lesen ist ein Fehler aufgetreten.</body></html>\r\n");
  view.Navigate(Q(other));
  view.Navigate(Q(list));
  EXPECT_TRUE(view.showsList());
  EXPECT_EQ(view.listView()->rowCount(), 2);
  EXPECT_TRUE(view.pageBrowser()->toPlainText().isEmpty()) << "stale page kept behind the list";
  EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("SCHULZE"))) << view.toPlainText().toStdString();
  EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("GEBÜHR")));
  EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("123,45 EUR")));

  view.Navigate(Q(other));
  EXPECT_FALSE(view.showsList());
  EXPECT_FALSE(view.listView()->hasPage());
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("Beim Lesen ist ein Fehler aufgetreten."));
  ASSERT_NE(view.Document(), nullptr);
}

TEST_F(ListInViewTest, ListRewrittenAtTheSamePathShowsTheNewRows) {
  const std::string list = WriteList("liste.html", {Payment("ALT", 100, "ZWECK")});
  view.Navigate(Q(list));
  WriteList("liste.html", {Payment("NEU", 100, "ZWECK"), Payment("NEU ZWEI", 100, "ZWECK")});
  view.Navigate(Q(list));
  EXPECT_EQ(view.listView()->rowCount(), 2);
  EXPECT_FALSE(view.toPlainText().contains(QStringLiteral("ALT")));
}

TEST_F(ListInViewTest, ListLinksGoToTheDesktopAndTheListStays) {
  const std::string list = WriteList("liste.html", {Payment("EMPFAENGER", 100, "ZWECK")});
  view.Navigate(Q(list));
  emit view.listView()->linkActivated(QUrl(QStringLiteral("https://quandel.example.org/")));
  emit view.listView()->linkActivated(QUrl(QStringLiteral("andere.html")));
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], "https://quandel.example.org/");
  EXPECT_EQ(opened[1], QUrl::fromLocalFile(Q(folder.Path() / "andere.html")).toString().toStdString());
  EXPECT_TRUE(view.showsList());
  EXPECT_EQ(view.listView()->rowCount(), 1);
}

TEST_F(ListInViewTest, BigPageIsReadInTheBackgroundWhileTheOldOneStays) {
  const std::string first = WriteList("eins.html", Numbered(3, "ERSTER"));
  const std::string second = WriteList("zwei.html", Numbered(3000, "ZWEITER"));
  view.Navigate(Q(first));
  view.setBackgroundLoadBytes(0);
  QSignalSpy progress(&view, &TBrowserView::loadProgress);
  // The first list, still measuring, must not report its end as the second one's.
  std::vector<int> rowsAtFinish;
  QObject::connect(&view, &TBrowserView::loadFinished, [&] { rowsAtFinish.push_back(view.listView()->rowCount()); });
  view.Navigate(Q(second));
  ASSERT_TRUE(view.isReading());
  ASSERT_GE(progress.count(), 1);
  EXPECT_EQ(progress.at(0).at(0).toInt(), 0);
  EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("ERSTER 1\t")));
  Settle();
  EXPECT_FALSE(view.isReading());
  EXPECT_TRUE(view.showsList());
  EXPECT_EQ(view.listView()->rowCount(), 3000);
  EXPECT_TRUE(view.listView()->isComplete());
  EXPECT_EQ(progress.last().at(0).toInt(), 100);
  EXPECT_EQ(rowsAtFinish, std::vector<int>{3000});
}

TEST_F(ListInViewTest, NewerPageWinsOverAnOlderOneStillBeingRead) {
  const std::string older = WriteList("alt.html", Numbered(5000, "ALTER"));
  const std::string newer = folder.Write("neu.html", "<p>neu</p>");
  view.setBackgroundLoadBytes(0);
  view.Navigate(Q(older));
  view.Navigate(Q(newer));
  Settle();
  EXPECT_FALSE(view.showsList());
  EXPECT_EQ(view.toPlainText(), QStringLiteral("neu"));

  // Also when the newer page is small enough to be shown at once.
  view.Navigate(Q(older));
  view.setBackgroundLoadBytes(TBrowserView::kBackgroundLoadBytes);
  view.Navigate(Q(newer));
  EXPECT_FALSE(view.isReading());
  Settle();
  EXPECT_FALSE(view.showsList());
  EXPECT_EQ(view.toPlainText(), QStringLiteral("neu"));
  EXPECT_FALSE(view.listView()->hasPage());
}

TEST_F(ListInViewTest, PrintingWaitsForThePageBeingRead) {
  const std::string list = WriteList("liste.html", Numbered(400, "EMPFAENGER"));
  const auto pdf = folder.Path() / "liste.pdf";
  view.setBackgroundLoadBytes(0);
  view.Navigate(Q(list));
  ASSERT_TRUE(view.isReading());
  view.PrintSettings().setOutputFormat(QPrinter::PdfFormat);
  view.PrintSettings().setOutputFileName(Q(pdf));
  EXPECT_EQ(view.PrintShown(), TPrintOutcome::Printed);
  EXPECT_FALSE(view.isReading());
  const auto text = PdfText(pdf);
  ASSERT_TRUE(text) << "pdftotext (poppler-utils) is needed";
  EXPECT_NE(text->find("EMPFAENGER 1\n"), std::string::npos);
  EXPECT_NE(text->find("EMPFAENGER 400\n"), std::string::npos);
  EXPECT_NE(text->find("quandel.example.org"), std::string::npos);
}

TEST_F(ListInViewTest, ViewClosedWhileAPageIsReadLeavesNoTrace) {
  const std::string list = WriteList("liste.html", Numbered(5000, "EMPFAENGER"));
  auto closing = std::make_unique<TBrowserView>([this](const std::string& url) { opened.push_back(url); });
  closing->setBackgroundLoadBytes(0);
  closing->Navigate(Q(list));
  ASSERT_TRUE(closing->isReading());
  closing.reset();
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::processEvents();
  // The view that stays is untouched by the other's late result.
  EXPECT_EQ(view.Document(), nullptr);
  EXPECT_TRUE(view.toPlainText().isEmpty());
  EXPECT_TRUE(opened.empty());
}

}  // namespace
}  // namespace quandel::test
