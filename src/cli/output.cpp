#include "output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "file_system.h"

namespace cli {

using support::GermanSystemError;

namespace {

// Large enough that a control list of a million payments costs a few hundred system calls.
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// The temporary file being written, for the signal handlers: a run stopped by the user or the
// session must not leave a hidden copy of the payments behind.
std::atomic<const char*> pendingTemp{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);

extern "C" void RemoveTempAndStop(int signalNumber) {
  if (const char* temp = pendingTemp.load()) ::unlink(temp);
  // The handler was reset to the default on entry; the signal now ends the run as usual.
  ::raise(signalNumber);
}

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Holds the stop signals back for its lifetime; they arrive when it ends.
class TSignalsHeld {
 public:
  TSignalsHeld() {
    sigset_t set;
    ::sigemptyset(&set);
    for (const int signalNumber : kStopSignals) ::sigaddset(&set, signalNumber);
    ::sigprocmask(SIG_BLOCK, &set, &saved_);
  }
  ~TSignalsHeld() { ::sigprocmask(SIG_SETMASK, &saved_, nullptr); }
  TSignalsHeld(const TSignalsHeld&) = delete;
  TSignalsHeld& operator=(const TSignalsHeld&) = delete;

 private:
  sigset_t saved_{};
};

void RemoveTempOnSignals() {
  static const bool installed = [] {
    for (const int signalNumber : kStopSignals) {
      struct sigaction old {};
      // A signal the caller ignores (nohup) stays ignored.
      if (::sigaction(signalNumber, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
      struct sigaction action {};
      action.sa_handler = RemoveTempAndStop;
      action.sa_flags = static_cast<int>(SA_RESETHAND);
      ::sigemptyset(&action.sa_mask);
      ::sigaction(signalNumber, &action, nullptr);
    }
    return true;
  }();
  (void)installed;
}

// "." + name + ".XXXXXX" must fit in one directory entry; a long name is shortened there.
std::string TempPattern(const std::filesystem::path& target) {
  constexpr std::size_t kAround = 1 + 7;
  std::string name = target.filename().string();
  if (name.size() + kAround > NAME_MAX) name.resize(NAME_MAX - kAround);
  const std::filesystem::path folder = target.parent_path();
  return (folder.empty() ? std::string() : folder.string() + "/") + "." + name + ".XXXXXX";
}

}  // namespace

TOutput::TOutput(std::string path) : path_(std::move(path)) {}

TOutput::~TOutput() {
  if (ownsFd_ && fd_ >= 0) ::close(fd_);
  if (!tempPath_.empty()) {
    ::unlink(tempPath_.c_str());
    pendingTemp.store(nullptr);
  }
}

void TOutput::Fail(const std::string& what, int errorNumber) {
  if (failed_) return;
  failed_ = true;
  error_ = what + ": " + GermanSystemError(errorNumber);
}

bool TOutput::Open() {
  buffer_.reserve(kBufferSize);
  if (path_.empty()) {
    fd_ = STDOUT_FILENO;
    return true;
  }
  const std::string what = "Die Ausgabedatei " + path_ + " kann nicht geschrieben werden";
  struct stat st {};
  const bool exists = ::stat(path_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    Fail(what, EISDIR);
    return false;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    // Devices and pipes (/dev/null, a FIFO) are written in place; renaming over them would
    // replace the device node itself.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) {
      Fail(what, errno);
      return false;
    }
    ownsFd_ = true;
    return true;
  }

  // Through a symbolic link the file it points to is replaced, not the link.
  std::error_code ec;
  std::filesystem::path target = std::filesystem::path(path_);
  if (exists) {
    const auto resolved = std::filesystem::canonical(target, ec);
    if (!ec) target = resolved;
  }
  finalPath_ = target.string();
  const std::string pattern = TempPattern(target);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  RemoveTempOnSignals();
  {
    // Between creating the file and telling the handlers of it a signal would leave it behind.
    const TSignalsHeld held;
    // Created new and exclusively (O_EXCL), so nothing planted at the name is written through.
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
      Fail(what, errno);
      return false;
    }
    ownsFd_ = true;
    tempPath_ = name.data();
    pendingTemp.store(tempPath_.c_str());
  }
  // mkostemp creates the file private; the result gets the mode of the file it replaces, or
  // that of a new export of the user's own: never writable by others, whatever the umask.
  const mode_t mode = ownerOnly_ ? 0600 : exists ? (st.st_mode & 07777) : (0644 & ~CurrentUmask());
  if (::fchmod(fd_, mode) != 0) {
    Fail(what, errno);
    return false;
  }
  return true;
}

void TOutput::Write(std::string_view bytes) {
  if (bytes.size() >= kBufferSize) {
    // Already a large block: written as it is instead of copied first.
    Flush();
    WriteAll(bytes);
    return;
  }
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  buffer_.append(bytes);
}

void TOutput::Flush() {
  WriteAll(buffer_);
  buffer_.clear();
}

void TOutput::WriteAll(std::string_view bytes) {
  std::size_t done = 0;
  while (!failed_ && done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(path_.empty() ? std::string("Die Standardausgabe kann nicht geschrieben werden")
                         : "Die Ausgabedatei " + path_ + " kann nicht geschrieben werden",
           errno);
      break;
    }
    done += static_cast<std::size_t>(n);
  }
}

bool TOutput::Commit() {
  if (fd_ < 0) return false;
  Flush();
  if (failed_) return false;
  if (tempPath_.empty()) return true;
  const std::string what = "Die Ausgabedatei " + path_ + " kann nicht geschrieben werden";
  // Without fsync a crash after the rename could leave an empty file where the old one was.
  if (::fsync(fd_) != 0) {
    Fail(what, errno);
    return false;
  }
  const int closeResult = ::close(fd_);
  ownsFd_ = false;
  fd_ = -1;
  if (closeResult != 0) {
    Fail(what, errno);
    return false;
  }
  if (std::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
    Fail(what, errno);
    return false;
  }
  pendingTemp.store(nullptr);
  tempPath_.clear();
  return true;
}

}  // namespace cli
