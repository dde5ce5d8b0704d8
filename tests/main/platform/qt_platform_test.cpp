// The desktop dialogs themselves, each closed by a timer as soon as it is up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <sys/stat.h>

#include <filesystem>

#include <functional>
#include <optional>

#include "file_name.h"
#include "mainForm.h"
#include "open_dialog.h"
#include "qt_platform.h"
#include "test_support.h"

namespace quandel::test {
namespace {

// Runs `inspect` on the next modal dialog and then closes it with `result`.
void WhenModalIsUp(std::function<void(QDialog&)> inspect, int result) {
  QTimer::singleShot(10, [inspect, result] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      inspect(*dialog);
      dialog->done(result);
    } else {
      WhenModalIsUp(inspect, result);
    }
  });
}

// The open dialog's settings as the window gives them, starting in `folder` (none: the
// current folder).
TOpenDialogSettings OpenSettings(const std::optional<std::filesystem::path>& folder) {
  TOpenDialogSettings settings;
  settings.Filter = QString::fromUtf8(kOpenFilter);
  if (folder) settings.InitialDir = Q(*folder);
  return settings;
}

TEST(QtPlatformTest, OpenDialogStartsWithTheGivenFilterAndFolder) {
  testdta::TempDir folder;
  const TViewerPlatform platform = QtViewerPlatform();
  TOpenDialogSettings settings = OpenSettings(folder.Path());
  settings.FilterIndex = 2;

  QString filter, directory;
  QStringList filters;
  WhenModalIsUp(
      [&](QDialog& dialog) {
        auto& files = dynamic_cast<TOpenFileDialog&>(dialog);
        filter = files.selectedNameFilter();
        filters = files.nameFilters();
        directory = files.directory();
      },
      QDialog::Rejected);
  EXPECT_EQ(platform.openDialog->Execute(settings), std::nullopt);
  ASSERT_EQ(filters.size(), 3);
  // The dialog names the selected filter by what the user reads.
  EXPECT_EQ(filter, QStringLiteral("DTAUS-Datei (dtaus1.*)"));
  EXPECT_EQ(directory, Q(folder.Path()));

  for (const int outside : {0, 4, -1}) {
    settings.FilterIndex = outside;
    WhenModalIsUp(
        [&](QDialog& dialog) { filter = dynamic_cast<TOpenFileDialog&>(dialog).selectedNameFilter(); },
        QDialog::Rejected);
    platform.openDialog->Execute(settings);
    EXPECT_EQ(filter, QStringLiteral("DTAUS-Datei (*.dta)")) << outside;
  }

  // A name typed is taken as it is, also when no such file exists.
  WhenModalIsUp(
      [](QDialog& dialog) { dynamic_cast<TOpenFileDialog&>(dialog).nameEdit()->setText("neu.dta"); },
      QDialog::Accepted);
  EXPECT_EQ(platform.openDialog->Execute(settings), Q(folder.Path() / "neu.dta"));
}

TEST(QtPlatformTest, OpenDialogOffersTheNameChosenLast) {
  testdta::TempDir start;
  testdta::TempDir data;
  const std::string chosen = data.Write("zuletzt.dta", "x");
  const TViewerPlatform platform = QtViewerPlatform();
  const TOpenDialogSettings settings = OpenSettings(start.Path());

  WhenModalIsUp([&](QDialog& dialog) { dynamic_cast<TOpenFileDialog&>(dialog).selectFile(Q(chosen)); },
                QDialog::Accepted);
  ASSERT_EQ(platform.openDialog->Execute(settings), Q(chosen));

  QString offered;
  QString directory;
  WhenModalIsUp(
      [&](QDialog& dialog) {
        auto& files = dynamic_cast<TOpenFileDialog&>(dialog);
        offered = files.selectedFile();
        directory = files.directory();
      },
      QDialog::Rejected);
  EXPECT_EQ(platform.openDialog->Execute(settings), std::nullopt);
  EXPECT_EQ(offered, Q(chosen));
  EXPECT_EQ(directory, Q(data.Path()));
}

// The dialog goes into a folder typed or double-clicked and up again; a start folder that is
// not there leaves the current one listed.
TEST(QtPlatformTest, OpenDialogWalksFolders) {
  testdta::TempDir current;
  const ScopedCwd cwd(current.Path());
  testdta::TempDir folder;
  const std::string inner = folder.Write("ablage/innen.dta", "x");
  const TViewerPlatform platform = QtViewerPlatform();
  TOpenDialogSettings settings = OpenSettings(std::nullopt);
  struct Case {
    const char* what;
    QString start;
    std::function<void(TOpenFileDialog&)> walk;
    QString directory;
  };
  const auto enterTyped = [](TOpenFileDialog& files) {
    files.nameEdit()->setText(QStringLiteral("ablage"));
    files.accept();
  };
  const std::vector<Case> cases{
      {"missing start", Q(folder.Path() / "fehlt"), [](TOpenFileDialog&) {}, Q(current.Path())},
      {"typed folder", Q(folder.Path()), enterTyped, Q(folder.Path() / "ablage")},
      {"double-clicked folder", Q(folder.Path()),
       [](TOpenFileDialog& files) { emit files.view()->activated(files.view()->model()->index(0, 0)); },
       Q(folder.Path() / "ablage")},
      {"up again", Q(folder.Path()),
       [&](TOpenFileDialog& files) {
         enterTyped(files);
         files.findChild<QToolButton*>(QStringLiteral("folderUp"))->click();
       },
       Q(folder.Path())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings.InitialDir = c.start;
    QString directory;
    bool open = false;
    WhenModalIsUp(
        [&](QDialog& dialog) {
          auto& files = dynamic_cast<TOpenFileDialog&>(dialog);
          c.walk(files);
          directory = files.directory();
          open = files.isVisible();
        },
        QDialog::Rejected);
    platform.openDialog->Execute(settings);
    EXPECT_EQ(directory, c.directory);
    EXPECT_TRUE(open);
  }
  // A file of the folder entered is chosen by its name.
  settings.InitialDir = Q(folder.Path());
  WhenModalIsUp(
      [&](QDialog& dialog) {
        auto& files = dynamic_cast<TOpenFileDialog&>(dialog);
        enterTyped(files);
        files.nameEdit()->setText(QStringLiteral("innen.dta"));
      },
      QDialog::Accepted);
  EXPECT_EQ(platform.openDialog->Execute(settings), QString::fromStdString(inner));
}

// A folder's names are read as bytes: a name that is no UTF-8 is listed readably, and choosing
// it hands back the name that opens that very file.
TEST(QtPlatformTest, OpenDialogListsNamesThatAreNoUtf8AndHandsThemBack) {
  testdta::TempDir folder;
  // Two names that read alike once their odd bytes are replaced, and a UTF-8 one.
  const std::vector<std::string> names{"b\xFCro.dta", "b\xF6ro.dta",
                                       "\xC3\x9C"
                                       "bersicht.dta"};
  for (const std::string& name : names) folder.Write(name, name);
  const TViewerPlatform platform = QtViewerPlatform();
  TOpenDialogSettings settings = OpenSettings(folder.Path());
  struct Case {
    QString listed;
    std::string file;
  };
  const std::vector<Case> cases{{QStringLiteral("büro.dta"), names[0]},
                                {QStringLiteral("böro.dta"), names[1]},
                                {QStringLiteral("Übersicht.dta"), names[2]}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    QStringList listed;
    WhenModalIsUp(
        [&](QDialog& dialog) {
          auto& files = dynamic_cast<TOpenFileDialog&>(dialog);
          listed = files.listedNames();
          const QModelIndexList rows = files.view()->model()->match(
              files.view()->model()->index(0, 0), Qt::DisplayRole, c.listed, 1, Qt::MatchExactly);
          if (!rows.isEmpty()) files.view()->setCurrentIndex(rows.front());
        },
        QDialog::Accepted);
    const std::optional<QString> chosen = platform.openDialog->Execute(settings);
    EXPECT_EQ(listed, (QStringList{QStringLiteral("böro.dta"), QStringLiteral("büro.dta"),
                                   QStringLiteral("Übersicht.dta")}));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(FileNameToBytes(*chosen), folder.Path(c.file));
    EXPECT_EQ(ReadBytes(FileNameToBytes(*chosen)), c.file);
  }
}

// The filters match as on the system they were written for: "Alle Dateien (*.*)" lists names
// without an extension, "dtaus1.*" also "dtaus1".
TEST(QtPlatformTest, OpenDialogFiltersListWhatTheyPromise) {
  testdta::TempDir folder;
  for (const char* name : {"a.dta", "B.DTA", "DTAUS0", "dtaus1", "dtaus1.txt", "notiz.txt", ".versteckt.dta"})
    folder.Write(name, "x");
  folder.Folder("ablage");
  const TViewerPlatform platform = QtViewerPlatform();
  TOpenDialogSettings settings = OpenSettings(folder.Path());
  struct Case {
    int filterIndex;
    QStringList listed;
  };
  const std::vector<Case> cases{
      {1, {"ablage", "a.dta", "B.DTA"}},
      {2, {"ablage", "dtaus1", "dtaus1.txt"}},
      {3, {"ablage", "a.dta", "B.DTA", "DTAUS0", "dtaus1", "dtaus1.txt", "notiz.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filterIndex);
    settings.FilterIndex = c.filterIndex;
    QStringList listed;
    WhenModalIsUp([&](QDialog& dialog) { listed = dynamic_cast<TOpenFileDialog&>(dialog).listedNames(); },
                  QDialog::Rejected);
    platform.openDialog->Execute(settings);
    EXPECT_EQ(listed, c.listed);
  }
}

// Opening, choosing and cancelling leave no settings file of Qt's behind, nor anything else in
// the user's folders.
TEST(QtPlatformTest, DialogsWriteNoFileOfTheirOwn) {
  testdta::TempDir home;
  testdta::TempDir data;
  const std::string file = data.Write("datei.dta", "x");
  const ScopedEnv homeVar("HOME", home.Path().string());
  const ScopedEnv config("XDG_CONFIG_HOME", (home.Path() / ".config").string());
  const ScopedEnv share("XDG_DATA_HOME", (home.Path() / ".local/share").string());
  // Where Qt would keep its dialogs' state; checked as well in case Qt fixed its folders
  // before the variables above were set.
  const std::string qtSettings =
      QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName().toStdString();
  const auto stamp = [&qtSettings] {
    struct stat info {};
    return stat(qtSettings.c_str(), &info) == 0 ? std::optional(std::pair(info.st_ino, info.st_mtim.tv_nsec))
                                                : std::nullopt;
  };
  const auto before = stamp();
  struct Case {
    const char* what;
    std::function<void(const TViewerPlatform&)> run;
  };
  TOpenDialogSettings open;
  open.Filter = QString::fromUtf8(kOpenFilter);
  open.InitialDir = Q(data.Path());
  TSaveDialogSettings save;
  save.Title = QStringLiteral("Befunde speichern");
  save.Filter = QStringLiteral("CSV-Datei (*.csv)|*.csv");
  save.FileName = Q(data.Path() / "befunde.csv");
  const std::vector<Case> cases{
      {"open cancelled",
       [&](const TViewerPlatform& p) {
         WhenModalIsUp([](QDialog&) {}, QDialog::Rejected);
         p.openDialog->Execute(open);
       }},
      {"open chosen",
       [&](const TViewerPlatform& p) {
         WhenModalIsUp([&](QDialog& d) { dynamic_cast<TOpenFileDialog&>(d).selectFile(Q(file)); },
                       QDialog::Accepted);
         p.openDialog->Execute(open);
       }},
      {"save cancelled",
       [&](const TViewerPlatform& p) {
         WhenModalIsUp([](QDialog&) {}, QDialog::Rejected);
         p.saveDialog->Execute(save);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    {
      const TViewerPlatform platform = QtViewerPlatform();
      c.run(platform);
    }
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(home.Path()), {}), 0);
    EXPECT_EQ(stamp(), before);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data.Path()), {}), 1);
}

TEST(QtPlatformTest, MessageBoxIsTitledWithTheProgramAndHasOneOkButton) {
  const TViewerPlatform platform = QtViewerPlatform();
  QString title, text;
  QList<QAbstractButton*> buttons;
  QMessageBox::StandardButtons standard;
  WhenModalIsUp(
      [&](QDialog& dialog) {
        auto& box = dynamic_cast<QMessageBox&>(dialog);
        title = box.windowTitle();
        text = box.text();
        standard = box.standardButtons();
      },
      QMessageBox::Ok);
  platform.messages->ShowMessage(QStringLiteral("Drucken nicht möglich"));
  EXPECT_EQ(title, QStringLiteral("Quandel"));
  EXPECT_EQ(text, QStringLiteral("Drucken nicht möglich"));
  EXPECT_EQ(standard, QMessageBox::Ok);

  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenModalIsUp([&](QDialog& dialog) { icon = dynamic_cast<QMessageBox&>(dialog).icon(); }, QMessageBox::Ok);
  platform.messages->ShowError(QStringLiteral("Fehler"));
  EXPECT_EQ(icon, QMessageBox::Critical);
}

// A question answers with the choice clicked, and nothing when closed.
TEST(QtPlatformTest, ChooseAnswersWithTheButtonTaken) {
  const TViewerPlatform platform = QtViewerPlatform();
  const struct {
    QString click;
    std::optional<int> answer;
  } cases[] = {
      {QStringLiteral("Auswahl"), 1},
      {QStringLiteral("Alle"), 0},
      {QStringLiteral("Abbrechen"), std::nullopt},
  };
  for (const auto& c : cases) {
    QStringList captions;
    WhenModalIsUp(
        [&](QDialog& dialog) {
          for (QAbstractButton* button : dynamic_cast<QMessageBox&>(dialog).buttons()) {
            captions << button->text();
            if (button->text() == c.click) button->click();
          }
        },
        QMessageBox::Cancel);
    EXPECT_EQ(platform.messages->Choose(QStringLiteral("Welche?"),
                                        {QStringLiteral("Alle"), QStringLiteral("Auswahl")},
                                        QStringLiteral("Abbrechen")),
              c.answer)
        << c.click.toStdString();
    captions.sort();
    EXPECT_EQ(captions, (QStringList{"Abbrechen", "Alle", "Auswahl"}));
  }
}

TEST(QtPlatformTest, SavedNameGetsTheChosenFiltersExtension) {
  const QString filter =
      QStringLiteral("CSV-Datei (*.csv)|*.csv|Excel-Arbeitsmappe (*.xlsx)|*.xlsx|Alle (*.*)|*.*");
  const struct {
    QString name;
    int chosen;
    QString saved;
  } cases[] = {
      {"/a/liste", 0, "/a/liste.csv"},       {"/a/liste", 1, "/a/liste.xlsx"},
      {"/a/liste.xlsx", 0, "/a/liste.xlsx"},  // a name with an offered extension keeps it
      {"/a/liste.CSV", 1, "/a/liste.CSV"},   {"/a/liste.v2", 1, "/a/liste.v2.xlsx"},
      {"/a/liste", 2, "/a/liste"},  // "*.*" adds nothing
      {"/a/liste", -1, "/a/liste"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WithFilterExtension(c.name, filter, c.chosen), c.saved) << c.name.toStdString();

  const struct {
    QString name;
    int chosen;
    QString offered;
  } switches[] = {
      {"liste.csv", 1, "liste.xlsx"}, {"liste.xlsx", 0, "liste.csv"}, {"liste.CSV", 0, "liste.CSV"},
      {"liste.txt", 1, "liste.txt"},  {"liste", 1, "liste"},          {"liste.csv", 2, "liste.csv"},
      {"liste.csv", 7, "liste.csv"},
  };
  for (const auto& c : switches)
    EXPECT_EQ(SwitchedFilterExtension(c.name, filter, c.chosen), c.offered) << c.name.toStdString();
}

TEST(QtPlatformTest, PrintDialogWorksOnTheGivenPrinterAndOffersTheSelectionWhenAsked) {
  const TViewerPlatform platform = QtViewerPlatform();
  for (const bool offer : {false, true}) {
    QPrinter printer;
    QPrinter* shown = nullptr;
    bool pageRange = false, selection = !offer, selectionShown = !offer;
    WhenModalIsUp(
        [&](QDialog& dialog) {
          auto& print = dynamic_cast<QPrintDialog&>(dialog);
          shown = print.printer();
          pageRange = print.testOption(QAbstractPrintDialog::PrintPageRange);
          selection = print.testOption(QAbstractPrintDialog::PrintSelection);
          // The options are folded away until asked for; hidden is what the dialog decided.
          for (auto* choice : print.findChildren<QRadioButton*>())
            if (choice->text() == u"Auswahl") selectionShown = !choice->isHidden();
        },
        QDialog::Rejected);
    EXPECT_FALSE(platform.printDialog->Execute(printer, offer));
    EXPECT_EQ(shown, &printer);
    EXPECT_TRUE(pageRange);
    EXPECT_EQ(selection, offer);
    EXPECT_EQ(selectionShown, offer);
  }
}

TEST(QtPlatformTest, PrintProgressShowsThePageAndAbbrechenStopsThePrint) {
  const TViewerPlatform platform = QtViewerPlatform();
  platform.printProgress->Show(QStringLiteral("Seite 2 von 9"), 1, 9);
  QProgressDialog* dialog = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress && progress->isVisible())
      dialog = progress;
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Drucken"));
  EXPECT_EQ(dialog->labelText(), QStringLiteral("Seite 2 von 9"));
  EXPECT_EQ(dialog->value(), 1);
  EXPECT_EQ(dialog->maximum(), 9);
  auto* cancel = dialog->findChild<QPushButton*>();
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), QStringLiteral("Abbrechen"));
  EXPECT_FALSE(platform.printProgress->StopRequested());
  cancel->click();
  EXPECT_TRUE(platform.printProgress->StopRequested());
  const QPointer<QProgressDialog> alive = dialog;
  platform.printProgress->Close();
  EXPECT_TRUE(alive.isNull());
}

}  // namespace
}  // namespace quandel::test
