// The viewer never changes a file it reads: not by showing it, not by failing on it, not by
// printing its list.
#include <sys/stat.h>

#include <QAction>

#include "viewer_fixture.h"

namespace quandel::test {
namespace {

struct FileStamp {
  std::string bytes;
  ino_t inode = 0;
  timespec modified{};
  timespec changed{};
};

FileStamp Stamp(const std::string& path) {
  FileStamp stamp;
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  stamp.bytes = ReadBytes(path);
  stamp.inode = info.st_ino;
  stamp.modified = info.st_mtim;
  stamp.changed = info.st_ctim;
  return stamp;
}

void ExpectSame(const FileStamp& before, const FileStamp& after, const std::string& what) {
  EXPECT_EQ(after.bytes, before.bytes) << what;
  EXPECT_EQ(after.inode, before.inode) << what << " replaced";
  EXPECT_EQ(after.modified.tv_sec, before.modified.tv_sec) << what;
  EXPECT_EQ(after.modified.tv_nsec, before.modified.tv_nsec) << what;
  EXPECT_EQ(after.changed.tv_sec, before.changed.tv_sec) << what;
  EXPECT_EQ(after.changed.tv_nsec, before.changed.tv_nsec) << what;
}

using InputTest = ViewerTest;

TEST_F(InputTest, ShowingFailingAndPrintingLeaveTheInputFilesAsTheyWere) {
  const std::string good =
      WriteSample("gut.dta", {Payment("M]LLER", 12345, "GEB]HR"), Payment("SCHULZE", 99, "MIETE")});
  testdta::ARecord a;
  a.date = "000000";
  const std::string bad = data.Write("kaputt.dta", testdta::File(a, {Payment("EMPFAENGER", 100, "ZWECK")}));
  // Times in the past, so that a write within the same clock tick would still show.
  SetLocalFileTime(good, 2001, 2, 3, 4, 5, 6);
  SetLocalFileTime(bad, 2001, 2, 3, 4, 5, 6);
  const FileStamp goodBefore = Stamp(good);
  const FileStamp badBefore = Stamp(bad);

  const auto form = Start();
  form->ShowFile(QString::fromStdString(good));
  ASSERT_TRUE(ViewText(*form).contains(QStringLiteral("SCHULZE")));
  form->ShowFile(QString::fromStdString(bad));
  ASSERT_TRUE(ViewText(*form).contains(QStringLiteral("Fehler")));
  form->ShowFile(QString::fromStdString(good));
  form->fileUpdateDtaus->trigger();
  desktop.printDialog->setNextAnswer(true);
  desktop.printDialog->setPdfOutput(Q(data.Path() / "liste.pdf"));
  form->filePrint->trigger();
  ASSERT_TRUE(std::filesystem::exists(data.Path() / "liste.pdf"));
  EXPECT_TRUE(desktop.messages->errors.empty());
  EXPECT_TRUE(desktop.messages->messages.empty());

  ExpectSame(goodBefore, Stamp(good), "good file");
  ExpectSame(badBefore, Stamp(bad), "failing file");
}

TEST_F(InputTest, ThePageFileShownItselfStaysAndThePageGoesToTheCache) {
  testdta::TempDir cache;
  ScopedEnv cacheEnv("XDG_CACHE_HOME", cache.Path().string());
  const std::string input = program.Write("dtaus.html", SampleFile({Payment("SCHULZE", 99, "MIETE")}));
  SetLocalFileTime(input, 2001, 2, 3, 4, 5, 6);
  const FileStamp before = Stamp(input);

  const auto form = Start({QString::fromStdString(input)});
  EXPECT_TRUE(desktop.messages->errors.empty());
  EXPECT_TRUE(ViewText(*form).contains(QStringLiteral("SCHULZE")));
  form->fileUpdateDtaus->trigger();
  ExpectSame(before, Stamp(input), "shown page file");
  EXPECT_NE(ReadBytes(cache.Path() / "quandel" / "dtaus.html").find("SCHULZE"), std::string::npos);
}

}  // namespace
}  // namespace quandel::test
