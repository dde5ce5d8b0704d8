#pragma once
// Measuring as a table: every case builds a folder of its own, measures one path below it and
// checks the total and, where the case gives them, the counts.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "file_size.h"
#include "temp_dir.h"

namespace support_test {

using MeasureHook = void (*)(support::TFileGeneric& sender, const std::string& folder,
                             support::TSearchRec& entry);

using Files = std::vector<std::pair<std::string, std::size_t>>;  // name below the folder, size

// Writes the files, creating the folders they need.
inline void Put(const TempDir& dir, const Files& files) {
  for (const auto& [name, size] : files) dir.File(name, size);
}

using Links = std::vector<std::pair<std::string, std::string>>;  // target, link; both below the folder

struct MeasureCase {
  const char* what;
  Files files;
  std::string path;  // below the folder
  bool recursive = false;
  std::int64_t total = 0;
  int fileCount = -1;  // -1: not checked
  int dirCount = -1;
  int directoryCalls = -1;  // how often OnDirectory was called
  Links links = {};
  MeasureHook onDirectory = nullptr;
  MeasureHook onFile = nullptr;
};

inline void CheckMeasures(const std::vector<MeasureCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.what) + " (" + c.path + ")");
    const TempDir dir;
    Put(dir, c.files);
    for (const auto& [target, link] : c.links)
      ASSERT_EQ(symlink(dir.Path(target).c_str(), dir.Path(link).c_str()), 0) << link;
    support::TFileSize fs;
    fs.Recursive = c.recursive;
    int directoryCalls = 0;
    fs.OnDirectory = [&](support::TFileGeneric& sender, const std::string& folder,
                         support::TSearchRec& entry) {
      ++directoryCalls;
      if (c.onDirectory != nullptr) c.onDirectory(sender, folder, entry);
    };
    if (c.onFile != nullptr) fs.OnFile = c.onFile;
    fs.Path = dir.Path(c.path);
    EXPECT_EQ(fs.Measure(), c.total);
    if (c.fileCount >= 0) {
      EXPECT_EQ(fs.FileCount, c.fileCount);
    }
    if (c.dirCount >= 0) {
      EXPECT_EQ(fs.DirCount, c.dirCount);
    }
    if (c.directoryCalls >= 0) {
      EXPECT_EQ(directoryCalls, c.directoryCalls);
    }
  }
}

}  // namespace support_test
