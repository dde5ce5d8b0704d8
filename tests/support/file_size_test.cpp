#include "file_size.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "measure_cases.h"
#include "temp_dir.h"

using support::CalcFileSize;
using support::TFileGeneric;
using support::TFileSize;
using support::TSearchRec;
using support_test::TempDir;

namespace {

std::int64_t MeasurePath(TFileSize& fs, const std::string& path) {
  fs.Path = path;
  return fs.Measure();
}

// Restores the working folder even when an assertion leaves the test early.
class CwdGuard {
 public:
  explicit CwdGuard(const std::string& to) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(to);
  }
  ~CwdGuard() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

TEST(FileSize, MeasuresFilesAndMasksBelowAFolder) {
  const support_test::Files one = {{"a.dta", 10}};
  const support_test::Files mixed = {
      {"a.dta", 100}, {"B.DTA", 20}, {".hidden.dta", 3}, {"other.txt", 4000}, {"x.dta/inner.dta", 50000}};
  const support_test::Files dotted = {{"noext", 7}, {"dtaus1.dta", 5}, {"dtaus10", 11}};
  // what; files; path, recursive, total, file count, folder count (-1: not checked)
  support_test::CheckMeasures({
      {"a single file gives its size and one file", {{"a.dta", 1234}}, "a.dta", false, 1234, 1, 0},
      {"a missing file gives zero without counting", one, "b.dta", false, 0, 0},
      {"a file in a missing folder gives zero", one, "nowhere/a.dta", false, 0, 0, 0},
      {"a mask sums matching files, hidden too, not a folder", mixed, "*.dta", false, 123, 3, 0},
      {"*.* also matches names without a dot", dotted, "*.*", false, 23},
      {"other masks need their dot", dotted, "dtaus1.*", false, 5},
      {"? is one character, case ignored", dotted, "DTAUS1?", false, 11},
      {"a path naming a folder gives zero", {{"sub/a.dta", 10}}, "sub", false, 0, 0, 0},
  });
}

TEST(FileSize, EmptyPathOrFolderWithSeparatorGivesZero) {
  TempDir dir;
  dir.File("a.dta", 10);
  TFileSize fs;
  EXPECT_EQ(MeasurePath(fs, ""), 0);
  EXPECT_EQ(MeasurePath(fs, dir.Path().string() + "/"), 0);
}

TEST(FileSize, PathWithoutFolderIsMeasuredInWorkingFolder) {
  TempDir dir;
  dir.File("here.dta", 42);
  dir.File("there.dta", 8);
  CwdGuard cwd(dir.Path());
  TFileSize fs;
  std::vector<std::string> folders;
  fs.OnFile = [&](TFileGeneric&, const std::string& folder, TSearchRec&) { folders.push_back(folder); };
  EXPECT_EQ(MeasurePath(fs, "here.dta"), 42);
  EXPECT_EQ(MeasurePath(fs, "*.dta"), 50);
  EXPECT_EQ(folders, (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(CalcFileSize("here.dta"), 42);
}

TEST(FileSize, CallbackGetsFolderWithoutTrailingSeparatorAndEntryData) {
  TempDir dir;
  const std::string file = dir.File("sub/a.dta", 9);
  chmod(file.c_str(), 0444);
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  TFileSize fs;
  int calls = 0;
  fs.OnFile = [&](TFileGeneric& sender, const std::string& folder, TSearchRec& e) {
    ++calls;
    EXPECT_EQ(&sender, &fs);
    EXPECT_EQ(folder, dir.Path("sub"));
    EXPECT_EQ(e.Name, "a.dta");
    EXPECT_EQ(e.Size, 9);
    EXPECT_EQ(e.Time, st.st_mtime);
    EXPECT_EQ(e.Attr, support::faReadOnly | support::faArchive);
  };
  EXPECT_EQ(MeasurePath(fs, dir.Path("sub//a.dta")), 9);
  EXPECT_EQ(calls, 1);
}

TEST(FileSize, HiddenEntryIsMarkedHidden) {
  TempDir dir;
  dir.File(".h", 1);
  TFileSize fs;
  int attr = -1;
  fs.OnFile = [&](TFileGeneric&, const std::string&, TSearchRec& e) { attr = e.Attr; };
  EXPECT_EQ(MeasurePath(fs, dir.Path(".h")), 1);
  EXPECT_EQ(attr, support::faHidden | support::faArchive);
}

TEST(FileSize, RootFolderKeepsItsSeparator) {
  TFileSize fs;
  std::set<std::string> folders;
  fs.OnFile = [&](TFileGeneric&, const std::string& folder, TSearchRec&) { folders.insert(folder); };
  // Whatever the root holds, "/etc" is a folder and nothing under "/" is reported otherwise.
  EXPECT_EQ(MeasurePath(fs, "/etc"), 0);
  EXPECT_EQ(MeasurePath(fs, "/quandel-surely-missing-*"), 0);
  MeasurePath(fs, "/*");
  for (const auto& f : folders) EXPECT_EQ(f, "/");
}

TEST(FileSize, ThreeGibibyteSparseFileKeepsFullSize) {
  TempDir dir;
  const std::string file = dir.File("big.dta", 0);
  ASSERT_EQ(truncate(file.c_str(), 3221225472LL), 0);
  EXPECT_EQ(CalcFileSize(file), 3221225472LL);
  dir.File("small.dta", 1);
  EXPECT_EQ(CalcFileSize(dir.Path("*.dta")), 3221225473LL);
}

TEST(FileSize, AbortedBeforeStartCountsNothing) {
  TempDir dir;
  dir.File("a.dta", 10);
  dir.File("sub/b.dta", 10);
  TFileSize fs;
  int calls = 0;
  fs.OnFile = [&](TFileGeneric&, const std::string&, TSearchRec&) { ++calls; };
  fs.OnDirectory = fs.OnFile;
  fs.Recursive = true;
  fs.Aborted = true;
  EXPECT_EQ(MeasurePath(fs, dir.Path("*")), 0);
  EXPECT_EQ(fs.FileCount, 0);
  EXPECT_EQ(fs.DirCount, 0);
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(fs.Aborted);
}

TEST(FileSize, AbortFromCallbackStopsAfterCurrentFile) {
  TempDir dir;
  support_test::Put(dir, {{"a.dta", 1}, {"b.dta", 20}, {"c.dta", 300}});
  TFileSize fs;
  std::int64_t seen = -1;
  fs.OnFile = [&](TFileGeneric& sender, const std::string&, TSearchRec& e) {
    seen = e.Size;
    sender.Aborted = true;
  };
  EXPECT_EQ(MeasurePath(fs, dir.Path("*.dta")), seen);
  EXPECT_EQ(fs.FileCount, 1);
}

TEST(FileSize, MeasureStartsAgainFromZero) {
  TempDir dir;
  dir.File("a.dta", 5);
  dir.File("b.dta", 6);
  TFileSize fs;
  fs.Path = dir.Path("*.dta");
  EXPECT_EQ(fs.Measure(), 11);
  EXPECT_EQ(fs.Measure(), 11);
  EXPECT_EQ(fs.FileCount, 2);
}

TEST(FileSize, CalcFileSizeEqualsMeasure) {
  TempDir dir;
  support_test::Put(dir, {{"a.dta", 5}, {"b.dta", 600}, {"sub/c.dta", 70}});
  for (const std::string& p : {dir.Path("a.dta"), dir.Path("*.dta"), dir.Path("*"), dir.Path("sub")}) {
    TFileSize fs;
    EXPECT_EQ(CalcFileSize(p), MeasurePath(fs, p)) << p;
  }
  EXPECT_EQ(CalcFileSize(dir.Path("*")), 605);
}

TEST(FileSize, NamedFileIsMeasuredAloneWhileCalcFileSizeTakesItAsAMask) {
  TempDir dir;
  support_test::Put(dir, {{"a?.dta", 5}, {"ab.dta", 600}, {"A*.dta", 70}, {"sub/c.dta", 7}});
  const std::tuple<std::string, std::int64_t, std::int64_t> cases[] = {
      // name, its own size, the mask's sum
      {"a?.dta", 5, 675}, {"A*.dta", 70, 675}, {"ab.dta", 600, 600}, {"sub", 0, 0}, {"fehlt.dta", 0, 0},
  };
  for (const auto& [name, own, mask] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(support::SizeOfNamedFile(dir.Path(name)), own);
    EXPECT_EQ(CalcFileSize(dir.Path(name)), mask);
  }
  EXPECT_EQ(support::SizeOfNamedFile(""), 0);
}

TEST(FileSize, UnreadableFolderContributesNothing) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  TempDir dir;
  dir.File("locked/a.dta", 10);
  dir.File("open/b.dta", 20);
  chmod(dir.Path("locked").c_str(), 0);
  TFileSize fs;
  fs.Recursive = true;
  const auto total = MeasurePath(fs, dir.Path("*.dta"));
  const auto inside = CalcFileSize(dir.Path("locked/a.dta"));
  chmod(dir.Path("locked").c_str(), 0700);
  EXPECT_EQ(total, 20);
  EXPECT_EQ(inside, 0);
}

}  // namespace
