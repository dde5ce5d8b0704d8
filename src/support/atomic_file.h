#pragma once
// Writing a file so that nobody ever sees it half-written, and no copy of its content outlives
// the run: the bytes go to a private temporary file beside the target, which is synced and
// renamed over the target once everything is written, and removed when the run ends early,
// by a failure or by any signal whose default action ends the process.
#include <sys/types.h>

#include <string>
#include <string_view>

namespace support {

// What a file written by name does with what stands at the name.
enum class TTarget {
  // Links are followed, devices and pipes written in place, a replaced file keeps its mode:
  // what a user naming an output file expects, as of the shell's ">".
  AsNamed,
  // The entry itself is replaced, whatever it is (a link, a pipe), and gets `newFileMode`:
  // for a file of the program's own, where nothing planted at the name may be written through.
  ReplaceEntry,
};

class TAtomicFile {
 public:
  // An empty path means standard output, written as it comes. `newFileMode` is the mode of a
  // file that did not exist before (the umask still applies); a replaced file keeps its mode.
  explicit TAtomicFile(std::string path, mode_t newFileMode = 0600, TTarget target = TTarget::AsNamed);
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  // The result readable by its owner only (0600) even when it replaces a file that allowed
  // more: for archives of many files' payments. Before Open().
  void SetOwnerOnly() { ownerOnly_ = true; }

  // Prepares the target; 0 or the errno of the failure.
  //  - A symbolic link is followed to the file it names, which is created when missing (as
  //    the shell's ">" does); the link itself stays.
  //  - Devices and pipes are written in place: renaming over them would replace the node.
  //  - A file that may be written in a folder that may not takes the whole output at once
  //    when it is committed: its earlier content stays until then.
  int Open();
  // Buffered; the first failure is remembered and returned by Commit.
  void Write(std::string_view bytes);
  // The temporary file Open() made (empty when it made none: standard output, a device or
  // pipe, a file in a folder that may not be written), for a library that writes by name
  // (SQLite, libxlsxwriter); Commit() puts what it wrote in place.
  // Whether what is written goes to the target as it comes (standard output, a device or a
  // pipe) instead of being put in place at Commit().
  bool WritesInPlace() const { return mode_ == TMode::Stream; }
  std::string TempPath() const;
  // Writes out the buffer (standard output, devices and pipes see the bytes now).
  void Flush();
  // Writes out, syncs and closes a temporary file, so that Commit only renames it (a file
  // written in a worker can be committed by another thread). Commit calls it when needed.
  int Close();
  // Puts the result in place; 0 or the errno of the first failure, the target's earlier
  // content then untouched. With `replaced`, the file that stood at the target keeps a second
  // name beside it, given there (empty when there was none), for the caller to remove when it
  // suits: freeing a long file takes a while.
  int Commit(std::string* replaced = nullptr);

 private:
  enum class TMode { Closed, Stream, Temporary, AtCommit };
  void WriteAll(std::string_view bytes);
  int Fail(int errorNumber);

  std::string path_;
  mode_t newFileMode_;
  TTarget target_;
  std::string folder_;  // the target's folder as named
  TMode mode_ = TMode::Closed;
  int fd_ = -1;
  bool ownsFd_ = false;
  int folderFd_ = -1;       // the target's folder: the temporary file is made and renamed there
  std::string targetName_;  // the target's name in that folder
  std::string tempName_;
  int slot_ = -1;  // the temporary file's entry in the signal handlers' registry
  mode_t finalMode_ = 0600;
  bool ownerOnly_ = false;
  std::string buffer_;
  int error_ = 0;
};

// For tests: the signals on whose arrival pending temporary files are removed.
const int* RemovalSignals(std::size_t& count);

}  // namespace support
