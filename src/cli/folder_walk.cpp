#include "folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <set>
#include <utility>

#include "record_layout.h"
#include "system_error.h"

namespace cli {
namespace {

using TFolderId = std::pair<dev_t, ino_t>;
using TFolderPtr = std::shared_ptr<const TOpenFolder>;

// Files wait for their check with their folder open; an archive of many folders needs more
// descriptors than the usual soft limit of 1024.
void RaiseOpenFileLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
  }
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder + (folder.ends_with('/') ? "" : "/") + name;
}

// The names in the folder open as `fd`, sorted; false with errno set when it cannot be listed.
bool ListFolder(int fd, std::vector<std::string>& names, int& error) {
  const int listFd = ::dup(fd);
  DIR* dir = listFd < 0 ? nullptr : ::fdopendir(listFd);
  if (dir == nullptr) {
    error = errno;
    if (listFd >= 0) ::close(listFd);
    return false;
  }
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
    errno = 0;
  }
  error = errno;
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return error == 0;
}

class TWalker {
 public:
  explicit TWalker(TWalk& walk) : walk_(walk) {}

  void Walk(int rootFd, const std::string& rootPath) {
    struct stat st {};
    if (::fstat(rootFd, &st) == 0) seen_.insert({st.st_dev, st.st_ino});
    // Depth first in name order, without recursion: a deep tree cannot exhaust the stack.
    pending_.push_back({std::make_shared<const TOpenFolder>(rootFd), rootPath, {}});
    while (!pending_.empty()) {
      TPending next = std::move(pending_.back());
      pending_.pop_back();
      VisitFolder(std::move(next));
    }
  }

 private:
  // A folder to walk: already open (Folder set, Name empty) or to open as Name in Folder.
  struct TPending {
    TFolderPtr Folder;
    std::string Path;
    std::string Name;
  };

  void AddFile(const TFolderPtr& folder, const std::string& path, const std::string& name,
               const struct stat& st) {
    // The path and its closing NUL must fit in PATH_MAX for the kernel to take it.
    const bool tooLong = path.size() >= PATH_MAX;
    walk_.Files.push_back({path, false, tooLong ? folder : nullptr, name, st.st_size});
  }

  void Pass(const std::string& path, TPassedKind kind, std::string reason) {
    walk_.Passed.push_back({path, kind, std::move(reason), walk_.Files.size()});
  }
  void PassFailed(const std::string& path, int error) {
    if (error == ENOENT)
      Pass(path, TPassedKind::Vanished, kVanishedReason);
    else
      Pass(path, TPassedKind::Unreadable, support::GermanSystemError(error, support::TFileDeed::Read));
  }

  void VisitFolder(TPending pending) {
    TFolderPtr folder = std::move(pending.Folder);
    if (!pending.Name.empty()) {
      // O_NOFOLLOW: a folder replaced by a link since it was listed is not walked into.
      const int fd = ::openat(folder->Fd(), pending.Name.c_str(),
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
      if (fd < 0) {
        const int error = errno;
        if (error == ELOOP || error == ENOTDIR)
          Pass(pending.Path, TPassedKind::Vanished, kReplacedReason);
        else
          PassFailed(pending.Path, error);
        return;
      }
      folder = std::make_shared<const TOpenFolder>(fd);
    }
    std::vector<std::string> names;
    int error = 0;
    if (!ListFolder(folder->Fd(), names, error)) {
      PassFailed(pending.Path, error);
      return;
    }
    std::vector<TPending> folders;
    for (const auto& name : names) {
      const std::string path = Joined(pending.Path, name);
      struct stat st {};
      if (::fstatat(folder->Fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        // A folder that may be listed but not searched ends here, entry by entry.
        PassFailed(path, errno);
        continue;
      }
      if (S_ISLNK(st.st_mode)) {
        VisitLink(folder, path, name);
      } else if (S_ISDIR(st.st_mode)) {
        if (seen_.insert({st.st_dev, st.st_ino}).second) folders.push_back({folder, path, name});
      } else if (S_ISREG(st.st_mode)) {
        AddFile(folder, path, name, st);
      } else {
        Pass(path, TPassedKind::Skipped, "keine gewöhnliche Datei (Gerät, Pipe oder Socket)");
      }
    }
    // Reversed onto the stack, so that the first folder by name is walked first.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) pending_.push_back(std::move(*it));
  }

  // Links lead to files only: a link to a folder may lead anywhere (/proc, the root, itself).
  void VisitLink(const TFolderPtr& folder, const std::string& path, const std::string& name) {
    struct stat st {};
    if (::fstatat(folder->Fd(), name.c_str(), &st, 0) != 0) {
      const int error = errno;
      Pass(path, TPassedKind::Skipped,
           error == ENOENT ? std::string("Verknüpfung ins Leere")
                           : "Verknüpfung nicht verfolgbar: " +
                                 support::GermanSystemError(error, support::TFileDeed::Read));
    } else if (S_ISDIR(st.st_mode)) {
      Pass(path, TPassedKind::Skipped, "Verknüpfung auf einen Ordner; nicht verfolgt");
    } else if (S_ISREG(st.st_mode)) {
      AddFile(folder, path, name, st);
    } else {
      Pass(path, TPassedKind::Skipped, "Verknüpfung auf keine gewöhnliche Datei");
    }
  }

  TWalk& walk_;
  std::set<TFolderId> seen_;
  std::vector<TPending> pending_;
};

}  // namespace

TOpenFolder::~TOpenFolder() { ::close(fd_); }

TWalk WalkPaths(const std::vector<std::string>& paths) {
  RaiseOpenFileLimit();
  TWalk walk;
  for (const auto& path : paths) {
    // A link named on the command line is followed, as the user asked for what it names.
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
      TWalker(walk).Walk(fd, path);
      continue;
    }
    const int error = errno;
    struct stat st {};
    const bool known = ::stat(path.c_str(), &st) == 0;
    if (known && S_ISDIR(st.st_mode))
      walk.Passed.push_back({path, TPassedKind::Unreadable,
                             support::GermanSystemError(error, support::TFileDeed::Read), walk.Files.size()});
    else  // the check says why it cannot be read
      walk.Files.push_back({path, true, nullptr, {}, known ? st.st_size : -1});
  }
  return walk;
}

std::size_t DtausHeadSize() { return ombra::layout::kTypeOffset + 1; }

bool BytesStartLikeDtaus(std::string_view head) {
  if (head.size() < DtausHeadSize() || head[ombra::layout::kTypeOffset] != 'A') return false;
  for (std::size_t i = 0; i < ombra::layout::kTypeOffset; ++i)
    if (head[i] < '0' || head[i] > '9') return false;
  return true;
}

int ReadDtausHead(int fd, std::string& head) {
  head.assign(DtausHeadSize(), '\0');
  std::size_t got = 0;
  while (got < head.size()) {
    const ssize_t n = ::pread(fd, head.data() + got, head.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  head.resize(got);
  return 0;
}

TSniff StartsLikeDtaus(const std::string& path) {
  // O_NONBLOCK: a FIFO that took a file's place must not stop the walk.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return TSniff::Unreadable;
  std::string head;
  const int error = ReadDtausHead(fd, head);
  ::close(fd);
  if (error != 0) return TSniff::Unreadable;
  return BytesStartLikeDtaus(head) ? TSniff::Dtaus : TSniff::Other;
}

bool NamedLikeDtaus(std::string_view name) {
  std::string lower(name);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower.ends_with(".dta") || lower.starts_with("dtaus");
}

}  // namespace cli
