#include "html_file.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <stdexcept>

#include "file_system.h"

namespace quandel {
namespace {

const QString kPageName = QStringLiteral("dtaus.html");
// A long list is written in few system calls.
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

bool CanWriteIn(const QString& folder) {
  return !folder.isEmpty() && access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

[[noreturn]] void ThrowCannotCreate(const QString& path, const QString& reason) {
  const QString message = QStringLiteral("Datei \"%1\" kann nicht erstellt werden. %2")
                              .arg(QDir::cleanPath(QFileInfo(path).absoluteFilePath()), reason);
  throw std::runtime_error(message.toStdString());
}

}  // namespace

QString InstalledProgramDir() { return QStringLiteral(QUANDEL_INSTALL_BINDIR); }

bool IsSystemProgramDir(const QString& folder) {
  const QString clean = QDir::cleanPath(folder);
  for (const QString& system : {InstalledProgramDir(), QStringLiteral("/usr/bin"),
                                QStringLiteral("/usr/local/bin"), QStringLiteral("/bin")})
    if (clean == QDir::cleanPath(system)) return true;
  return false;
}

QString CacheDtausHtmlPath() {
  QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
  // Relative values are to be ignored, as the base-directory rules say.
  if (cache.isEmpty() || QDir::isRelativePath(cache)) cache = QDir::homePath() + QStringLiteral("/.cache");
  const QString folder = QDir::cleanPath(cache + QStringLiteral("/quandel"));
  QDir().mkpath(folder);
  return folder + QLatin1Char('/') + kPageName;
}

QString ChooseDtausHtmlPath(const QString& programDir) {
  const QString folder = QDir::cleanPath(programDir);
  if (!IsSystemProgramDir(folder) && CanWriteIn(folder)) return folder + QLatin1Char('/') + kPageName;
  return CacheDtausHtmlPath();
}

QString PagePathBeside(const QString& preferred, const std::string& input) {
  if (!support::IsSameFile(QFile::encodeName(preferred).toStdString(), input)) return preferred;
  const QString cache = CacheDtausHtmlPath();
  if (!support::IsSameFile(QFile::encodeName(cache).toStdString(), input)) return cache;
  ThrowCannotCreate(cache, QStringLiteral("Das ist die angezeigte Datei selbst."));
}

TPageFile::TPageFile(const QString& path) : path_(path) {
  const std::string target = QFile::encodeName(path).toStdString();
  const auto slash = target.rfind('/');
  std::string pattern = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." +
                        target.substr(slash == std::string::npos ? 0 : slash + 1) + ".XXXXXX";
  // Created new and exclusively, with mode 600: nothing planted at the name is followed.
  fd_ = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) Fail(errno);
  tempPath_ = pattern;
  if (fchmod(fd_, 0600) != 0) Fail(errno);
  buffer_.reserve(kBufferSize);
}

TPageFile::~TPageFile() {
  if (fd_ >= 0) close(fd_);
  if (!tempPath_.empty()) unlink(tempPath_.c_str());
}

void TPageFile::Fail(int errorNumber) {
  ThrowCannotCreate(path_, QString::fromUtf8(support::GermanSystemError(errorNumber)));
}

void TPageFile::Write(std::string_view line) {
  if (buffer_.size() + line.size() + 2 > kBufferSize) Flush();
  buffer_.append(line);
  buffer_.append("\r\n");
}

// A failed write is remembered and makes the commit fail.
void TPageFile::Flush() {
  for (std::size_t done = 0; writeError_ == 0 && done < buffer_.size();) {
    const ssize_t n = write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno != EINTR) writeError_ = errno;
    if (n > 0) done += static_cast<std::size_t>(n);
  }
  buffer_.clear();
}

void TPageFile::Close() {
  if (fd_ < 0) return;
  Flush();
  if (writeError_ != 0) Fail(writeError_);
  // Without fsync a crash after the rename could leave an empty page.
  if (fsync(fd_) != 0) Fail(errno);
  const int closed = close(fd_);
  fd_ = -1;
  if (closed != 0) Fail(errno);
}

void TPageFile::Commit(std::string* replaced) {
  Close();
  const QByteArray target = QFile::encodeName(path_);
  std::string kept;
  // Nothing stands there, or nothing that takes a second name: nothing is kept.
  if (replaced != nullptr && link(target.constData(), (tempPath_ + ".alt").c_str()) == 0)
    kept = tempPath_ + ".alt";
  // Replaces the entry itself: a link or a pipe standing there is not followed.
  if (rename(tempPath_.c_str(), target.constData()) != 0) {
    const int error = errno;
    if (!kept.empty()) unlink(kept.c_str());
    Fail(error);
  }
  tempPath_.clear();
  if (replaced != nullptr) *replaced = std::move(kept);
}

}  // namespace quandel
