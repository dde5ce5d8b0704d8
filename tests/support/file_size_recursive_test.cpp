#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "file_size.h"
#include "temp_dir.h"

using support::TFileGeneric;
using support::TFileSize;
using support::TSearchRec;
using support_test::TempDir;

namespace {

struct Event {
  char kind;  // 'd' for OnDirectory, 'f' for OnFile
  std::string path;
};

// Records every callback as kind plus folder/name, in call order.
void Record(TFileSize& fs, std::vector<Event>& events) {
  fs.OnDirectory = [&events](TFileGeneric&, const std::string& folder, TSearchRec& e) {
    events.push_back({'d', folder + "/" + e.Name});
  };
  fs.OnFile = [&events](TFileGeneric&, const std::string& folder, TSearchRec& e) {
    events.push_back({'f', folder + "/" + e.Name});
  };
}

std::size_t IndexOf(const std::vector<Event>& events, char kind, const std::string& path) {
  const auto it = std::find_if(events.begin(), events.end(),
                               [&](const Event& e) { return e.kind == kind && e.path == path; });
  return static_cast<std::size_t>(it - events.begin());
}

TEST(FileSizeRecursive, SubfoldersAreWalkedBeforeFilesOfTheirParent) {
  TempDir dir;
  dir.File("r.dta", 1);
  dir.File("sub/a.dta", 10);
  dir.File("sub/deeper/b.dta", 100);
  dir.File("sub/deeper/skip.txt", 5000);
  TFileSize fs;
  fs.Recursive = true;
  std::vector<Event> ev;
  Record(fs, ev);
  fs.Path = dir.Path("*.dta");
  EXPECT_EQ(fs.Measure(), 111);
  EXPECT_EQ(fs.FileCount, 3);
  EXPECT_EQ(fs.DirCount, 0);
  ASSERT_EQ(ev.size(), 5u);
  const auto sub = IndexOf(ev, 'd', dir.Path("sub"));
  const auto deeper = IndexOf(ev, 'd', dir.Path("sub/deeper"));
  const auto b = IndexOf(ev, 'f', dir.Path("sub/deeper/b.dta"));
  const auto a = IndexOf(ev, 'f', dir.Path("sub/a.dta"));
  const auto r = IndexOf(ev, 'f', dir.Path("r.dta"));
  EXPECT_LT(sub, deeper);
  EXPECT_LT(deeper, b);
  EXPECT_LT(b, a);
  EXPECT_LT(a, r);
  EXPECT_EQ(r, 4u);
}

TEST(FileSizeRecursive, FolderMatchedByMaskCountsOnceAndIsNotWalkedTwice) {
  TempDir dir;
  dir.File("x.dta/y.dta", 7);
  dir.File("z.dta", 3);
  TFileSize fs;
  fs.Recursive = true;
  std::vector<Event> ev;
  Record(fs, ev);
  fs.Path = dir.Path("*.dta");
  EXPECT_EQ(fs.Measure(), 10);
  EXPECT_EQ(fs.FileCount, 2);
  EXPECT_EQ(fs.DirCount, 1);
  EXPECT_EQ(std::count_if(ev.begin(), ev.end(), [](const Event& e) { return e.kind == 'd'; }), 1);
}

TEST(FileSizeRecursive, HiddenFolderIsCountedButNotWalked) {
  TempDir dir;
  dir.File(".hid/secret.dta", 1000);
  dir.File("sub/a.dta", 10);
  dir.File(".top.dta", 1);
  TFileSize fs;
  fs.Recursive = true;
  fs.Path = dir.Path("*");
  EXPECT_EQ(fs.Measure(), 11);
  EXPECT_EQ(fs.FileCount, 2);
  EXPECT_EQ(fs.DirCount, 2);  // "sub" and ".hid" both met by the file pass
}

TEST(FileSizeRecursive, LinkedFolderIsNotFollowedButLinkedFileIs) {
  TempDir dir;
  dir.File("sub/a.dta", 10);
  dir.File("target.bin", 50);
  ASSERT_EQ(symlink(dir.Path("sub").c_str(), dir.Path("sub/loop").c_str()), 0);
  ASSERT_EQ(symlink(dir.Path("target.bin").c_str(), dir.Path("sub/link.dta").c_str()), 0);
  ASSERT_EQ(symlink(dir.Path("gone").c_str(), dir.Path("sub/dangling.dta").c_str()), 0);
  TFileSize fs;
  fs.Recursive = true;
  fs.Path = dir.Path("*.dta");
  EXPECT_EQ(fs.Measure(), 60);
  EXPECT_EQ(fs.FileCount, 2);
}

TEST(FileSizeRecursive, AbortInDirectoryCallbackStopsEveryPass) {
  TempDir dir;
  dir.File("top.dta", 1);
  dir.File("sub/a.dta", 10);
  TFileSize fs;
  fs.Recursive = true;
  int dirs = 0;
  fs.OnDirectory = [&](TFileGeneric& sender, const std::string&, TSearchRec&) {
    ++dirs;
    sender.Aborted = true;
  };
  fs.Path = dir.Path("*.dta");
  EXPECT_EQ(fs.Measure(), 0);
  EXPECT_EQ(fs.FileCount, 0);
  EXPECT_EQ(dirs, 1);
}

TEST(FileSizeRecursive, AbortDeepDownKeepsTotalReachedSoFar) {
  TempDir dir;
  dir.File("top.dta", 1);
  dir.File("sub/a.dta", 10);
  dir.File("sub/b.dta", 10);
  TFileSize fs;
  fs.Recursive = true;
  fs.OnFile = [](TFileGeneric& sender, const std::string&, TSearchRec&) { sender.Aborted = true; };
  fs.Path = dir.Path("*.dta");
  EXPECT_EQ(fs.Measure(), 10);
  EXPECT_EQ(fs.FileCount, 1);
}

TEST(FileSizeRecursive, CallbacksChangingTheEntryDoNotSteerTheWalk) {
  TempDir dir;
  dir.File("sub/a.dta", 10);
  dir.File("b.dta", 5);
  TFileSize fs;
  fs.Recursive = true;
  fs.OnDirectory = [](TFileGeneric&, const std::string&, TSearchRec& e) { e.Name = "elsewhere"; };
  fs.OnFile = [](TFileGeneric&, const std::string&, TSearchRec& e) { e.Size = 0; };
  fs.Path = dir.Path("*.dta");
  EXPECT_EQ(fs.Measure(), 15);
  EXPECT_EQ(fs.FileCount, 2);
}

TEST(FileSizeRecursive, NonRecursiveIgnoresSubfolders) {
  TempDir dir;
  dir.File("top.dta", 1);
  dir.File("sub/a.dta", 10);
  TFileSize fs;
  int dirs = 0;
  fs.OnDirectory = [&](TFileGeneric&, const std::string&, TSearchRec&) { ++dirs; };
  fs.Path = dir.Path("*");
  EXPECT_EQ(fs.Measure(), 1);
  EXPECT_EQ(fs.DirCount, 0);
  EXPECT_EQ(dirs, 0);
}

}  // namespace
