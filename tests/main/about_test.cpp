// The about box: its texts, its link and the ways to close it.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "aboutFrm.h"
#include "qstring_print.h"
#include "version.h"

namespace quandel::test {
namespace {

class AboutTest : public ::testing::Test {
 protected:
  std::vector<std::string> opened;
  TaboutForm box{[this](const std::string& url) { opened.push_back(url); }};
};

TEST_F(AboutTest, ShowsNameVersionAndAddress) {
  EXPECT_EQ(box.windowTitle(), QStringLiteral("Info über Quandel"));
  EXPECT_EQ(box.Label1->text(), QStringLiteral("Quandel"));
  EXPECT_EQ(box.versionLabel->text(), QStringLiteral(QUANDEL_VERSION " (Build " QUANDEL_BUILD_NUMBER ")"));
  EXPECT_EQ(box.Label4->text(), QStringLiteral("Internet quandel.example.org"));
  EXPECT_FALSE(box.Label2->text().isEmpty());
  EXPECT_FALSE(box.Label3->text().isEmpty());
  EXPECT_EQ(box.size(), QSize(331, 205));
  EXPECT_EQ(box.Button1->text(), QStringLiteral("OK"));
  EXPECT_TRUE(box.Button1->isDefault());
  EXPECT_EQ(box.Label4->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_TRUE(box.Label4->font().underline());
  EXPECT_GT(box.Label1->font().pointSizeF(), box.versionLabel->font().pointSizeF());
}

TEST_F(AboutTest, LabelsDoNotOverlap) {
  const QList<QLabel*> labels{box.Label1, box.versionLabel, box.Label2, box.Label3, box.Label4};
  for (qsizetype i = 0; i + 1 < labels.size(); ++i)
    EXPECT_LE(labels[i]->geometry().bottom(), labels[i + 1]->geometry().top()) << i;
  for (QLabel* label : labels)
    EXPECT_LE(label->geometry().right(), box.width()) << label->objectName().toStdString();
}

TEST_F(AboutTest, LinkOpensTheAddressAndTheBoxStaysOpen) {
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  QTest::mouseClick(box.Label4, Qt::LeftButton, {}, box.Label4->rect().center());
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "https://quandel.example.org/");
  EXPECT_TRUE(box.isVisible());
  box.hide();
}

TEST_F(AboutTest, EnterEscapeAndOkCloseWithOk) {
  for (const auto close : {+[](TaboutForm& b) { QTest::keyClick(&b, Qt::Key_Escape); },
                           +[](TaboutForm& b) { QTest::keyClick(&b, Qt::Key_Return); },
                           +[](TaboutForm& b) { b.Button1->click(); }}) {
    box.setResult(-1);
    box.show();
    ASSERT_TRUE(box.isVisible());
    close(box);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
  }
}

TEST_F(AboutTest, SecondShowingHasTheSameTexts) {
  box.show();
  box.accept();
  box.show();
  EXPECT_EQ(box.windowTitle(), QStringLiteral("Info über Quandel"));
  EXPECT_EQ(box.versionLabel->text(), QStringLiteral(QUANDEL_VERSION " (Build " QUANDEL_BUILD_NUMBER ")"));
  box.hide();
}

}  // namespace
}  // namespace quandel::test
