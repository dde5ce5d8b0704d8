// The desktop dialogs themselves, each closed by a timer as soon as it is up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>
#include <optional>

#include "mainForm.h"
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

TEST(QtPlatformTest, OpenDialogStartsWithTheGivenFilterAndFolder) {
  testdta::TempDir folder;
  const TViewerPlatform platform = QtViewerPlatform();
  TOpenDialogSettings settings;
  settings.Filter = QString::fromUtf8(kOpenFilter);
  settings.FilterIndex = 2;
  settings.InitialDir = Q(folder.Path());

  QString filter, directory;
  QStringList filters;
  QFileDialog::FileMode mode = QFileDialog::Directory;
  WhenModalIsUp(
      [&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        filter = files.selectedNameFilter();
        filters = files.nameFilters();
        directory = files.directory().absolutePath();
        mode = files.fileMode();
      },
      QDialog::Rejected);
  EXPECT_EQ(platform.openDialog->Execute(settings), std::nullopt);
  ASSERT_EQ(filters.size(), 3);
  // The dialog names the selected filter by what the user reads.
  EXPECT_EQ(filter, QStringLiteral("DTAUS-Datei (dtaus1.*)"));
  EXPECT_EQ(directory, Q(folder.Path()));
  EXPECT_EQ(mode, QFileDialog::AnyFile);

  for (const int outside : {0, 4, -1}) {
    settings.FilterIndex = outside;
    WhenModalIsUp([&](QDialog& dialog) { filter = dynamic_cast<QFileDialog&>(dialog).selectedNameFilter(); },
                  QDialog::Rejected);
    platform.openDialog->Execute(settings);
    EXPECT_EQ(filter, QStringLiteral("DTAUS-Datei (*.dta)")) << outside;
  }
}

TEST(QtPlatformTest, OpenDialogOffersTheNameChosenLast) {
  testdta::TempDir start;
  testdta::TempDir data;
  const std::string chosen = data.Write("zuletzt.dta", "x");
  const TViewerPlatform platform = QtViewerPlatform();
  TOpenDialogSettings settings;
  settings.Filter = QString::fromUtf8(kOpenFilter);
  settings.InitialDir = Q(start.Path());

  WhenModalIsUp([&](QDialog& dialog) { dynamic_cast<QFileDialog&>(dialog).selectFile(Q(chosen)); },
                QDialog::Accepted);
  ASSERT_EQ(platform.openDialog->Execute(settings), Q(chosen));

  QStringList offered;
  QString directory;
  WhenModalIsUp(
      [&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        offered = files.selectedFiles();
        directory = files.directory().absolutePath();
      },
      QDialog::Rejected);
  EXPECT_EQ(platform.openDialog->Execute(settings), std::nullopt);
  EXPECT_EQ(offered, QStringList{Q(chosen)});
  EXPECT_EQ(directory, Q(data.Path()));
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
