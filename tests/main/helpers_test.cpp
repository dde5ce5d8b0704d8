// The small routines behind the document flow: time stamps, writing the page, its place,
// name filters, German key names and the general error handler.
#include <gtest/gtest.h>

#include <QDir>
#include <QKeySequence>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <stdexcept>

#include "application.h"
#include "convert.h"
#include "dtaus.h"
#include "file_name.h"
#include "file_time.h"
#include "html_file.h"
#include "qt_platform.h"
#include "test_support.h"

namespace quandel::test {
namespace {

const ombra::TRegionalSettings kGerman = ombra::TRegionalSettings::de_DE();

// The page as the main window writes it: line by line, then put in place.
void SaveLines(const ombra::TLineList& lines, const QString& path) {
  TPageFile file(path);
  for (const std::string& line : lines) file.Write(line);
  file.Commit();
}

TEST(FileNameTest, BytesSurviveAndReadWithWindows1252WhereTheyAreNoUtf8) {
  const std::pair<std::string, QString> cases[] = {
      {"/daten/b\xFCro.dta", QStringLiteral("/daten/büro.dta")},
      {"\xC3\x9C"
       "ber \xE6\x97\xA5.dta",
       QStringLiteral("Über 日.dta")},
      {"\xF0\x9F\x98\x80\x80\xC3", QStringLiteral("😀€Ã")},  // valid, then two stray bytes
      {"\xED\xA0\x80", QStringLiteral("í\u00A0€")},         // an encoded surrogate is no UTF-8
      {"", QString()},
  };
  for (const auto& [bytes, readable] : cases) {
    SCOPED_TRACE(bytes);
    const QString name = FileNameFromBytes(bytes);
    EXPECT_EQ(FileNameToBytes(name), bytes);
    EXPECT_EQ(ReadableFileName(name), readable);
  }
  EXPECT_EQ(FileNameFromBytes("\xC3\x9C"
                              "ber.dta"),
            QStringLiteral("Über.dta"));
}

TEST(FileTimeTest, TakesLocalTimeAtTwoSeconds) {
  testdta::TempDir folder;
  const std::string file = folder.Write("a.dta", "x");
  SetLocalFileTime(file, 2002, 12, 31, 23, 59, 59);
  EXPECT_EQ(FileTimeText(file, kGerman), "31.12.2002 23:59:58");
  SetLocalFileTime(file, 2002, 12, 31, 23, 59, 58);
  EXPECT_EQ(FileTimeText(file, kGerman), "31.12.2002 23:59:58");
  SetLocalFileTime(file, 2002, 12, 31, 0, 0, 0);
  EXPECT_EQ(FileTimeText(file, kGerman), "31.12.2002");
  EXPECT_EQ(FileTimeText(file, ombra::TRegionalSettings::en_US()), "12/31/2002");
}

TEST(FileTimeTest, AcceptsYearsOutsideTheOldDateTimeRange) {
  testdta::TempDir folder;
  const std::string file = folder.Write("a.dta", "x");
  SetLocalFileTime(file, 1970, 1, 2, 8, 0, 1);
  EXPECT_EQ(FileTimeText(file, kGerman), "02.01.1970 08:00:00");
  SetLocalFileTime(file, 2110, 3, 4, 5, 6, 7);
  EXPECT_EQ(FileTimeText(file, kGerman), "04.03.2110 05:06:06");
}

TEST(FileTimeTest, NoFileOrAFolderHasNoTime) {
  testdta::TempDir folder;
  for (const std::string& name : {(folder.Path() / "fehlt").string(), folder.Path().string()}) {
    try {
      FileTimeText(name, kGerman);
      ADD_FAILURE() << name;
    } catch (const ombra::EConvertError& error) {
      EXPECT_STREQ(error.what(), "Ungültiges Argument zum Codieren des Datums");
    }
  }
}

TEST(SaveLinesTest, WritesEveryLineWithCrLf) {
  testdta::TempDir folder;
  const auto path = folder.Path() / "dtaus.html";
  SaveLines({"eins", "", "dr\xE4i"}, Q(path));
  EXPECT_EQ(ReadBytes(path), "eins\r\n\r\ndr\xE4i\r\n");
  SaveLines({}, Q(path));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(SaveLinesTest, PageAbandonedWhileWrittenLeavesTheEarlierOneWhole) {
  testdta::TempDir folder;
  const auto path = folder.Path() / "dtaus.html";
  SaveLines({"alt"}, Q(path));
  {
    // As when rendering stops with an exception half way.
    TPageFile page(Q(path));
    page.Write("neu");
  }
  EXPECT_EQ(ReadBytes(path), "alt\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
  TPageFile page(Q(path));
  page.Write("neu");
  page.Commit();
  EXPECT_EQ(ReadBytes(path), "neu\r\n");
}

TEST(SaveLinesTest, PageIsPrivateAndReplacesWhateverStandsAtItsPath) {
  namespace fs = std::filesystem;
  testdta::TempDir folder;
  const auto path = folder.Path() / "dtaus.html";
  const std::string victim = folder.Write("anderes.txt", "bleibt");
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"nothing", [] {}},
      {"an older page open to all",
       [&] {
         folder.Write("dtaus.html", "alt");
         fs::permissions(path, fs::perms(0644));
       }},
      {"a link to another file", [&] { fs::create_symlink(victim, path); }},
      {"a dangling link", [&] { fs::create_symlink(folder.Path() / "nirgends", path); }},
      {"a pipe", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
  };
  for (const auto& [what, plant] : cases) {
    SCOPED_TRACE(what);
    fs::remove(path);
    plant();
    // A pipe written through would need a reader; this one never blocks a writer.
    const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    SaveLines({"neu"}, Q(path));
    if (reader >= 0) close(reader);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0600));
    EXPECT_EQ(ReadBytes(path), "neu\r\n");
    EXPECT_EQ(ReadBytes(victim), "bleibt");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 2);
  }
}

// The window frees a long replaced page in a worker: the commit hands it over under a second
// name, and only when there was a page.
TEST(SaveLinesTest, ReplacedPageStaysUnderASecondNameForTheCallerToRemove) {
  namespace fs = std::filesystem;
  testdta::TempDir folder;
  const auto path = folder.Path() / "dtaus.html";
  const std::optional<std::string> cases[] = {std::nullopt, "alt"};
  for (const std::optional<std::string>& earlier : cases) {
    SCOPED_TRACE(earlier.value_or("none"));
    fs::remove(path);
    if (earlier) folder.Write("dtaus.html", *earlier);
    TPageFile page(Q(path));
    page.Write("neu");
    std::string replaced = "unchanged";
    page.Commit(&replaced);
    EXPECT_EQ(ReadBytes(path), "neu\r\n");
    ASSERT_EQ(replaced.empty(), !earlier);
    if (earlier) {
      EXPECT_EQ(fs::path(replaced).parent_path(), folder.Path());
      EXPECT_EQ(ReadBytes(replaced), *earlier);
      fs::remove(replaced);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 1);
  }
}

TEST(SaveLinesTest, FailureNamesThePathAndTheReason) {
  testdta::TempDir folder;
  const auto path = folder.Path() / "fehlt" / "dtaus.html";
  try {
    SaveLines({"x"}, Q(path));
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    const QString text = ExceptionText(error);
    const QString prefix = QStringLiteral("Datei \"%1\" kann nicht erstellt werden. ").arg(Q(path));
    EXPECT_TRUE(text.startsWith(prefix)) << text.toStdString();
    EXPECT_GT(text.size(), prefix.size());
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(SaveLinesTest, RelativePathIsReportedInFull) {
  testdta::TempDir folder;
  ScopedCwd cwd(folder.Path());
  try {
    SaveLines({"x"}, QStringLiteral("fehlt/dtaus.html"));
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_TRUE(ExceptionText(error).startsWith(
        QStringLiteral("Datei \"%1\"").arg(Q(std::filesystem::current_path() / "fehlt" / "dtaus.html"))));
  }
}

bool Matches(const QString& qtFilter, const QString& name) {
  const QString patterns = qtFilter.mid(qtFilter.lastIndexOf('(') + 1).chopped(1);
  for (const QString& pattern : patterns.split(' ', Qt::SkipEmptyParts))
    if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern)).match(name).hasMatch())
      return true;
  return false;
}

TEST(NameFilterTest, KeepsTheDescriptionsAndMatchesAsOnWindows) {
  const QStringList filters = QtNameFilters(
      QString::fromUtf8("DTAUS-Datei (*.dta)|*.dta|DTAUS-Datei (dtaus1.*)|dtaus1.*|Alle Dateien (*.*)|*.*"));
  ASSERT_EQ(filters.size(), 3);
  EXPECT_TRUE(filters[0].startsWith(QStringLiteral("DTAUS-Datei (*.dta) (")));
  EXPECT_TRUE(filters[1].startsWith(QStringLiteral("DTAUS-Datei (dtaus1.*) (")));
  EXPECT_TRUE(filters[2].startsWith(QStringLiteral("Alle Dateien (*.*) (")));

  EXPECT_TRUE(Matches(filters[0], "beispiel.dta"));
  EXPECT_TRUE(Matches(filters[0], "BEISPIEL.DTA"));
  EXPECT_FALSE(Matches(filters[0], "beispiel.txt"));
  EXPECT_TRUE(Matches(filters[1], "DTAUS1.TXT"));
  EXPECT_FALSE(Matches(filters[1], "dtaus2.txt"));
  EXPECT_TRUE(Matches(filters[2], "DTAUS0"));
  EXPECT_TRUE(Matches(filters[2], "a.b"));
}

TEST(NameFilterTest, SeveralPatternsAndAnOddCount) {
  const QStringList filters = QtNameFilters(QStringLiteral("Texte|*.txt;*.asc|ohne Muster"));
  ASSERT_EQ(filters.size(), 1);
  EXPECT_TRUE(Matches(filters[0], "a.TXT"));
  EXPECT_TRUE(Matches(filters[0], "a.asc"));
}

TEST(GermanTextsTest, ShortcutsUseGermanKeyNames) {
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_O).toString(QKeySequence::NativeText), QStringLiteral("Strg+O"));
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P).toString(QKeySequence::NativeText),
            QStringLiteral("Strg+Umschalt+P"));
  // The portable form stays as it is, so shortcuts keep working.
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_O).toString(QKeySequence::PortableText),
            QStringLiteral("Ctrl+O"));
}

TEST(ExceptionTextTest, ReadsUtf8AndWindows1252Messages) {
  EXPECT_EQ(ExceptionText(std::runtime_error("Ungültig")), QStringLiteral("Ungültig"));
  EXPECT_EQ(ExceptionText(std::runtime_error("Ung\xFCltig")), QStringLiteral("Ungültig"));
}

class Thrower : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::runtime_error("Fehler im Ereignis");
    return QObject::event(event);
  }
};

TEST(ApplicationTest, ExceptionFromAnEventIsShownAndTheProgramGoesOn) {
  auto* app = dynamic_cast<TApplication*>(QCoreApplication::instance());
  ASSERT_NE(app, nullptr);
  std::vector<QString> shown;
  const auto previous = app->ShowException;
  app->ShowException = [&shown](const QString& text) { shown.push_back(text); };
  Thrower thrower;
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&thrower, &event);
  QEvent other(QEvent::User);
  QCoreApplication::sendEvent(&thrower, &other);
  app->ShowException = previous;
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], QStringLiteral("Fehler im Ereignis"));
}

}  // namespace
}  // namespace quandel::test
