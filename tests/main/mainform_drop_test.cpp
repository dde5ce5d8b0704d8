// Files dropped on the window, and zoom.
#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "check_view.h"
#include "file_drop.h"
#include "file_name.h"
#include "info_bar.h"
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
    return Drop(form, data);
  }
  // A list of URIs as another program hands it over, byte for byte: QMimeData::setData would
  // parse it into URLs at once, the platform's drop data hands out the bytes received.
  class RawUriList : public QMimeData {
   public:
    explicit RawUriList(QByteArray bytes) : bytes_(std::move(bytes)) {}
    QStringList formats() const override { return {QStringLiteral("text/uri-list")}; }

   protected:
    QVariant retrieveData(const QString& mimeType, QMetaType) const override {
      return mimeType == u"text/uri-list" ? QVariant(bytes_) : QVariant();
    }

   private:
    QByteArray bytes_;
  };
  static bool Drop(TmainForm& form, const QByteArray& uriList) {
    RawUriList data(uriList);
    return Drop(form, data);
  }
  static bool Drop(TmainForm& form, QMimeData& mime) {
    const QPoint at = form.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
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
  // A folder has no size or time to show; the bar says why it cannot be read.
  EXPECT_EQ(form->StatusText(), Q(data.Path()));
  EXPECT_EQ(form->checkView->bar()->text(), QStringLiteral("Datei nicht lesbar: Ist ein Ordner"));
  EXPECT_FALSE(Drop(*form, {QUrl(QStringLiteral("https://example.org/x.dta"))}));
  EXPECT_TRUE(desktop.messages->errors.empty());
}

// A name that is no UTF-8 reaches the file system with its bytes, however the list spells it.
TEST_F(DropTest, DroppedNameThatIsNoUtf8OpensItsFile) {
  const std::string latin1 = WriteSample("b\xFCro.dta", {Payment("BUERO EMPFAENGER", 100, "ZWECK")});
  // Its look-alike in UTF-8, which a lossy reading would open instead.
  WriteSample("b\xC3\xBCro.dta", {Payment("FALSCHER EMPFAENGER", 100, "ZWECK")});
  const std::string utf8 = WriteSample(
      "\xC3\x9C"
      "berweisung.dta",
      {Payment("UTF8 EMPFAENGER", 100, "ZWECK")});
  const QByteArray folder = QByteArray::fromStdString(data.Path().string()).toPercentEncoding("/");
  struct Case {
    const char* what;
    QByteArray list;
    std::string file;
    QString payee;
  };
  const std::vector<Case> cases{
      {"escaped", "file://" + folder + "/b%FCro.dta\r\n", latin1, QStringLiteral("BUERO EMPFAENGER")},
      {"raw byte", "file://" + folder + "/b\xFCro.dta\r\n", latin1, QStringLiteral("BUERO EMPFAENGER")},
      {"localhost after a comment and a web address",
       "# von einem Dateimanager\r\nhttps://example.org/x.dta\r\nfile://localhost" + folder +
           "/b%fcro.dta\r\n",
       latin1, QStringLiteral("BUERO EMPFAENGER")},
      {"utf-8", "file://" + folder + "/%C3%9Cberweisung.dta\r\n", utf8, QStringLiteral("UTF8 EMPFAENGER")},
  };
  const auto form = Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Drop(*form, c.list));
    WaitUntilLoaded(*form);
    EXPECT_TRUE(form->StatusText().startsWith(ReadableFileName(FileNameFromBytes(c.file)) +
                                              QStringLiteral(" - 512 - ")))
        << form->StatusText().toStdString();
    EXPECT_TRUE(ViewText(*form).contains(c.payee));
    EXPECT_FALSE(ViewText(*form).contains(QStringLiteral("FALSCHER EMPFAENGER")));
  }
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
