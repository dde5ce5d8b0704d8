#include "file_size.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>
#include <set>
#include <string_view>
#include <utility>

#include "wildcard.h"

namespace support {
namespace {

// A folder as the file system knows it, whatever name leads to it.
using FolderId = std::pair<dev_t, ino_t>;

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// One open folder listing, filtered like a Windows listing by pattern and attribute mask:
// hidden entries only appear when the mask asks for them.
class Listing {
 public:
  Listing(const std::string& folder, std::string_view pattern, int attrMask)
      : dir_(opendir(folder.empty() ? "." : folder.c_str())), pattern_(pattern), mask_(attrMask) {}

  // Fills `entry`; for a folder, or a link to one, `folder` is what it leads to.
  bool Next(TSearchRec& entry, FolderId& folder) {
    if (!dir_) return false;
    while (const dirent* d = readdir(dir_.get())) {
      const std::string_view name = d->d_name;
      if (name == "." || name == "..") continue;
      const bool hidden = name.front() == '.';
      if (hidden && (mask_ & faHidden) == 0) continue;
      if (!WildcardMatch(name, pattern_)) continue;
      struct stat st {};
      // An entry that vanished meanwhile or a dangling link cannot be measured.
      if (fstatat(dirfd(dir_.get()), d->d_name, &st, 0) != 0) continue;
      const bool isDir = S_ISDIR(st.st_mode);
      folder = isDir ? FolderId{st.st_dev, st.st_ino} : FolderId{};
      entry.Name.assign(name);
      entry.Attr = (isDir ? faDirectory : 0) | (hidden ? faHidden : 0) |
                   ((st.st_mode & S_IWUSR) == 0 ? faReadOnly : 0) | (S_ISREG(st.st_mode) ? faArchive : 0);
      entry.Size = isDir ? 0 : st.st_size;
      entry.Time = st.st_mtime;
      return true;
    }
    return false;
  }

 private:
  DirHandle dir_;
  std::string_view pattern_;
  int mask_;
};

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + '/' + name;
}

// Links to folders are followed, but every folder is walked once: a link back to a folder
// on the way down (a loop) or a second name for a folder already measured adds nothing, so
// that no file counts twice and no tree of links makes the walk grow beyond the folders
// there are.
class Walker {
 public:
  Walker(TFileSize& owner, const std::string& mask) : owner_(owner), mask_(mask) {}

  void Start(const std::string& folder) {
    struct stat st {};
    if (owner_.Recursive && stat(folder.empty() ? "." : folder.c_str(), &st) == 0)
      walked_.emplace(st.st_dev, st.st_ino);
    Walk(folder);
  }

  std::int64_t Total() const { return total_; }

 private:
  void Walk(const std::string& folder) {
    TSearchRec entry;
    FolderId id;
    if (owner_.Recursive) {
      Listing folders(folder, "*.*", faDirectory);
      while (!owner_.Aborted && folders.Next(entry, id)) {
        if ((entry.Attr & faDirectory) == 0 || !walked_.insert(id).second) continue;
        // Taken before the callback, which gets the entry to change as it likes.
        const std::string sub = JoinPath(folder, entry.Name);
        if (owner_.OnDirectory) owner_.OnDirectory(owner_, folder, entry);
        Walk(sub);
      }
    }
    Listing files(folder, mask_, faAnyFile);
    while (!owner_.Aborted && files.Next(entry, id)) {
      if ((entry.Attr & faDirectory) != 0) {
        // The folder pass has walked it already (or skipped it on purpose as hidden or as
        // walked before); walking it again would count its files twice.
        if (owner_.Recursive) ++owner_.DirCount;
        continue;
      }
      const std::int64_t size = entry.Size;
      if (owner_.OnFile) owner_.OnFile(owner_, folder, entry);
      ++owner_.FileCount;
      total_ += size;
    }
  }

  TFileSize& owner_;
  const std::string& mask_;
  std::int64_t total_ = 0;
  std::set<FolderId> walked_;
};

}  // namespace

std::int64_t TFileSize::Measure() {
  DirCount = 0;
  FileCount = 0;
  std::string folder;
  std::string mask = Path;
  if (const auto slash = Path.rfind('/'); slash != std::string::npos) {
    mask = Path.substr(slash + 1);
    const auto end = Path.find_last_not_of('/', slash);
    folder = end == std::string::npos ? "/" : Path.substr(0, end + 1);
  }
  if (mask.empty()) return 0;
  Walker walker(*this, mask);
  walker.Start(folder);
  return walker.Total();
}

std::int64_t CalcFileSize(const std::string& Path) {
  TFileSize measure;
  measure.Path = Path;
  return measure.Measure();
}

std::int64_t SizeOfNamedFile(const std::string& Path) {
  struct stat st {};
  if (Path.empty() || stat(Path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return 0;
  return st.st_size;
}

}  // namespace support
