#pragma once
// A scratch folder for one test, removed again with everything in it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace support_test {

class TempDir {
 public:
  TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "quandel-support-XXXXXX").string();
    if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Path(const std::string& relative = {}) const {
    return relative.empty() ? path_ : path_ + "/" + relative;
  }

  // Writes `bytes` bytes (or the given text) to a file below the folder.
  std::string File(const std::string& relative, std::size_t bytes) const {
    return Write(relative, std::string(bytes, 'x'));
  }
  std::string Write(const std::string& relative, const std::string& text) const {
    const std::string p = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }
  std::string Folder(const std::string& relative) const {
    const std::string p = Path(relative);
    std::filesystem::create_directories(p);
    return p;
  }

 private:
  std::string path_;
};

}  // namespace support_test
