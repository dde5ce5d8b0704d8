#pragma once
// A main window with fake dialogs, its program folder, current folder and data folder apart.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStringList>

#include <memory>

#include "browser_view.h"
#include "control_list_view.h"
#include "fakes.h"
#include "mainForm.h"
#include "test_support.h"

namespace quandel::test {

class ViewerTest : public ::testing::Test {
 protected:
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
  ScopedCwd cwd{work.Path()};
  // No locale set gives the German conventions.
  ScopedEnv lcAll{"LC_ALL", std::nullopt};
  ScopedEnv lcNumeric{"LC_NUMERIC", std::nullopt};
  ScopedEnv lcTime{"LC_TIME", std::nullopt};
  ScopedEnv lang{"LANG", std::nullopt};
  FakeDesktop desktop;
};

}  // namespace quandel::test
