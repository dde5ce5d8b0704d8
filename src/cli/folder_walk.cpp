#include "folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <utility>

#include "json_export.h"
#include "output.h"
#include "record_layout.h"

namespace cli {
namespace {

using TFolderId = std::pair<dev_t, ino_t>;

bool ListFolder(const std::string& folder, std::vector<std::string>& names, int& error) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    error = errno;
    return false;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return true;
}

void WalkFolder(const std::string& root, const struct stat& rootStat, TWalk& walk) {
  std::set<TFolderId> seen{{rootStat.st_dev, rootStat.st_ino}};
  // Depth first in name order, without recursion: a deep tree cannot exhaust the stack.
  std::vector<std::string> pending{root};
  while (!pending.empty()) {
    const std::string folder = std::move(pending.back());
    pending.pop_back();
    std::vector<std::string> names;
    int error = 0;
    if (!ListFolder(folder, names, error)) {
      walk.Errors.push_back("Der Ordner " + FileNameToUtf8(folder) +
                            " kann nicht gelesen werden: " + GermanSystemError(error));
      continue;
    }
    std::vector<std::string> folders;
    for (const auto& name : names) {
      const std::string path = folder + (folder.ends_with('/') ? "" : "/") + name;
      struct stat st {};
      if (::stat(path.c_str(), &st) != 0) {  // a dangling link, a link loop
        ++walk.Skipped;
        continue;
      }
      if (S_ISDIR(st.st_mode)) {
        if (seen.insert({st.st_dev, st.st_ino}).second) folders.push_back(path);
      } else if (S_ISREG(st.st_mode)) {
        walk.Files.push_back({path, false});
      } else {
        ++walk.Skipped;
      }
    }
    // Reversed onto the stack, so that the first folder by name is walked first.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) pending.push_back(*it);
  }
}

}  // namespace

TWalk WalkPaths(const std::vector<std::string>& paths) {
  TWalk walk;
  for (const auto& path : paths) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      WalkFolder(path, st, walk);
    else
      walk.Files.push_back({path, true});  // the check says why it cannot be read
  }
  return walk;
}

TSniff StartsLikeDtaus(const std::string& path) {
  // O_NONBLOCK: a FIFO that took a file's place must not stop the walk.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return TSniff::Unreadable;
  char head[ombra::layout::kTypeOffset + 1];
  std::size_t got = 0;
  while (got < sizeof head) {
    const ssize_t n = ::pread(fd, head + got, sizeof head - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (got < sizeof head || head[ombra::layout::kTypeOffset] != 'A') return TSniff::Other;
  for (std::size_t i = 0; i < ombra::layout::kTypeOffset; ++i)
    if (head[i] < '0' || head[i] > '9') return TSniff::Other;
  return TSniff::Dtaus;
}

}  // namespace cli
