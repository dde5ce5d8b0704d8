#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "file_size.h"
#include "measure_cases.h"
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
  support_test::Put(
      dir, {{"r.dta", 1}, {"sub/a.dta", 10}, {"sub/deeper/b.dta", 100}, {"sub/deeper/skip.txt", 5000}});
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

void Abort(TFileGeneric& sender, const std::string&, TSearchRec&) { sender.Aborted = true; }
void Rename(TFileGeneric&, const std::string&, TSearchRec& e) { e.Name = "elsewhere"; }
void Shrink(TFileGeneric&, const std::string&, TSearchRec& e) { e.Size = 0; }

TEST(FileSizeRecursive, WalksSubfoldersOnceAndHonoursAbortAndLinks) {
  const support_test::Files folderMatch = {{"x.dta/y.dta", 7}, {"z.dta", 3}};
  const support_test::Files hidden = {{".hid/secret.dta", 1000}, {"sub/a.dta", 10}, {".top.dta", 1}};
  const support_test::Files linked = {{"sub/a.dta", 10}, {"target.bin", 50}};
  const support_test::Links links = {
      {"sub", "sub/loop"}, {"target.bin", "sub/link.dta"}, {"gone", "sub/dangling.dta"}};
  const support_test::Files topAndSub = {{"top.dta", 1}, {"sub/a.dta", 10}};
  const support_test::Files twoInSub = {{"top.dta", 1}, {"sub/a.dta", 10}, {"sub/b.dta", 10}};
  const support_test::Files subAndTop = {{"sub/a.dta", 10}, {"b.dta", 5}};
  // what; files; path, recursive, total, file count, folder count, folder callbacks (-1: not checked);
  // links; folder hook, file hook. "sub" and ".hid" are both met by the file pass.
  support_test::CheckMeasures({
      {"a folder matched by the mask counts once, walked once", folderMatch, "*.dta", true, 10, 2, 1, 1},
      {"a hidden folder is counted but not walked", hidden, "*", true, 11, 2, 2},
      {"a link back to its folder is not followed, a linked file is", linked, "*.dta", true, 60, 2, -1, -1,
       links},
      {"an abort in the folder callback stops every pass", topAndSub, "*.dta", true, 0, 0, -1, 1, {}, Abort},
      {"a deep abort keeps the total so far", twoInSub, "*.dta", true, 10, 1, -1, -1, {}, nullptr, Abort},
      {"changed entries do not steer the walk", subAndTop, "*.dta", true, 15, 2, -1, -1, {}, Rename, Shrink},
      {"without recursion subfolders are ignored", topAndSub, "*", false, 1, -1, 0, 0},
  });
}

TEST(FileSizeRecursive, FollowsLinksToFoldersButMeasuresEachFolderOnce) {
  const support_test::Files inAndOut = {{"in/a.dta", 1}, {"out/b.dta", 10}, {"out/deeper/c.dta", 100}};
  const support_test::Files siblings = {{"a/x.dta", 1}, {"b/y.dta", 10}};
  const support_test::Files nested = {{"in/a.dta", 1}, {"in/sub/b.dta", 10}};
  const support_test::Links toOut = {{"out", "in/link"}};
  const support_test::Links twoToOut = {{"out", "in/one"}, {"out", "in/two"}};
  const support_test::Links toSibling = {{"b", "a/to-b"}};
  const support_test::Links up = {{"in", "in/sub/up"}};
  const support_test::Links dangling = {{"gone", "in/lost"}};
  // what; files; path, recursive, total, file count, folder count, folder callbacks; links.
  // "out" lies beside the measured folder "in", so only a link leads there.
  support_test::CheckMeasures({
      {"a link to a folder elsewhere is walked with its subfolders", inAndOut, "in/*.dta", true, 111, 3, 0, 2,
       toOut},
      {"a link to a sibling adds nothing: the folder counts once", siblings, "*.dta", true, 11, 2, 0, 2,
       toSibling},
      {"a link to the measured folder is a loop, not followed", nested, "in/*.dta", true, 11, 2, 0, 1, up},
      {"a link above the measured folder walks the rest there", nested, "in/sub/*.dta", true, 11, 2, 0, 1,
       up},
      {"two links to one folder: walked once, by the first name", inAndOut, "in/*.dta", true, 111, 3, 0, 2,
       twoToOut},
      {"a link to a folder counts as a folder of the mask", inAndOut, "in/*", true, 111, 3, 2, 2, toOut},
      {"a dangling link to a folder is passed over", nested, "in/*.dta", true, 11, 2, 0, 1, dangling},
  });
}

}  // namespace
