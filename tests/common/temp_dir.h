#pragma once
// A fresh folder under the system's temporary folder for one test, removed again with everything
// in it. Shared by the tests of every part of the program.

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quandel_test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quandel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // Joined as text, not with `/`, so an absolute or empty `relative` stays below the folder.
  std::string Path(const std::string& relative) const {
    return relative.empty() ? path_.string() : path_.string() + "/" + relative;
  }

  // Writes `bytes` (creating the folders above it) to a file below the folder; returns its path.
  std::string Write(const std::string& relative, const std::string& bytes) const {
    const std::string file = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }

  // A file of `size` bytes, for tests that only care how big it is.
  std::string File(const std::string& relative, std::size_t size) const {
    return Write(relative, std::string(size, 'x'));
  }

  std::string Folder(const std::string& relative) const {
    const std::string folder = Path(relative);
    std::filesystem::create_directories(folder);
    return folder;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace quandel_test

// The names the core's, the command line's and the support routines' tests have always used.
namespace testdta {
using quandel_test::TempDir;
}
namespace support_test {
using quandel_test::TempDir;
}
