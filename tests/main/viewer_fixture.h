#pragma once
// A main window with fake dialogs, its program folder, current folder and data folder apart.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStringList>
#include <QThreadPool>

#include <memory>

#include "browser_view.h"
#include "control_list_view.h"
#include "fakes.h"
#include "mainForm.h"
#include "test_support.h"

namespace quandel::test {

class ViewerTest : public ::testing::Test {
 protected:
  // The fixture's environment is restored only when no worker of any window is left.
  ~ViewerTest() override { WaitForWorkers(); }

  // Returns when no load, check or clean-up of `form` (or of a window already gone) runs; a
  // test changes the environment only then, since a worker might be reading it.
  static void WaitForWorkers(TmainForm* form = nullptr) {
    if (form != nullptr) form->WaitForLoad();
    QThreadPool::globalInstance()->waitForDone();
  }

  std::unique_ptr<TmainForm> Start(QStringList arguments = {}) {
    arguments.prepend(QStringLiteral("quandel"));
    return std::make_unique<TmainForm>(desktop.Platform(), arguments, Q(program.Path()));
  }

  std::filesystem::path Html() const { return program.Path() / "dtaus.html"; }
  static QString ViewText(TmainForm& form) { return form.WebBrowser1->toPlainText(); }
  // Until all rows of the list shown are measured.
  static void WaitUntilLoaded(TmainForm& form) {
    TBrowserView& view = *form.WebBrowser1;
    while (!view.listView()->isComplete()) {
      QSignalSpy finished(&view, &TBrowserView::loadFinished);
      ASSERT_TRUE(finished.wait(30000)) << "page not loaded in time";
    }
  }

  std::string WriteSample(const std::string& name, const std::vector<testdta::CRecord>& payments) {
    return data.Write(name, SampleFile(payments));
  }

  testdta::TempDir program;
  testdta::TempDir work;
  testdta::TempDir data;
  // The page's other folders, should the program's fail: the tests' own, never the user's.
  testdta::TempDir elsewhere;
  ScopedEnv cacheHome{"XDG_CACHE_HOME", elsewhere.Folder("cache")};
  ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", elsewhere.Folder("run")};
  ScopedEnv tempDir{"TMPDIR", elsewhere.Folder("tmp")};
  ScopedCwd cwd{work.Path()};
  // No locale set gives the German conventions.
  ScopedEnv lcAll{"LC_ALL", std::nullopt};
  ScopedEnv lcNumeric{"LC_NUMERIC", std::nullopt};
  ScopedEnv lcTime{"LC_TIME", std::nullopt};
  ScopedEnv lang{"LANG", std::nullopt};
  FakeDesktop desktop;
};

}  // namespace quandel::test
