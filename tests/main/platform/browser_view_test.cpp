// The browser view: Windows-1252 pages, the page's font rule, links and its document.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "browser_view.h"
#include "control_list_view.h"
#include "page_browser.h"
#include "page_text.h"
#include "test_support.h"
#include "version.h"

namespace quandel::test {
namespace {

TEST(PageTextTest, DecodesTheWholeWindows1252Range) {
  const QByteArray bytes("A\x80\x8A\x9F\xA0\xE4\xFC\xDF\x81", 9);
  EXPECT_EQ(DecodeCp1252(bytes), QStringLiteral("A€ŠŸ\u00A0äüß\u0081"));
}

TEST(PageTextTest, StyleRulesLoseTheirCommentMarks) {
  EXPECT_EQ(PageStyleRules(QStringLiteral(
                "<html><head><style><!-- p,td,th {font-family:arial} --></style></head><body>")),
            QStringLiteral("p,td,th {font-family:arial}"));
  EXPECT_EQ(PageStyleRules(QStringLiteral("<STYLE type=\"text/css\">b {color:red}</STYLE>")),
            QStringLiteral("b {color:red}"));
  EXPECT_EQ(PageStyleRules(QStringLiteral("<p>kein Stil</p>")), QString());
  EXPECT_EQ(PageStyleRules(QStringLiteral("<style>offen")), QString());
}

TEST(PageTextTest, ParagraphFollowsEveryRule) {
  EXPECT_EQ(PageForView(QStringLiteral("a<hr>b<HR size=2>c<hrx>")),
            QStringLiteral("a<hr><p>b<HR size=2><p>c<hrx>"));
}

class BrowserViewTest : public ::testing::Test {
 protected:
  testdta::TempDir folder;
  std::vector<std::string> opened;
  TBrowserView view{[this](const std::string& url) { opened.push_back(url); }};
};

TEST_F(BrowserViewTest, HasNoDocumentBeforeTheFirstPage) {
  EXPECT_EQ(view.Document(), nullptr);
  EXPECT_EQ(view.pageBrowser()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(view.listView()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_TRUE(view.toPlainText().isEmpty());
}

TEST_F(BrowserViewTest, ShowsAWindows1252PageWithItsFontRule) {
  const std::string page =
      folder.Write("seite.html",
                   "<html><head><style><!-- p,td,th {font-family:arial} --></style></head><body>"
                   "<p><b>Datentr\xE4ger-Kontrolliste</b><table><tr><td>Zelle "
                   "\x80</td></tr></table></p></body></html>\r\n");
  view.Navigate(Q(page));
  EXPECT_FALSE(view.showsList());
  EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("Datenträger-Kontrolliste")));
  EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("Zelle €")));

  QTextCursor cell = view.pageBrowser()->document()->find(QStringLiteral("Zelle"));
  ASSERT_FALSE(cell.isNull());
  ASSERT_NE(cell.currentTable(), nullptr);
  EXPECT_TRUE(cell.charFormat().fontFamilies().toStringList().contains(QStringLiteral("arial")));

  const auto document = view.Document();
  ASSERT_NE(document, nullptr);
  const auto target = document->QueryCommandTarget();
  ASSERT_NE(target, nullptr);
  OLECMD cmd{OLECMDID_PRINT, 0};
  EXPECT_EQ(target->QueryStatus(cmd), S_OK);
  EXPECT_NE(cmd.cmdf & OLECMDF_ENABLED, 0u);
  OLECMD other{5, 0};
  EXPECT_NE(target->QueryStatus(other), S_OK);
}

TEST_F(BrowserViewTest, FooterAfterTheRuleStaysOneLine) {
  const std::string page = folder.Write(
      "seite.html",
      "<p>Liste<hr><font color=\"#cccccc\">Quandel &middot; <a href=\"https://quandel.example.org/\">"
      "quandel.example.org</a> - " QUANDEL_VERSION " (" QUANDEL_BUILD_NUMBER ")</font></p>");
  view.Navigate(Q(page));
  EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("Quandel · quandel.example.org - " QUANDEL_VERSION " (" QUANDEL_BUILD_NUMBER ")")))
      << view.toPlainText().toStdString();
}

TEST_F(BrowserViewTest, SamePathAgainShowsTheNewContent) {
  const std::string page = folder.Write("seite.html", "<p>alt</p>");
  view.Navigate(Q(page));
  folder.Write("seite.html", "<p>neu</p>");
  view.Navigate(Q(page));
  EXPECT_EQ(view.toPlainText(), QStringLiteral("neu"));
}

TEST_F(BrowserViewTest, MissingPageIsAnErrorAndTheViewKeepsItsPage) {
  const std::string page = folder.Write("seite.html", "<p>bleibt</p>");
  view.Navigate(Q(page));
  EXPECT_THROW(view.Navigate(Q(folder.Path() / "fehlt.html")), std::runtime_error);
  EXPECT_EQ(view.toPlainText(), QStringLiteral("bleibt"));
}

TEST_F(BrowserViewTest, LinksGoToTheDesktopAndTheViewStays) {
  const std::string page =
      folder.Write("seite.html", "<p><a href=\"https://quandel.example.org/\">x</a></p>");
  view.Navigate(Q(page));
  const QUrl shown = view.pageBrowser()->source();
  emit view.pageBrowser()->anchorClicked(QUrl(QStringLiteral("https://quandel.example.org/")));
  emit view.pageBrowser()->anchorClicked(QUrl(QStringLiteral("andere.html")));
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], "https://quandel.example.org/");
  EXPECT_EQ(opened[1], QUrl::fromLocalFile(Q(folder.Path() / "andere.html")).toString().toStdString());
  EXPECT_EQ(view.pageBrowser()->source(), shown);
}

}  // namespace
}  // namespace quandel::test
