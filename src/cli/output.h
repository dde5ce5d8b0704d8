#pragma once
// Writing a result to standard output or to a named file without ever leaving the named file
// half-written: regular files are written to a temporary sibling and renamed over the target.
#include <string>
#include <string_view>

#include "file_system.h"

namespace cli {

class TOutput {
 public:
  // An empty path means standard output.
  explicit TOutput(std::string path);
  // The result readable by its owner only (0600), whatever the file it replaces allowed: for
  // archives of many files' payments.
  void SetOwnerOnly() { ownerOnly_ = true; }
  ~TOutput();
  TOutput(const TOutput&) = delete;
  TOutput& operator=(const TOutput&) = delete;

  // Prepares the target; false with a German message in Error() when it cannot be written.
  bool Open();
  void Write(std::string_view bytes);
  // Flushes and, for a regular file, puts the result in place. False with Error() set when
  // any write failed; the earlier content of the target is then left untouched.
  bool Commit();

  const std::string& Error() const { return error_; }
  // The temporary file Open() made for a named regular file (empty otherwise), for a library
  // that writes by name (SQLite, libxlsxwriter); Commit() then puts what it wrote in place.
  const std::string& TempPath() const { return tempPath_; }

 private:
  void Flush();
  void WriteAll(std::string_view bytes);
  void Fail(const std::string& what, int errorNumber);

  std::string path_;
  std::string finalPath_;  // the file the temporary one replaces
  std::string tempPath_;
  int fd_ = -1;
  bool ownsFd_ = false;
  bool failed_ = false;
  bool ownerOnly_ = false;
  std::string buffer_;
  std::string error_;
};

using support::GermanSystemError;
using support::IsSameFile;

}  // namespace cli
