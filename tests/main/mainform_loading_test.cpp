// Long lists: read in the background, the progress in the status bar, and the window staying
// in the user's hands meanwhile (another file, quitting).
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QThreadPool>

#include "viewer_fixture.h"

namespace quandel::test {
namespace {

class LoadingTest : public ViewerTest {
 protected:
  // Every page is read in the background, as a big one would be.
  std::unique_ptr<TmainForm> StartReadingInBackground() {
    auto form = Start();
    form->show();
    return form;
  }

  std::string WriteMany(const std::string& name, int count, const std::string& prefix) {
    return WriteSample(name, NumberedPayments(count, prefix));
  }
};

TEST_F(LoadingTest, ProgressShowsInTheStatusBarUntilTheListIsComplete) {
  const std::string file = WriteMany("lang.dta", 5000, "EMPFAENGER");
  const auto form = StartReadingInBackground();
  QProgressBar* progress = form->LoadProgress;
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->parentWidget(), form->StatusBar1);
  EXPECT_TRUE(progress->isHidden());

  form->ShowFile(QString::fromStdString(file));
  // ShowFile has not waited for the list; the status text is already there.
  ASSERT_FALSE(form->WebBrowser1->listView()->isComplete());
  const QString status = form->StatusText();
  EXPECT_TRUE(status.startsWith(QString::fromStdString(file) + " - "));
  QSignalSpy progressShown(form->WebBrowser1, &TBrowserView::loadProgress);
  ASSERT_TRUE(progressShown.wait(10000));
  EXPECT_EQ(progress->text(), QStringLiteral("Lade Zeilen … %1 %").arg(progress->value()));

  WaitUntilLoaded(*form);
  EXPECT_TRUE(progress->isHidden());
  EXPECT_EQ(form->StatusText(), status);
  EXPECT_EQ(form->WebBrowser1->listView()->rowCount(), 5000);
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("EMPFAENGER 5000\t")));
}

TEST_F(LoadingTest, SmallFileShowsNoProgress) {
  const std::string file = WriteMany("kurz.dta", 3, "EMPFAENGER");
  const auto form = Start();
  form->show();
  int shown = 0;
  QObject::connect(form->WebBrowser1, &TBrowserView::loadProgress,
                   [&] { shown += form->LoadProgress->isVisible(); });
  form->ShowFile(QString::fromStdString(file));
  WaitUntilLoaded(*form);
  QCoreApplication::processEvents();
  EXPECT_EQ(shown, 0);
  EXPECT_TRUE(form->LoadProgress->isHidden());
}

TEST_F(LoadingTest, FileOpenedWhileAnotherIsReadWins) {
  const std::string first = WriteMany("eins.dta", 5000, "ERSTER");
  const std::string second = WriteMany("zwei.dta", 2, "ZWEITER");
  const auto form = StartReadingInBackground();
  form->ShowFile(QString::fromStdString(first));
  desktop.openDialog->setNextFileName(QString::fromStdString(second));
  form->fileOpenDtaus->trigger();
  WaitUntilLoaded(*form);
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::processEvents();
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("ZWEITER 2\t")));
  EXPECT_FALSE(ViewText(*form).contains(QStringLiteral("ERSTER")));
  EXPECT_EQ(form->WebBrowser1->listView()->rowCount(), 2);
  EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(second)));
  EXPECT_TRUE(form->LoadProgress->isHidden());
  EXPECT_TRUE(desktop.messages->errors.empty());
}

TEST_F(LoadingTest, QuittingWhileAListIsReadEndsCleanly) {
  const std::string file = WriteMany("lang.dta", 5000, "EMPFAENGER");
  auto form = StartReadingInBackground();
  form->ShowFile(QString::fromStdString(file));
  ASSERT_FALSE(form->WebBrowser1->listView()->isComplete());
  form->fileExit->trigger();
  EXPECT_FALSE(form->isVisible());
  form.reset();
  // The worker's result arrives with no window left to take it.
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::processEvents();
  EXPECT_TRUE(desktop.messages->errors.empty());
}

TEST_F(LoadingTest, ErrorPageAfterAListReplacesItAndEndsTheProgress) {
  const std::string list = WriteMany("lang.dta", 5000, "EMPFAENGER");
  const std::string broken = data.Write("kaputt.dta", "kein DTAUS");
  const auto form = StartReadingInBackground();
  form->ShowFile(QString::fromStdString(list));
  form->ShowFile(QString::fromStdString(broken));
  WaitUntilLoaded(*form);
  EXPECT_FALSE(form->WebBrowser1->showsList());
  EXPECT_FALSE(form->WebBrowser1->listView()->hasPage());
  EXPECT_EQ(ViewText(*form).trimmed(), QStringLiteral("Beim Lesen der Datei %1 ist ein Fehler aufgetreten.")
                                           .arg(QString::fromStdString(broken)));
  EXPECT_TRUE(form->LoadProgress->isHidden());
}

}  // namespace
}  // namespace quandel::test
