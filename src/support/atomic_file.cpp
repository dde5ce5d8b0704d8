#include "atomic_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace support {
namespace {

// Large enough that a control list of a million payments costs a few hundred system calls.
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

// ---- The temporary files a signal must remove -------------------------------------------
// Fixed slots, so the handler touches no heap: it reads a state, a folder descriptor and a
// name of at most NAME_MAX bytes, and calls unlinkat, which is async-signal-safe.
struct TSlot {
  std::atomic<int> State{0};  // 0 free, 1 being filled, 2 holds a file to remove
  int FolderFd = -1;
  char Name[NAME_MAX + 1] = {};
};
constexpr int kSlots = 64;
TSlot slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free);

// Every signal whose default action ends the process, except SIGKILL and SIGSTOP, which
// cannot be caught; the real-time signals are added at run time.
constexpr int kFixedSignals[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,
                                 SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU,
                                 SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSYS};

const std::vector<int>& AllRemovalSignals() {
  static const std::vector<int> signals = [] {
    std::vector<int> list(std::begin(kFixedSignals), std::end(kFixedSignals));
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) list.push_back(s);
    return list;
  }();
  return signals;
}

extern "C" void RemoveTemporaryFiles(int signalNumber) {
  for (TSlot& slot : slots)
    if (slot.State.load() == 2) ::unlinkat(slot.FolderFd, slot.Name, 0);
  // SA_RESETHAND restored the default action on entry (set again for runtimes that wrap the
  // handlers, as the sanitizers do); the signal, blocked while the handler runs, then ends the
  // process as it would have without us.
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

void InstallHandlers() {
  static const bool installed = [] {
    for (const int signalNumber : AllRemovalSignals()) {
      struct sigaction old {};
      // Only default actions are replaced: an ignored signal (nohup, the CLI's SIGPIPE) stays
      // ignored, and a handler of someone else's (a sanitizer's) stays in charge.
      if (::sigaction(signalNumber, nullptr, &old) != 0 || old.sa_handler != SIG_DFL ||
          (old.sa_flags & SA_SIGINFO) != 0)
        continue;
      struct sigaction action {};
      action.sa_handler = RemoveTemporaryFiles;
      action.sa_flags = static_cast<int>(SA_RESETHAND);
      ::sigemptyset(&action.sa_mask);
      ::sigaction(signalNumber, &action, nullptr);
    }
    return true;
  }();
  (void)installed;
}

// Holds the removal signals back in this thread for its lifetime: between creating a file and
// entering it in the registry, a signal would leave it behind.
class TSignalsHeld {
 public:
  TSignalsHeld() {
    sigset_t set;
    ::sigemptyset(&set);
    for (const int signalNumber : AllRemovalSignals()) ::sigaddset(&set, signalNumber);
    ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
  }
  ~TSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
  TSignalsHeld(const TSignalsHeld&) = delete;
  TSignalsHeld& operator=(const TSignalsHeld&) = delete;

 private:
  sigset_t saved_{};
};

int Register(int folderFd, const std::string& name) {
  for (int i = 0; i < kSlots; ++i) {
    int expected = 0;
    if (!slots[i].State.compare_exchange_strong(expected, 1)) continue;
    slots[i].FolderFd = folderFd;
    name.copy(slots[i].Name, NAME_MAX);
    slots[i].Name[std::min<std::size_t>(name.size(), NAME_MAX)] = '\0';
    slots[i].State.store(2);
    return i;
  }
  return -1;
}

void Unregister(int& slot) {
  if (slot >= 0) slots[slot].State.store(0);
  slot = -1;
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// Follows symbolic links to the name of the file they lead to, which need not exist.
int ResolveLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISLNK(st.st_mode)) return 0;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) return errno;
    target.resize(static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    path =
        target.starts_with('/') || slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
  }
  return ELOOP;
}

// "." + name + "." + six random characters, shortened to fit one directory entry.
std::string TemporaryName(const std::string& target) {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  constexpr std::size_t kAround = 1 + 7;
  std::string name = "." + target.substr(0, std::min(target.size(), NAME_MAX - kAround)) + ".";
  unsigned char random[6] = {};
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
    for (auto& r : random) r = static_cast<unsigned char>(std::rand());
  for (const unsigned char r : random) name += kChars[r % (sizeof kChars - 1)];
  return name;
}

}  // namespace

const int* RemovalSignals(std::size_t& count) {
  count = AllRemovalSignals().size();
  return AllRemovalSignals().data();
}

TAtomicFile::TAtomicFile(std::string path, mode_t newFileMode, TTarget target)
    : path_(std::move(path)), newFileMode_(newFileMode), target_(target) {}

TAtomicFile::~TAtomicFile() {
  if (ownsFd_ && fd_ >= 0) ::close(fd_);
  if (!tempName_.empty()) ::unlinkat(folderFd_, tempName_.c_str(), 0);
  Unregister(slot_);
  if (folderFd_ >= 0) ::close(folderFd_);
}

int TAtomicFile::Fail(int errorNumber) {
  if (error_ == 0) error_ = errorNumber;
  return error_;
}

int TAtomicFile::Open() {
  buffer_.reserve(kBufferSize);
  if (path_.empty()) {
    fd_ = STDOUT_FILENO;
    mode_ = TMode::Stream;
    return 0;
  }
  std::string target = path_;
  if (target_ == TTarget::AsNamed)
    if (const int error = ResolveLinks(target)) return Fail(error);
  const auto slash = target.rfind('/');
  folder_ = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  targetName_ = slash == std::string::npos ? target : target.substr(slash + 1);
  if (targetName_.empty() || targetName_ == "." || targetName_ == "..") return Fail(EISDIR);
  // O_PATH: a folder that may be searched but not listed still takes the file.
  folderFd_ = ::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folderFd_ < 0) return Fail(errno);

  struct stat st {};
  const bool exists = ::fstatat(folderFd_, targetName_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT) return Fail(errno);
  if (exists && S_ISDIR(st.st_mode)) return Fail(EISDIR);
  const bool replaceEntry = target_ == TTarget::ReplaceEntry;
  if (exists && !S_ISREG(st.st_mode) && !replaceEntry) {
    fd_ = ::openat(folderFd_, targetName_.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd_ < 0) return Fail(errno);
    ownsFd_ = true;
    mode_ = TMode::Stream;
    return 0;
  }
  finalMode_ = ownerOnly_     ? 0600
               : replaceEntry ? newFileMode_
               : exists       ? (st.st_mode & 07777)
                              : (newFileMode_ & ~CurrentUmask());

  InstallHandlers();
  const TSignalsHeld held;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = TemporaryName(targetName_);
    fd_ = ::openat(folderFd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ >= 0) {
      ownsFd_ = true;
      tempName_ = name;
      slot_ = Register(folderFd_, tempName_);
      mode_ = TMode::Temporary;
      // Without a free slot a signal could leave the file behind: refused rather than risked.
      return slot_ >= 0 ? 0 : Fail(EMFILE);
    }
    if (errno == EEXIST) continue;
    // A file we may write in a folder we may not: written in place once all is ready.
    if (exists && !replaceEntry && (errno == EACCES || errno == EPERM) &&
        ::faccessat(folderFd_, targetName_.c_str(), W_OK, 0) == 0) {
      mode_ = TMode::AtCommit;
      return 0;
    }
    return Fail(errno);
  }
  return Fail(EEXIST);
}

std::string TAtomicFile::TempPath() const {
  return mode_ == TMode::Temporary && !tempName_.empty() ? folder_ + "/" + tempName_ : std::string();
}

void TAtomicFile::Write(std::string_view bytes) {
  if (mode_ == TMode::AtCommit) {
    buffer_.append(bytes);
    return;
  }
  if (bytes.size() >= kBufferSize) {
    // Already a large block: written as it is instead of copied first.
    Flush();
    WriteAll(bytes);
    return;
  }
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  buffer_.append(bytes);
}

void TAtomicFile::Flush() {
  if (mode_ == TMode::AtCommit) return;
  WriteAll(buffer_);
  buffer_.clear();
}

void TAtomicFile::WriteAll(std::string_view bytes) {
  std::size_t done = 0;
  while (error_ == 0 && done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno != EINTR) Fail(errno);
      continue;
    }
    done += static_cast<std::size_t>(n);
  }
}

int TAtomicFile::Close() {
  if (mode_ != TMode::Temporary || fd_ < 0) return error_;
  Flush();
  if (error_ != 0) return error_;
  if (::fchmod(fd_, finalMode_) != 0) return Fail(errno);
  // Without fsync a crash after the rename could leave an empty file where the old one was.
  if (::fsync(fd_) != 0) return Fail(errno);
  const int closed = ::close(fd_);
  ownsFd_ = false;
  fd_ = -1;
  return closed != 0 ? Fail(errno) : 0;
}

int TAtomicFile::Commit(std::string* replaced) {
  if (replaced != nullptr) replaced->clear();
  switch (mode_) {
    case TMode::Closed: return error_ != 0 ? error_ : Fail(EBADF);
    case TMode::Stream: Flush(); return error_;
    case TMode::AtCommit: {
      fd_ = ::openat(folderFd_, targetName_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
      if (fd_ < 0) return Fail(errno);
      ownsFd_ = true;
      WriteAll(buffer_);
      buffer_.clear();
      if (error_ != 0) return error_;
      if (::fsync(fd_) != 0) return Fail(errno);
      const int closed = ::close(fd_);
      ownsFd_ = false;
      fd_ = -1;
      if (closed != 0) return Fail(errno);
      break;
    }
    case TMode::Temporary: {
      if (Close() != 0) return error_;
      // Nothing stands there, or nothing that takes a second name: nothing is kept.
      const std::string kept = tempName_ + ".alt";
      const bool keep =
          replaced != nullptr && ::linkat(folderFd_, targetName_.c_str(), folderFd_, kept.c_str(), 0) == 0;
      if (::renameat(folderFd_, tempName_.c_str(), folderFd_, targetName_.c_str()) != 0) {
        const int error = errno;
        if (keep) ::unlinkat(folderFd_, kept.c_str(), 0);
        return Fail(error);
      }
      tempName_.clear();
      Unregister(slot_);
      if (keep) *replaced = folder_ + "/" + kept;
      break;
    }
  }
  mode_ = TMode::Closed;
  return 0;
}

}  // namespace support
