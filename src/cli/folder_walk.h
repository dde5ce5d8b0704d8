#pragma once
// Which files a check of whole archives looks at: the files named, and in the folders named
// every regular file that starts like a DTAUS file or is named like one.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A folder held open while files listed in it wait to be read, when their path is longer than
// the kernel takes: they are opened relative to it. Files of shorter paths are opened by
// name, so that an archive of many folders does not run out of descriptors.
class TOpenFolder {
 public:
  explicit TOpenFolder(int fd) : fd_(fd) {}
  ~TOpenFolder();
  TOpenFolder(const TOpenFolder&) = delete;
  TOpenFolder& operator=(const TOpenFolder&) = delete;
  int Fd() const { return fd_; }

 private:
  int fd_;
};

struct TCandidate {
  std::string Path;    // as shown: the name given, or the folder's path and the entry's name
  bool Named = false;  // named on the command line: checked whatever it holds
  // Files found in a folder: the entry's name in it, and the open folder when Path is too long
  // to be opened by name.
  std::shared_ptr<const TOpenFolder> Folder;
  std::string Name;
  std::int64_t Size = 0;  // at the walk; -1 when unknown
};

// Why an entry is "Vanished": gone, or something else (a link, a pipe, a folder for a file)
// in its place.
inline constexpr const char* kVanishedReason = "seit dem Auflisten des Ordners verschwunden";
inline constexpr const char* kReplacedReason = "seit dem Auflisten durch etwas anderes ersetzt";

// An entry of a walked folder that is not checked, and why (German, UTF-8).
enum class TPassedKind { Skipped, Unreadable, Vanished };
struct TPassed {
  std::string Path;
  TPassedKind Kind = TPassedKind::Skipped;
  std::string Reason;
  std::size_t Before = 0;  // its place in the walk: before Files[Before]
};

struct TWalk {
  std::vector<TCandidate> Files;  // in the order given, folders sorted by name
  std::vector<TPassed> Passed;    // skipped, unreadable and vanished entries, in walk order
};

// Folders are walked recursively relative to open folder descriptors, whatever the depth.
// A symbolic link to a folder is followed only when named on the command line; links met
// during the walk are followed to files only. A folder or entry that cannot be searched or
// read is "Unreadable"; one that is gone between listing and looking is "Vanished".
TWalk WalkPaths(const std::vector<std::string>& paths);

enum class TSniff { Dtaus, Other, Unreadable };
// An A record in the first 128 bytes: a length field of digits and the type "A".
TSniff StartsLikeDtaus(const std::string& path);
// The same test on a file's first bytes (fewer when the file is shorter).
bool BytesStartLikeDtaus(std::string_view head);
// How many first bytes BytesStartLikeDtaus looks at.
std::size_t DtausHeadSize();
// Reads those bytes of the open file `fd` into `head` (fewer when the file is shorter);
// 0 or the errno of the failed read.
int ReadDtausHead(int fd, std::string& head);

// "*.dta", "dtaus*" and "DTAUS0.TXT" in any case: such a file is checked even when it does
// not start like a DTAUS file, so that a damaged one is reported, not passed over.
bool NamedLikeDtaus(std::string_view name);

}  // namespace cli
