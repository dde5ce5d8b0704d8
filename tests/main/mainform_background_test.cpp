// Files loaded in the background: cancelled, overtaken by a newer load, failing, refreshed.
// Nothing here waits on a clock: each test acts when the window reports the file read and
// waits for the load's end.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <fstream>
#include <functional>
#include <utility>

#include "check_runner.h"
#include "check_view.h"
#include "info_bar.h"
#include "viewer_fixture.h"

namespace quandel::test {
namespace {

class BackgroundTest : public ViewerTest {
 protected:
  void SetUp() override {
    desktop.waitForLoads = false;
    shown = WriteSample("gezeigt.dta", NumberedPayments(300, "GEZEIGT"));
    form = Start();
    form->resize(700, 400);
    form->show();
    // Esc reaches the window's shortcuts only in the active window.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Load(shown);
    TCheckRunner* runner = form->checkView->runner();
    QSignalSpy checked(runner, &TCheckRunner::finished);
    ASSERT_TRUE(!runner->isBusy() || checked.wait(30000));
    QCoreApplication::processEvents();
  }

  // Loads `file` until the load has ended and says how often the window reported it read.
  // `atStart` runs right after ShowFile, `whenRead` once the file is read, its page still
  // being written.
  int Load(const std::string& file, const std::function<void()>& whenRead = {},
           const std::function<void()>& atStart = {}) {
    QSignalSpy ended(form.get(), &TmainForm::loadEnded);
    int read = 0;
    const QMetaObject::Connection connection = QObject::connect(form.get(), &TmainForm::fileRead, [&] {
      ++read;
      EXPECT_TRUE(form->isLoading());
      if (whenRead) whenRead();
    });
    form->ShowFile(QString::fromStdString(file));
    EXPECT_TRUE(form->isLoading());
    if (atStart) atStart();
    form->WaitForLoad();
    QObject::disconnect(connection);
    EXPECT_EQ(ended.count(), 1);
    ExpectIdle();
    return read;
  }

  struct TShown {
    QString status;
    QString view;
    std::string page;
    QString checkMessage;
    const ombra::TDtaus* document;
  };
  TShown Shown() {
    return {form->StatusText(), ViewText(*form), ReadBytes(Html()), form->checkView->bar()->text(),
            &form->dtaus()};
  }
  void ExpectShown(const TShown& before) {
    const TShown now = Shown();
    EXPECT_EQ(now.status, before.status);
    EXPECT_EQ(now.view, before.view);
    EXPECT_TRUE(now.page == before.page);
    EXPECT_EQ(now.checkMessage, before.checkMessage);
    EXPECT_EQ(now.document, before.document);
  }
  // No load running, and the page without a temporary file beside it.
  void ExpectIdle() {
    EXPECT_FALSE(form->isLoading());
    EXPECT_TRUE(form->LoadCancel->isHidden());
    EXPECT_TRUE(form->LoadProgress->isHidden());
    EXPECT_NE(form->WebBrowser1->cursor().shape(), Qt::BusyCursor);
    if (std::filesystem::exists(program.Path())) {
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.Path()), {}), 1);
    }
  }

  std::string shown;
  std::unique_ptr<TmainForm> form;
};

TEST_F(BackgroundTest, CancelledLoadLeavesWhatWasShown) {
  const std::string other = WriteSample("anderer.dta", NumberedPayments(40, "ANDERER"));
  const TShown before = Shown();
  ASSERT_FALSE(before.checkMessage.isEmpty());
  struct Case {
    const char* name;
    bool whenRead;
    std::function<void(TmainForm&)> cancel;
  };
  const std::vector<Case> cases{
      {"CancelLoad", true, [](TmainForm& f) { f.CancelLoad(); }},
      {"button", true, [](TmainForm& f) { f.LoadCancel->click(); }},
      {"Esc", true, [](TmainForm& f) { QTest::keyClick(&f, Qt::Key_Escape); }},
      {"before the file is read", false, [](TmainForm& f) { f.CancelLoad(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto whenRead = [&] {
      // The new list is in sight, the earlier one still to come back.
      EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("ANDERER 40\t")));
      EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(other)));
      EXPECT_FALSE(form->LoadCancel->isHidden());
      EXPECT_EQ(form->WebBrowser1->cursor().shape(), Qt::BusyCursor);
      // The earlier file's verdict is gone; the bar keeps its room for the check to come.
      EXPECT_TRUE(form->checkView->bar()->showsProgress());
      c.cancel(*form);
    };
    if (c.whenRead)
      EXPECT_EQ(Load(other, whenRead), 1);
    else
      EXPECT_EQ(Load(other, {}, [&] { c.cancel(*form); }), 0);
    ExpectShown(before);
    EXPECT_TRUE(desktop.messages->errors.empty());
  }
  // Refreshing still means the file shown, not the one cancelled.
  form->fileUpdateDtaus->trigger();
  form->WaitForLoad();
  EXPECT_EQ(form->StatusText(), before.status);
}

// Esc belongs to the load only while one runs.
TEST_F(BackgroundTest, EscWithoutALoadChangesNothing) {
  const TShown before = Shown();
  QSignalSpy ended(form.get(), &TmainForm::loadEnded);
  QTest::keyClick(form.get(), Qt::Key_Escape);
  EXPECT_EQ(ended.count(), 0);
  ExpectShown(before);
}

// The newer load starts before the older one is read, or once its list is in sight, its page
// perhaps already written.
TEST_F(BackgroundTest, NewerLoadWinsOverOlderOnes) {
  const std::string older = WriteSample("aelter.dta", NumberedPayments(2000, "AELTER"));
  const std::string newer = WriteSample("neuer.dta", NumberedPayments(3, "NEUER"));
  struct Case {
    std::string first, second;
    int rows;
    const char* prefix;
  };
  for (const bool whenRead : {false, true}) {
    for (const Case& c : {Case{older, newer, 3, "NEUER"}, Case{newer, older, 2000, "AELTER"}}) {
      SCOPED_TRACE(c.first + (whenRead ? " read" : ""));
      bool started = false;
      const auto second = [&] {
        if (!std::exchange(started, true)) form->ShowFile(QString::fromStdString(c.second));
      };
      EXPECT_EQ(whenRead ? Load(c.first, second) : Load(c.first, {}, second), whenRead ? 2 : 1);
      EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(c.second) + " - "));
      EXPECT_EQ(form->WebBrowser1->listView()->rowCount(), c.rows);
      EXPECT_EQ(form->dtaus().SatzCList.size(), static_cast<std::size_t>(c.rows));
      EXPECT_TRUE(ReadBytes(Html()) == ControlListPage(NumberedPayments(c.rows, c.prefix)));
    }
  }
}

// The page fails once in the worker (its folder is gone, and a file stands where each other
// folder would be made) and once when it is put in place (a folder stands there); either way
// the error box says so and the earlier list stays.
TEST_F(BackgroundTest, PageThatCannotBeWrittenIsReportedAndTheEarlierListStays) {
  const std::string other = WriteSample("anderer.dta", NumberedPayments(40, "ANDERER"));
  const std::filesystem::path away = program.Path().string() + ".weg";
  const std::filesystem::path elsewhereAway = elsewhere.Path().string() + ".weg";
  struct Case {
    const char* name;
    std::filesystem::path from;
    std::filesystem::path to;
    bool blockElsewhere;
  };
  const std::vector<Case> cases{{"in the worker", program.Path(), away, true},
                                {"when put in place", Html(), away, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TShown before = Shown();
    desktop.messages->errors.clear();
    std::filesystem::rename(c.from, c.to);
    if (c.from == Html()) std::filesystem::create_directory(Html());
    if (c.blockElsewhere) {
      std::filesystem::rename(elsewhere.Path(), elsewhereAway);
      std::ofstream(elsewhere.Path()) << "x";
    }
    bool previewed = false;
    Load(other, [&] { previewed = ViewText(*form).contains(QStringLiteral("ANDERER 40\t")); });
    if (c.blockElsewhere) {
      std::filesystem::remove(elsewhere.Path());
      std::filesystem::rename(elsewhereAway, elsewhere.Path());
    }
    if (c.from == Html()) std::filesystem::remove(Html());
    std::filesystem::rename(c.to, c.from);
    ASSERT_EQ(desktop.messages->errors.size(), 1u);
    EXPECT_TRUE(desktop.messages->errors[0].contains(QStringLiteral("\" kann nicht erstellt werden. ")))
        << desktop.messages->errors[0].toStdString();
    EXPECT_TRUE(previewed);
    // As before: the status names the new file, the view and the page are the earlier ones.
    EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(other)));
    EXPECT_EQ(ViewText(*form), before.view);
    EXPECT_TRUE(ReadBytes(Html()) == before.page);
  }
}

TEST_F(BackgroundTest, RefreshKeepsTheFirstRowInSightWhereTheListStillHasIt) {
  struct Case {
    int rowsAfter;
    int topAfter;
  };
  for (const Case c : {Case{300, 120}, Case{500, 120}, Case{100, 0}}) {
    SCOPED_TRACE(c.rowsAfter);
    Load(shown);
    TControlListView& list = *form->WebBrowser1->listView();
    list.scrollToRow(120, 3);
    ASSERT_EQ(list.firstVisibleRow(), std::pair(120, 3));
    data.Write("gezeigt.dta", SampleFile(NumberedPayments(c.rowsAfter, "GEZEIGT")));
    form->fileUpdateDtaus->trigger();
    form->WaitForLoad();
    ASSERT_EQ(list.rowCount(), c.rowsAfter);
    EXPECT_EQ(list.firstVisibleRow().first, c.topAfter);
    if (c.topAfter != 0) {
      EXPECT_EQ(list.firstVisibleRow().second, 3);
    }
    data.Write("gezeigt.dta", SampleFile(NumberedPayments(300, "GEZEIGT")));
  }
}

}  // namespace
}  // namespace quandel::test
