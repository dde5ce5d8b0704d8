#include "output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace cli {
namespace {

// Large enough that a control list of a million payments costs a few hundred system calls.
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

TOutput::TOutput(std::string path) : path_(std::move(path)) {}

TOutput::~TOutput() {
  if (ownsFd_ && fd_ >= 0) ::close(fd_);
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
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
  const std::filesystem::path folder = target.parent_path();
  std::string pattern =
      (folder.empty() ? std::string() : folder.string() + "/") + "." + target.filename().string() +
      ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) {
    Fail(what, errno);
    return false;
  }
  ownsFd_ = true;
  tempPath_ = name.data();
  // mkostemp creates the file private; the result gets the mode an ordinary new file (or the
  // file it replaces) would have.
  const mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
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
  tempPath_.clear();
  return true;
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string GermanSystemError(int errorNumber) {
  switch (errorNumber) {
    case ENOENT: return "Der Ordner ist nicht vorhanden.";
    case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner.";
    case EACCES:
    case EPERM: return "Zugriff verweigert.";
    case EISDIR: return "Das ist ein Ordner.";
    case EROFS: return "Der Datenträger ist schreibgeschützt.";
    case ENOSPC: return "Der Datenträger ist voll.";
    case EDQUOT: return "Das Speicherkontingent ist erschöpft.";
    case EPIPE: return "Der Empfänger hat die Verbindung beendet.";
    case ENAMETOOLONG: return "Der Name ist zu lang.";
    case EIO: return "Ein-/Ausgabefehler.";
    case EFBIG: return "Die Datei wird zu groß.";
    default: return "Systemfehler " + std::to_string(errorNumber) + ".";
  }
}

}  // namespace cli
