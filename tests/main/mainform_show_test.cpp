// Showing files: status text, the written page, failures and their messages.
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include <QRegularExpression>

#include <unistd.h>

#include <functional>

#include "check_view.h"
#include "control_list_view.h"
#include "info_bar.h"
#include "product.h"
#include "viewer_fixture.h"

namespace quandel::test {
namespace {

using ShowTest = ViewerTest;

const QRegularExpression kGermanStamp(
    QStringLiteral("^(.*) - (\\d+) - (\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)?)$"));

TEST_F(ShowTest, StatusGivesNameSizeAndTime) {
  const std::string file = WriteSample("status.dta", {Payment("EMPFAENGER", 12345, "ZWECK")});
  SetLocalFileTime(file, 2026, 12, 8, 14, 22, 7);
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  // 128 + 256 + 128 bytes; the odd second falls to the even one below.
  EXPECT_EQ(form->StatusText(), QString::fromStdString(file) + " - 512 - 08.12.2026 14:22:06");
}

TEST_F(ShowTest, MidnightShowsTheDateAlone) {
  const std::string file = WriteSample("mitternacht.dta", {});
  SetLocalFileTime(file, 2024, 2, 29, 0, 0, 1);
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  EXPECT_TRUE(form->StatusText().endsWith(QStringLiteral(" - 29.02.2024")));
}

TEST_F(ShowTest, FilesFromBefore1980AreShownWithTheirTime) {
  const std::string file = WriteSample("alt.dta", {Payment("EMPFAENGER", 100, "ZWECK")});
  SetLocalFileTime(file, 1975, 6, 15, 10, 20, 31);
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  EXPECT_TRUE(desktop.messages->errors.empty());
  EXPECT_TRUE(form->StatusText().endsWith(QStringLiteral(" - 15.06.1975 10:20:30")));
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("EMPFAENGER")));
}

TEST_F(ShowTest, PercentSignsInTheNameStayAsTheyAre) {
  const std::string file = WriteSample("100%1 %d %s.dta", {});
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  const auto match = kGermanStamp.match(form->StatusText());
  ASSERT_TRUE(match.hasMatch()) << form->StatusText().toStdString();
  EXPECT_EQ(match.captured(1), QString::fromStdString(file));
}

TEST_F(ShowTest, PageIsWindows1252WithCrLfAndTheSharedFooter) {
  const std::string file = WriteSample("seite.dta", {Payment("EMPFAENGER", 123456789, "GEB]HR")});
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  const std::string page = ReadBytes(Html());
  EXPECT_NE(page.find("Datentr\xE4ger-Kontrolliste vom 31.12.2002"), std::string::npos);
  EXPECT_NE(page.find("GEB\xDCHR"), std::string::npos);
  EXPECT_NE(page.find("1.234.567,89 EUR"), std::string::npos);
  EXPECT_NE(page.find(support::FooterText()), std::string::npos);
  ASSERT_GE(page.size(), 2u);
  EXPECT_EQ(page.substr(page.size() - 2), "\r\n");
  // 12 lines and one payment, each ended by CR LF, and no bare LF.
  std::size_t lines = 0;
  for (std::size_t i = 0; i < page.size(); ++i)
    if (page[i] == '\n') {
      ++lines;
      EXPECT_EQ(page[i - 1], '\r');
    }
  EXPECT_EQ(lines, 13u);
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("GEBÜHR")));
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("Sätze:")));
}

TEST_F(ShowTest, SecondFileReplacesTheFirst) {
  const std::string first = WriteSample("eins.dta", {Payment("ERSTER EMPFAENGER", 100, "EINS")});
  const std::string second = WriteSample("zwei.dta", {Payment("ZWEITER EMPFAENGER", 200, "ZWEI")});
  const auto form = Start();
  form->ShowFile(QString::fromStdString(first));
  form->ShowFile(QString::fromStdString(second));
  const std::string page = ReadBytes(Html());
  EXPECT_EQ(page.find("ERSTER EMPFAENGER"), std::string::npos);
  EXPECT_NE(page.find("ZWEITER EMPFAENGER"), std::string::npos);
  EXPECT_EQ(page.find("Datentr\xE4ger-Kontrolliste"), page.rfind("Datentr\xE4ger-Kontrolliste"));
  EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(second) + " - "));
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("ZWEITER EMPFAENGER")));
  EXPECT_FALSE(ViewText(*form).contains(QStringLiteral("ERSTER EMPFAENGER")));
  // No temporary file is left beside the page.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.Path()), {}), 1);
}

TEST_F(ShowTest, FailedLoadShowsTheErrorPageAndFillsTheStatus) {
  testdta::ARecord a;
  a.date = "000000";
  const std::string file = data.Write("kaputt.dta", testdta::File(a, {Payment("EMPFAENGER", 100, "ZWECK")}));
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  EXPECT_TRUE(desktop.messages->errors.empty());
  // The line break after the page reads as a blank.
  EXPECT_EQ(ViewText(*form).trimmed(), QStringLiteral("Beim Lesen der Datei %1 ist ein Fehler aufgetreten.")
                                           .arg(QString::fromStdString(file)));
  // Name, size and time as for any file; the reader's reason (record, field and byte) stands
  // in the bar.
  const auto match = kGermanStamp.match(form->StatusText());
  ASSERT_TRUE(match.hasMatch()) << form->StatusText().toStdString();
  EXPECT_EQ(match.captured(1), QString::fromStdString(file));
  EXPECT_EQ(match.captured(2), QStringLiteral("512"));
  const TInfoBar& bar = *form->checkView->bar();
  EXPECT_FALSE(bar.isHidden());
  EXPECT_EQ(bar.kind(), TInfoKind::Error);
  EXPECT_TRUE(bar.text().startsWith(QStringLiteral("Datei nicht lesbar: "))) << bar.text().toStdString();
  EXPECT_TRUE(bar.text().contains(QStringLiteral("Datum"))) << bar.text().toStdString();
  EXPECT_TRUE(bar.text().contains(QStringLiteral("Byte"))) << bar.text().toStdString();
}

// Whatever the load finds, the status gives name, size and time, and the bar the reason.
TEST_F(ShowTest, StatusIsNameSizeAndTimeAndTheBarSaysWhyALoadFailed) {
  const std::string whole = SampleFile({Payment("EMPFAENGER", 100, "ZWECK")});
  struct Case {
    const char* name;
    std::string bytes;
    // A fragment of the reason in the bar; empty for a file that loads.
    QString reason;
  };
  const std::vector<Case> cases{
      {"gut.dta", whole, {}},
      {"leer.dta", "", QStringLiteral("Die Datei ist leer")},
      {"text.dta", "keine Zahlungen", QStringLiteral("keine DTAUS-Datei")},
      {"kurz.dta", whole.substr(0, 17), QStringLiteral("hat nur 17 von 128 Bytes")},
  };
  const auto form = Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = data.Write(c.name, c.bytes);
    SetLocalFileTime(file, 2026, 12, 8, 14, 22, 7);
    form->ShowFile(QString::fromStdString(file));
    EXPECT_EQ(form->StatusText(), QStringLiteral("%1 - %2 - 08.12.2026 14:22:06")
                                      .arg(QString::fromStdString(file))
                                      .arg(c.bytes.size()));
    const TInfoBar& bar = *form->checkView->bar();
    if (c.reason.isEmpty()) {
      EXPECT_FALSE(bar.text().startsWith(QStringLiteral("Datei nicht lesbar"))) << bar.text().toStdString();
      continue;
    }
    EXPECT_FALSE(bar.isHidden());
    EXPECT_TRUE(bar.text().startsWith(QStringLiteral("Datei nicht lesbar: "))) << bar.text().toStdString();
    EXPECT_TRUE(bar.text().contains(c.reason)) << bar.text().toStdString();
  }
}

TEST_F(ShowTest, AnEmptyNameShowsTheErrorPage) {
  const auto form = Start();
  form->ShowFile(QString());
  EXPECT_TRUE(desktop.messages->errors.empty());
  EXPECT_EQ(ReadBytes(Html()),
            "<font face=arial color=#ff0000>Beim Lesen der Datei  ist ein Fehler aufgetreten.</font>\r\n");
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("Beim Lesen der Datei ist ein Fehler aufgetreten.")));
  // No size or time where there is no file; the bar says why.
  EXPECT_EQ(form->StatusText(), QString());
  EXPECT_EQ(form->checkView->bar()->text(), QStringLiteral("Datei nicht lesbar: Datei nicht gefunden"));
}

TEST_F(ShowTest, StatusGivesTheSizeOfTheOneFileNamedEvenWithWildcardsInItsName) {
  const std::string file = WriteSample("a?.dta", {});
  WriteSample("ab.dta", {Payment("EMPFAENGER", 100, "ZWECK")});
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  const auto match = kGermanStamp.match(form->StatusText());
  ASSERT_TRUE(match.hasMatch()) << form->StatusText().toStdString();
  EXPECT_EQ(match.captured(2), QStringLiteral("256"));
}

TEST_F(ShowTest, ErrorPageNamesAFileWithUmlautsReadably) {
  const std::string file = data.Write("Überweisung.dta", "kein DTAUS");
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  EXPECT_NE(ReadBytes(Html()).find("\xDC"
                                   "berweisung.dta"),
            std::string::npos);
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("Überweisung.dta")));
}

class OpenTest : public ViewerTest {
 protected:
  void SetUp() override {
    shown = WriteSample("gezeigt.dta", {Payment("GEZEIGTER EMPFAENGER", 100, "ZWECK")});
    form = Start({QString::fromStdString(shown)});
    ASSERT_TRUE(std::filesystem::exists(Html()));
    pageBefore = ReadBytes(Html());
    statusBefore = form->StatusText();
    viewBefore = ViewText(*form);
  }

  void ExpectUnchanged() {
    EXPECT_EQ(ReadBytes(Html()), pageBefore);
    EXPECT_EQ(form->StatusText(), statusBefore);
    EXPECT_EQ(ViewText(*form), viewBefore);
  }

  std::string shown;
  std::unique_ptr<TmainForm> form;
  std::string pageBefore;
  QString statusBefore;
  QString viewBefore;
};

TEST_F(OpenTest, ChosenFileIsShown) {
  const std::string other = WriteSample("anderer.dta", {Payment("ANDERER EMPFAENGER", 100, "ZWECK")});
  desktop.openDialog->setNextFileName(QString::fromStdString(other));
  form->findChild<QAction*>("fileOpenDtaus")->trigger();
  EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(other)));
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("ANDERER EMPFAENGER")));
}

TEST_F(OpenTest, CancelledDialogChangesNothing) {
  desktop.openDialog->setNextCancel();
  form->fileOpenDtaus->trigger();
  EXPECT_EQ(desktop.openDialog->shown.size(), 1u);
  ExpectUnchanged();
  EXPECT_TRUE(desktop.messages->errors.empty());
}

// A name that leads nowhere ends the command in the general error handler; what is shown stays.
TEST_F(OpenTest, NameOfNothingOrAFolderKeepsWhatIsShownAndSaysWhy) {
  const std::string plainFile = data.Write("kein-ordner", "");
  struct Case {
    QString name;
    QString message;
  };
  const QString missing = Q(data.Path() / "getippt.dta");
  const QString below = QString::fromStdString(plainFile + "/x.dta");
  const std::vector<Case> cases{
      {missing, QStringLiteral("Die Datei „%1“ wurde nicht gefunden.").arg(missing)},
      {Q(data.Path()), QStringLiteral("„%1“ ist ein Ordner und keine Datei.").arg(Q(data.Path()))},
      {below, QStringLiteral("Die Datei „%1“ wurde nicht gefunden.").arg(below)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.toStdString());
    desktop.messages->errors.clear();
    desktop.openDialog->setNextFileName(c.name);
    form->fileOpenDtaus->trigger();
    EXPECT_EQ(desktop.messages->errors, std::vector<QString>{c.message});
    ExpectUnchanged();
    EXPECT_FALSE(form->isLoading());
  }
}

// A file that is there but cannot be read is loaded, fails, and its error page says so.
TEST_F(OpenTest, FileThatCannotBeReadShowsTheErrorPageAndSaysWhy) {
  // The superuser reads whatever the permissions say.
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string locked = WriteSample("gesperrt.dta", {Payment("EMPFAENGER", 100, "ZWECK")});
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  const QString name = QString::fromStdString(locked);
  desktop.openDialog->setNextFileName(name);
  form->fileOpenDtaus->trigger();
  EXPECT_TRUE(desktop.messages->errors.empty());
  // The file is there: its size and time are what the folder says; the reason is the bar's.
  const auto match = kGermanStamp.match(form->StatusText());
  ASSERT_TRUE(match.hasMatch()) << form->StatusText().toStdString();
  EXPECT_EQ(match.captured(1), name);
  EXPECT_EQ(match.captured(2), QStringLiteral("512"));
  EXPECT_EQ(form->checkView->bar()->text(), QStringLiteral("Datei nicht lesbar: Zugriff verweigert"));
  EXPECT_EQ(ViewText(*form).trimmed(),
            QStringLiteral("Beim Lesen der Datei %1 ist ein Fehler aufgetreten.").arg(name));
  EXPECT_NE(ReadBytes(Html()), pageBefore);
}

TEST_F(OpenTest, PageThatCannotBeWrittenKeepsTheEarlierPageWhole) {
  // A folder in the page's place: the renaming step fails, whatever the user's rights.
  std::filesystem::remove(Html());
  std::filesystem::create_directory(Html());
  const std::string other = WriteSample("neu.dta", {Payment("NEUER EMPFAENGER", 100, "ZWECK")});
  desktop.openDialog->setNextFileName(QString::fromStdString(other));
  form->fileOpenDtaus->trigger();
  ASSERT_EQ(desktop.messages->errors.size(), 1u);
  const QString prefix = QStringLiteral("Datei \"%1\" kann nicht erstellt werden. ").arg(Q(Html()));
  EXPECT_TRUE(desktop.messages->errors[0].startsWith(prefix)) << desktop.messages->errors[0].toStdString();
  EXPECT_GT(desktop.messages->errors[0].size(), prefix.size());
  // The status already names the new file; the view still shows the earlier page.
  EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(other)));
  EXPECT_EQ(ViewText(*form), viewBefore);
  EXPECT_TRUE(std::filesystem::is_directory(Html()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.Path()), {}), 1);
}

TEST_F(OpenTest, RefreshReadsTheShownFileAgain) {
  data.Write("gezeigt.dta", SampleFile({Payment("GEAENDERTER EMPFAENGER", 100, "ZWECK")}));
  form->findChild<QAction*>("fileUpdateDtaus")->trigger();
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("GEAENDERTER EMPFAENGER")));
  EXPECT_NE(ReadBytes(Html()).find("GEAENDERTER EMPFAENGER"), std::string::npos);
  EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(shown)));
}

// The failed file is the one shown, with its error page: refreshing tries it again.
TEST_F(OpenTest, RefreshAfterAFailedOpenTriesThatFileAgain) {
  const std::string broken = data.Write("kaputt.dta", "keine DTAUS-Datei");
  desktop.openDialog->setNextFileName(QString::fromStdString(broken));
  form->fileOpenDtaus->trigger();
  ASSERT_FALSE(ViewText(*form).contains(QStringLiteral("GEZEIGTER EMPFAENGER")));
  WriteSample("kaputt.dta", {Payment("SPAETER EMPFAENGER", 100, "ZWECK")});
  form->fileUpdateDtaus->trigger();
  EXPECT_TRUE(desktop.messages->errors.empty());
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("SPAETER EMPFAENGER")));
  EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(broken) + QStringLiteral(" - ")));
}

// F5 on a file deleted or replaced by a folder meanwhile keeps the list, page and status.
TEST_F(OpenTest, RefreshOfAFileGoneMeanwhileKeepsWhatIsShown) {
  const QString name = QString::fromStdString(shown);
  struct Case {
    const char* name;
    std::function<void()> remove;
    QString message;
  };
  const std::vector<Case> cases{
      {"deleted", [&] { std::filesystem::remove(shown); },
       QStringLiteral("Die Datei „%1“ wurde nicht gefunden.").arg(name)},
      {"folder", [&] { std::filesystem::create_directory(shown); },
       QStringLiteral("„%1“ ist ein Ordner und keine Datei.").arg(name)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop.messages->errors.clear();
    c.remove();
    form->fileUpdateDtaus->trigger();
    EXPECT_EQ(desktop.messages->errors, std::vector<QString>{c.message});
    ExpectUnchanged();
    EXPECT_FALSE(form->isLoading());
  }
}

TEST_F(ShowTest, RefreshWithNothingShownDoesNothing) {
  const auto form = Start();
  form->fileUpdateDtaus->trigger();
  EXPECT_FALSE(std::filesystem::exists(Html()));
  EXPECT_EQ(form->StatusText(), QString());
  EXPECT_TRUE(desktop.messages->errors.empty());
}

TEST_F(ShowTest, RegionalSettingsAreReadAgainWhenTheLocaleChanges) {
  const std::string file = WriteSample("zeit.dta", {});
  SetLocalFileTime(file, 2026, 12, 8, 14, 22, 6);
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  EXPECT_TRUE(form->StatusText().endsWith(QStringLiteral(" - 08.12.2026 14:22:06")));

  WaitForWorkers(form.get());
  ScopedEnv english("LC_ALL", "en_US.UTF-8");
  form->ShowFile(QString::fromStdString(file));
  EXPECT_TRUE(form->StatusText().endsWith(QStringLiteral(" - 08.12.2026 14:22:06")))
      << "read only at start: " << form->StatusText().toStdString();

  QEvent change(QEvent::LocaleChange);
  QCoreApplication::sendEvent(form.get(), &change);
  form->ShowFile(QString::fromStdString(file));
  EXPECT_TRUE(form->StatusText().endsWith(QStringLiteral(" - 12/8/2026 2:22:06 PM")))
      << form->StatusText().toStdString();
}

TEST_F(ShowTest, ApplicationWideLocaleChangeReachesTheWindow) {
  const std::string file = WriteSample("zeit.dta", {});
  SetLocalFileTime(file, 2026, 12, 8, 14, 22, 6);
  const auto form = Start();
  WaitForWorkers(form.get());
  ScopedEnv english("LC_ALL", "en_US.UTF-8");
  QEvent change(QEvent::LocaleChange);
  QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
  form->ShowFile(QString::fromStdString(file));
  EXPECT_TRUE(form->StatusText().endsWith(QStringLiteral(" - 12/8/2026 2:22:06 PM")))
      << form->StatusText().toStdString();
}

TEST_F(ShowTest, FooterLinkOpensTheWebBrowserAndTheListStays) {
  const std::string file = WriteSample("link.dta", {Payment("EMPFAENGER", 100, "ZWECK")});
  const auto form = Start({QString::fromStdString(file)});
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  TControlListView* list = form->WebBrowser1->listView();
  ASSERT_TRUE(form->WebBrowser1->showsList());
  ASSERT_TRUE(list->isVisible());

  QTest::keyClick(list, Qt::Key_End);
  QPoint at(-1, -1);
  for (int y = list->viewport()->height() - 1; y >= 0 && at.x() < 0; --y)
    for (int x = 0; x < list->viewport()->width() && at.x() < 0; x += 2)
      if (list->anchorAt({x, y}) == QStringLiteral("https://quandel.example.org/")) at = {x, y};
  ASSERT_GE(at.x(), 0) << "footer link not in sight";
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);

  ASSERT_EQ(desktop.openedUrls.size(), 1u);
  EXPECT_EQ(desktop.openedUrls[0], "https://quandel.example.org/");
  EXPECT_TRUE(form->WebBrowser1->showsList());
  EXPECT_EQ(list->rowCount(), 1);
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("Datenträger-Kontrolliste")));
}

}  // namespace
}  // namespace quandel::test
