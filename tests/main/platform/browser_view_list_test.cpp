// The browser view with control lists: which of its two views shows a page, links and
// printing from the list.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QSignalSpy>

#include <memory>

#include "browser_view.h"
#include "control_list_view.h"
#include "page_browser.h"
#include "payment_model.h"
#include "product.h"
#include "test_support.h"

namespace quandel::test {
namespace {

class ListInViewTest : public ::testing::Test {
 protected:
  // The page written as the viewer writes it, and the model of the document it came from.
  std::shared_ptr<TPaymentModel> WriteList(const std::string& name,
                                           const std::vector<testdta::CRecord>& payments) {
    path = folder.Write(name, ControlListPage(payments));
    auto document = std::make_shared<ombra::TDtaus>();
    document->Load(folder.Write(name + ".dta", SampleFile(payments)));
    return std::make_shared<TPaymentModel>(document, ombra::TRegionalSettings::de_DE(),
                                           support::FooterText());
  }

  testdta::TempDir folder;
  std::string path;
  std::vector<std::string> opened;
  TBrowserView view{[this](const std::string& url) { opened.push_back(url); }};
};

TEST_F(ListInViewTest, ControlListGoesToTheListAndOtherPagesToTheBrowser) {
  auto list = WriteList("liste.html", {Payment("M]LLER", 12345, "GEB]HR"), Payment("SCHULZE", 99, "MIETE")});
  const std::string other =
      folder.Write("fehler.html", "<html><body>Beim Lesen ist ein Fehler aufgetreten.</body></html>\r\n");
  view.Navigate(Q(other));
  view.NavigateToList(Q(path), list);
  EXPECT_TRUE(view.showsList());
  EXPECT_EQ(view.listView()->model(), list.get());
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

TEST_F(ListInViewTest, ListLinksGoToTheDesktopAndTheListStays) {
  view.NavigateToList(Q(path), WriteList("liste.html", {Payment("EMPFAENGER", 100, "ZWECK")}));
  emit view.listView()->linkActivated(QUrl(QStringLiteral("https://quandel.example.org/")));
  emit view.listView()->linkActivated(QUrl(QStringLiteral("andere.html")));
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], "https://quandel.example.org/");
  EXPECT_EQ(opened[1], QUrl::fromLocalFile(Q(folder.Path() / "andere.html")).toString().toStdString());
  EXPECT_TRUE(view.showsList());
  EXPECT_EQ(view.listView()->rowCount(), 1);
}

TEST_F(ListInViewTest, ProgressOfABigListEndsAt100) {
  auto list = WriteList("liste.html", NumberedPayments(3000, "EMPFAENGER"));
  QSignalSpy progress(&view, &TBrowserView::loadProgress);
  QSignalSpy finished(&view, &TBrowserView::loadFinished);
  view.NavigateToList(Q(path), list);
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_TRUE(view.listView()->isComplete());
  ASSERT_GE(progress.count(), 1);
  EXPECT_EQ(progress.last().at(0).toInt(), 100);
}

TEST_F(ListInViewTest, ListIsPrintedWhole) {
  auto list = WriteList("liste.html", NumberedPayments(400, "EMPFAENGER"));
  const auto pdf = folder.Path() / "liste.pdf";
  view.NavigateToList(Q(path), list);
  view.PrintSettings().setOutputFormat(QPrinter::PdfFormat);
  view.PrintSettings().setOutputFileName(Q(pdf));
  EXPECT_EQ(view.PrintShown(), TPrintOutcome::Printed);
  const auto text = PdfText(pdf);
  ASSERT_TRUE(text) << "pdftotext (poppler-utils) is needed";
  EXPECT_NE(text->find("EMPFAENGER 1\n"), std::string::npos);
  EXPECT_NE(text->find("EMPFAENGER 400\n"), std::string::npos);
  EXPECT_NE(text->find("quandel.example.org"), std::string::npos);
}

}  // namespace
}  // namespace quandel::test
