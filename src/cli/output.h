#pragma once
// Writing a result to standard output or to a named file without ever leaving the named file
// half-written (see support::TAtomicFile), with German messages for what fails.
#include <string>
#include <string_view>

#include "atomic_file.h"
#include "file_system.h"

namespace cli {

class TOutput {
 public:
  // An empty path means standard output. A new file is readable by its owner only: what the
  // commands write holds payment data.
  explicit TOutput(std::string path);
  // The result readable by its owner only (0600), whatever the file it replaces allowed: for
  // archives of many files' payments. Before Open().
  void SetOwnerOnly() { file_.SetOwnerOnly(); }

  // Prepares the target; false with a German message in Error() when it cannot be written.
  bool Open();
  void Write(std::string_view bytes) { file_.Write(bytes); }
  // Hands what is buffered on now (standard output: to the terminal or pipe).
  void Flush() { file_.Flush(); }
  // Flushes and, for a regular file, puts the result in place. False with Error() set when
  // any write failed; the earlier content of the target is then left untouched.
  bool Commit();

  const std::string& Error() const { return error_; }
  // After Open(): whether what is written reaches the target at once (standard output, a
  // device, a pipe) rather than at Commit(), so that it can no longer be taken back.
  bool WritesInPlace() const { return file_.WritesInPlace(); }
  // The temporary file Open() made for a named regular file (empty otherwise), for a library
  // that writes by name (SQLite, libxlsxwriter); Commit() then puts what it wrote in place.
  std::string TempPath() const { return file_.TempPath(); }

 private:
  bool Fail(int errorNumber);

  std::string path_;
  support::TAtomicFile file_;
  bool opened_ = false;
  std::string error_;
};

using support::IsSameFile;

}  // namespace cli
