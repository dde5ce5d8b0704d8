// Start-up of the main window: caption, menus, tool bar, settings file and command line.
#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <ostream>

#include "file_name.h"
#include "viewer_fixture.h"
#include "version.h"

namespace quandel::test {
namespace {

using StartTest = ViewerTest;

TEST_F(StartTest, WithoutArgumentsTheWindowIsEmpty) {
  const auto form = Start();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Osmera - Quandel " QUANDEL_VERSION));
  EXPECT_EQ(form->StatusText(), QString());
  EXPECT_EQ(form->WebBrowser1->Document(), nullptr);
  EXPECT_TRUE(ViewText(*form).isEmpty());
  EXPECT_FALSE(std::filesystem::exists(Html()));
  EXPECT_EQ(form->size(), QSize(696, 480));
  EXPECT_TRUE(desktop.messages->errors.empty());
}

TEST_F(StartTest, FirstArgumentThatIsNoFileIsIgnoredSilently) {
  for (const QString& argument : {Q(data.Path()), Q(data.Path() / "fehlt.dta"), QString()}) {
    const auto form = Start({argument});
    EXPECT_EQ(form->StatusText(), QString()) << argument.toStdString();
    EXPECT_EQ(form->WebBrowser1->Document(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(Html()));
  }
  EXPECT_TRUE(desktop.messages->errors.empty());
  EXPECT_TRUE(desktop.messages->messages.empty());
}

TEST_F(StartTest, FirstArgumentIsShownAndFurtherOnesAreIgnored) {
  const std::string first = WriteSample("erste.dta", {Payment("EMPFAENGER EINS", 12345, "RECHNUNG 1")});
  const std::string second = WriteSample("zweite.dta", {Payment("EMPFAENGER ZWEI", 500, "RECHNUNG 2")});
  const auto form = Start({QString::fromStdString(first), QString::fromStdString(second)});
  EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(first) + " - "));
  EXPECT_TRUE(ViewText(*form).contains("EMPFAENGER EINS"));
  EXPECT_FALSE(ViewText(*form).contains("EMPFAENGER ZWEI"));
  EXPECT_TRUE(std::filesystem::exists(Html()));
}

TEST_F(StartTest, RelativeNameIsShownAsTyped) {
  work.Write("relativ.dta", SampleFile({Payment("EMPFAENGER", 100, "ZWECK")}));
  const auto form = Start({QStringLiteral("relativ.dta")});
  EXPECT_TRUE(form->StatusText().startsWith(QStringLiteral("relativ.dta - ")));
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("Datenträger-Kontrolliste vom 31.12.2002")));
}

TEST_F(StartTest, NameFromAnOldArchiveIsShownReadablyAndRefreshed) {
  // Latin-1 bytes, no UTF-8: as the program gets them from the command line.
  work.Write("b\xFCro.dta", SampleFile({Payment("ERSTER STAND", 100, "ZWECK")}));
  const auto form = Start({FileNameFromBytes("b\xFCro.dta")});
  EXPECT_TRUE(desktop.messages->errors.empty());
  EXPECT_TRUE(form->StatusText().startsWith(QStringLiteral("büro.dta - ")))
      << form->StatusText().toStdString();
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("ERSTER STAND")));

  work.Write("b\xFCro.dta", SampleFile({Payment("ZWEITER STAND", 100, "ZWECK")}));
  form->fileUpdateDtaus->trigger();
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("ZWEITER STAND")));
  EXPECT_TRUE(desktop.messages->errors.empty());
}

TEST_F(StartTest, ErrorWhileShowingTheArgumentIsReportedAndTheWindowStillOpens) {
  // Neither the program's folder nor the cache nor a private folder can take the page.
  const std::string blocker = data.Write("kein-ordner", "");
  ScopedEnv cache("XDG_CACHE_HOME", blocker + "/cache");
  ScopedEnv runtime("XDG_RUNTIME_DIR", blocker + "/run");
  ScopedEnv temp("TMPDIR", blocker + "/tmp");
  const std::string file = WriteSample("start.dta", {Payment("EMPFAENGER", 100, "ZWECK")});
  const auto form = std::make_unique<TmainForm>(
      desktop.Platform(), QStringList{QStringLiteral("quandel"), QString::fromStdString(file)},
      Q(program.Path() / "fehlt"));
  ASSERT_EQ(desktop.messages->errors.size(), 1u);
  EXPECT_TRUE(desktop.messages->errors[0].startsWith(QStringLiteral("Datei \"")));
  // Named with the cache folder's own reason, not as a folder that is missing.
  EXPECT_TRUE(desktop.messages->errors[0].endsWith(QStringLiteral(
      "/cache/quandel/dtaus.html\" kann nicht erstellt werden. Ein Teil des Pfades ist kein Ordner.")))
      << desktop.messages->errors[0].toStdString();
  // Steps before the failing one stay done.
  EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(file)));
  EXPECT_EQ(form->WebBrowser1->Document(), nullptr);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Osmera - Quandel " QUANDEL_VERSION));
}

// The window as it comes up: 696 x 480 outside, frame included, centred in the screen's free
// area; the tool bar 29 and the status bar 19 pixels high.
TEST_F(StartTest, WindowComesUpAtItsSizeCentredWithItsBars) {
  const auto form = Start();
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  const QRect frame = form->frameGeometry();
  EXPECT_EQ(frame.size(), QSize(696, 480));
  const QRect area = form->screen()->availableGeometry();
  EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 1) << frame.x();
  EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 1) << frame.y();
  EXPECT_EQ(form->ToolBar1->height(), 29);
  EXPECT_EQ(form->StatusBar1->height(), 19);
  // What the bars hold still fits.
  EXPECT_LE(form->StatusPanel->fontMetrics().height(), form->StatusPanel->height());
  EXPECT_GE(form->ToolBar1->widgetForAction(form->fileOpenDtaus)->height(),
            form->ToolBar1->iconSize().height() + 4);
}

TEST_F(StartTest, MenusReadAsDesigned) {
  const auto form = Start();
  const QList<QAction*> top = form->MainMenu1->actions();
  ASSERT_EQ(top.size(), 2);
  EXPECT_EQ(top[0]->text(), QStringLiteral("&Datei"));
  EXPECT_EQ(top[1]->text(), QStringLiteral("&Hilfe"));

  // The captions as designed, each with an access letter of its own in its menu.
  const auto expectItems = [](QMenu* menu, const std::vector<std::pair<const char*, const char*>>& items) {
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size()));
    QSet<QChar> letters;
    for (qsizetype i = 0; i < actions.size(); ++i) {
      const auto& [name, caption] = items[static_cast<std::size_t>(i)];
      if (name == nullptr) {
        EXPECT_TRUE(actions[i]->isSeparator());
        continue;
      }
      EXPECT_EQ(actions[i]->objectName(), QString::fromLatin1(name));
      EXPECT_EQ(actions[i]->text(), QString::fromUtf8(caption));
      const QKeySequence mnemonic = QKeySequence::mnemonic(actions[i]->text());
      EXPECT_FALSE(mnemonic.isEmpty()) << name;
      EXPECT_FALSE(letters.contains(QChar(mnemonic[0].key()))) << name;
      letters.insert(QChar(mnemonic[0].key()));
    }
  };
  expectItems(form->Datei1, {{"fileOpenDtaus", "&Öffnen..."},
                             {"fileUpdateDtaus", "&Aktualisieren"},
                             {"filePrint", "&Drucken"},
                             {nullptr, nullptr},
                             {"fileExit", "&Beenden"}});
  expectItems(form->Hilfe1, {{"helpAbout", "&Info..."}});
}

TEST_F(StartTest, MenusShowGermanKeyNames) {
  const auto form = Start();
  // The menu writes a shortcut as its native text.
  const auto shown = [&](const char* name) {
    return form->findChild<QAction*>(name)->shortcut().toString(QKeySequence::NativeText);
  };
  EXPECT_EQ(shown("fileOpenDtaus"), QStringLiteral("Strg+O"));
  EXPECT_EQ(shown("filePrint"), QStringLiteral("Strg+P"));
  EXPECT_EQ(shown("fileUpdateDtaus"), QStringLiteral("F5"));
  EXPECT_EQ(shown("fileExit"), QString());
  EXPECT_EQ(shown("helpAbout"), QString());
}

TEST_F(StartTest, ToolBarHoldsOpenAndPrintWithTheirImages) {
  const auto form = Start();
  const QList<QAction*> buttons = form->ToolBar1->actions();
  ASSERT_EQ(buttons.size(), 2);
  EXPECT_EQ(buttons[0], form->fileOpenDtaus);
  EXPECT_EQ(buttons[1], form->filePrint);
  EXPECT_EQ(form->ToolBar1->widgetForAction(buttons[0])->objectName(), QStringLiteral("ToolButton1"));
  EXPECT_EQ(form->ToolBar1->widgetForAction(buttons[1])->objectName(), QStringLiteral("ToolButton2"));
  for (QAction* action : buttons) {
    const QImage image = action->icon().pixmap(QSize(16, 16)).toImage();
    ASSERT_FALSE(image.isNull()) << action->objectName().toStdString();
    EXPECT_EQ(image.size(), QSize(16, 16));
  }
  EXPECT_NE(form->fileOpenDtaus->icon().pixmap(16, 16).toImage(),
            form->filePrint->icon().pixmap(16, 16).toImage());
  EXPECT_TRUE(form->fileExit->icon().isNull());
}

TEST_F(StartTest, BrowserSitsFiveInsideItsPanel) {
  const auto form = Start();
  form->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->centralWidget(), form->browserPanel);
  EXPECT_EQ(form->WebBrowser1->geometry(), form->browserPanel->rect().adjusted(5, 5, -5, -5));
}

struct SettingsCase {
  const char* name;
  const char* ini;
  int filterIndex;
  const char* initialDir;
};

void PrintTo(const SettingsCase& c, std::ostream* out) { *out << c.name; }

class SettingsTest : public ViewerTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsTest, OpenDialogStartsAsConfigured) {
  const SettingsCase& c = GetParam();
  if (c.ini != nullptr) work.Write("quandel.ini", c.ini);
  const auto form = Start();
  desktop.openDialog->setNextCancel();
  form->fileOpenDtaus->trigger();
  ASSERT_EQ(desktop.openDialog->shown.size(), 1u);
  const TOpenDialogSettings& shown = desktop.openDialog->shown[0];
  EXPECT_EQ(shown.Filter, QString::fromUtf8(kOpenFilter));
  EXPECT_EQ(shown.FilterIndex, c.filterIndex);
  EXPECT_EQ(shown.InitialDir, QString::fromUtf8(c.initialDir));
}

INSTANTIATE_TEST_SUITE_P(
    Ini, SettingsTest,
    ::testing::Values(SettingsCase{"MissingFile", nullptr, 1, ""},
                      SettingsCase{"HexWith0x", "[viewer]\r\nfilterindex=0x2\r\n", 2, ""},
                      SettingsCase{"HexWithDollar", "[viewer]\nfilterindex=$2\n", 2, ""},
                      SettingsCase{"NoNumber", "[viewer]\nfilterindex=abc\n", 1, ""},
                      SettingsCase{"PlusSign", "[viewer]\nfilterindex=+2\n", 2, ""},
                      SettingsCase{"SignAlone", "[viewer]\nfilterindex=+\n", 1, ""},
                      SettingsCase{"CommaAndBackslashKept",
                                   "[Viewer]\nFilterIndex=3\nInitialDir=/daten/alt,neu\\ablage\n", 3,
                                   "/daten/alt,neu\\ablage"},
                      SettingsCase{"Windows1252Folder",
                                   "[viewer]\ninitialdir=/daten/b\xFC"
                                   "ro\n",
                                   1, "/daten/büro"},
                      SettingsCase{"OutOfRangeGoesToTheDialog", "[viewer]\nfilterindex=7\n", 7, ""},
                      SettingsCase{"OtherSection", "[andere]\nfilterindex=2\n", 1, ""}),
    [](const ::testing::TestParamInfo<SettingsCase>& tested) { return std::string(tested.param.name); });

TEST_F(StartTest, SettingsBesideTheProgramAreNotRead) {
  program.Write("quandel.ini", "[viewer]\nfilterindex=2\ninitialdir=/daten\n");
  const auto form = Start();
  form->fileOpenDtaus->trigger();
  ASSERT_EQ(desktop.openDialog->shown.size(), 1u);
  EXPECT_EQ(desktop.openDialog->shown[0].FilterIndex, 1);
  EXPECT_EQ(desktop.openDialog->shown[0].InitialDir, QString());
}

TEST_F(StartTest, SettingsAreReadOnceAtStart) {
  work.Write("quandel.ini", "[viewer]\nfilterindex=2\n");
  const auto form = Start();
  work.Write("quandel.ini", "[viewer]\nfilterindex=3\n");
  form->fileOpenDtaus->trigger();
  form->fileOpenDtaus->trigger();
  ASSERT_EQ(desktop.openDialog->shown.size(), 2u);
  EXPECT_EQ(desktop.openDialog->shown[0].FilterIndex, 2);
  EXPECT_EQ(desktop.openDialog->shown[1].FilterIndex, 2);
}

TEST_F(StartTest, ExitClosesTheWindowAndLeavesThePage) {
  const std::string file = WriteSample("a.dta", {Payment("EMPFAENGER", 100, "ZWECK")});
  auto form = Start({QString::fromStdString(file)});
  form->show();
  ASSERT_TRUE(form->isVisible());
  form->findChild<QAction*>("fileExit")->trigger();
  EXPECT_FALSE(form->isVisible());
  form.reset();
  EXPECT_TRUE(std::filesystem::exists(Html()));
}

TEST_F(StartTest, InfoShowsTheAboutBox) {
  const auto form = Start();
  int shown = 0;
  form->SetAboutBox([&shown] { ++shown; });
  form->findChild<QAction*>("helpAbout")->trigger();
  EXPECT_EQ(shown, 1);
}

}  // namespace
}  // namespace quandel::test
