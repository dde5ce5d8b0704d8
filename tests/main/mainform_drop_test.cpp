// Files dropped on the window, and zoom.
#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "file_drop.h"
#include "page_browser.h"
#include "view_commands.h"
#include "viewer_fixture.h"

namespace quandel::test {
namespace {

class DropTest : public ViewerTest {
 protected:
  // Whether the window took the drag, and the drop after it.
  static bool Drop(TmainForm& form, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = form.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    return drop.isAccepted();
  }
};

TEST_F(DropTest, FirstDroppedFileIsShown) {
  const std::string first = WriteSample("erste.dta", {Payment("ERSTER EMPFAENGER", 100, "ZWECK")});
  const std::string second = WriteSample("zweite.dta", {Payment("ZWEITER EMPFAENGER", 100, "ZWECK")});
  const auto form = Start();
  ASSERT_TRUE(Drop(*form, {QUrl(QStringLiteral("https://example.org/x.dta")), QUrl::fromLocalFile(Q(first)),
                           QUrl::fromLocalFile(Q(second))}));
  WaitUntilLoaded(*form);
  EXPECT_TRUE(form->StatusText().startsWith(Q(first) + QStringLiteral(" - ")));
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("ERSTER EMPFAENGER")));
  EXPECT_FALSE(ViewText(*form).contains(QStringLiteral("ZWEITER EMPFAENGER")));

  // A folder is shown like any name that cannot be read; what is not a local file is refused.
  ASSERT_TRUE(Drop(*form, {QUrl::fromLocalFile(Q(data.Path()))}));
  EXPECT_EQ(form->StatusText(), Q(data.Path()) + QStringLiteral(" - Ist ein Ordner"));
  EXPECT_FALSE(Drop(*form, {QUrl(QStringLiteral("https://example.org/x.dta"))}));
  EXPECT_TRUE(desktop.messages->errors.empty());
}

TEST_F(DropTest, ZoomStepsAndReturnsToTheNormalSize) {
  const auto form = Start();
  TViewCommands& commands = *form->viewCommands;
  const qreal normal = form->WebBrowser1->font().pointSizeF();
  struct Step {
    QAction* action;
    int percent;
  };
  const std::vector<Step> steps{{commands.zoomIn, 110}, {commands.zoomIn, 125}, {commands.zoomReset, 100},
                                {commands.zoomOut, 90}, {commands.zoomOut, 80}, {commands.zoomOut, 67},
                                {commands.zoomOut, 50}, {commands.zoomOut, 50}};
  for (const Step& step : steps) {
    step.action->trigger();
    EXPECT_EQ(commands.zoom(), step.percent);
    EXPECT_NEAR(form->WebBrowser1->listView()->font().pointSizeF(), normal * step.percent / 100, 0.01);
    EXPECT_NEAR(form->WebBrowser1->pageBrowser()->font().pointSizeF(), normal * step.percent / 100, 0.01);
  }
  EXPECT_EQ(commands.zoomIn->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Strg++"));
  EXPECT_EQ(commands.zoomOut->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Strg+-"));
  EXPECT_EQ(commands.zoomReset->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Strg+0"));
}

}  // namespace
}  // namespace quandel::test
