#pragma once
// Which files a check of whole archives looks at: the files named, and in the folders named
// every regular file that starts like a DTAUS file.
#include <cstdint>
#include <string>
#include <vector>

namespace cli {

struct TCandidate {
  std::string Path;
  bool Named = false;  // named on the command line: checked whatever it holds
};

struct TWalk {
  std::vector<TCandidate> Files;    // in the order given, folders sorted by name
  std::int64_t Skipped = 0;         // entries of folders that are no regular files
  std::vector<std::string> Errors;  // German, UTF-8: folders that could not be read
};

// Folders are walked recursively; symbolic links are followed, each folder once, so a link
// loop ends. Whether a folder's file is a DTAUS file is left to StartsLikeDtaus.
TWalk WalkPaths(const std::vector<std::string>& paths);

enum class TSniff { Dtaus, Other, Unreadable };
// An A record in the first 128 bytes: a length field of digits and the type "A".
TSniff StartsLikeDtaus(const std::string& path);

}  // namespace cli
