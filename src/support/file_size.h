#pragma once
// Sums the sizes of the files matching a path whose last component may be a wildcard pattern.
#include <cstdint>
#include <functional>
#include <string>

namespace support {

// One directory entry as the walk reports it.
struct TSearchRec {
  std::string Name;
  int Attr = 0;  // faDirectory etc., as below
  std::int64_t Size = 0;
  std::int64_t Time = 0;  // last write, seconds since the epoch
};

inline constexpr int faReadOnly = 1;
inline constexpr int faHidden = 2;
inline constexpr int faSysFile = 4;
inline constexpr int faVolumeID = 8;
inline constexpr int faDirectory = 16;
inline constexpr int faArchive = 32;
inline constexpr int faAnyFile = 63;

class TFileGeneric;
// sender, folder being listed (no trailing separator), entry. May set sender.Aborted.
using TFileEvent = std::function<void(TFileGeneric& sender, const std::string& folder, TSearchRec& entry)>;

class TFileGeneric {
 public:
  TFileEvent OnDirectory;
  bool Aborted = false;
  std::int32_t DirCount = 0;
  std::int32_t FileCount = 0;
};

class TFileSize : public TFileGeneric {
 public:
  std::string Path;
  TFileEvent OnFile;
  // Walks subfolders too, following links to folders; each folder is measured once,
  // whatever names lead to it, so links that form a loop end there.
  bool Recursive = false;

  std::int64_t Measure();
};

// Takes the last component of `Path` as a wildcard pattern: "a?.dta" sums every match.
std::int64_t CalcFileSize(const std::string& Path);

// The size of the one file `Path` names, even when its name holds "*" or "?" (legal on
// Linux); 0 for a folder or a missing file, as CalcFileSize gives for them.
std::int64_t SizeOfNamedFile(const std::string& Path);

}  // namespace support
