#include "html_file.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

#include <stdexcept>

#include "file_system.h"
#include "system_error.h"

namespace quandel {
namespace {

const QString kPageName = QStringLiteral("dtaus.html");
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

TPageFile::TPageFile(const QString& path)
    : path_(path), file_(QFile::encodeName(path).toStdString(), 0600, support::TTarget::ReplaceEntry) {
  if (const int error = file_.Open()) Fail(error);
}

void TPageFile::Fail(int errorNumber) {
  ThrowCannotCreate(
      path_, QString::fromUtf8(support::GermanSystemError(errorNumber, support::TFileDeed::Write) + "."));
}

void TPageFile::Write(std::string_view line) {
  file_.Write(line);
  file_.Write("\r\n");
}

// A failed write is remembered and makes the close fail.
void TPageFile::Close() {
  if (const int error = file_.Close()) Fail(error);
}

void TPageFile::Commit(std::string* replaced) {
  if (const int error = file_.Commit(replaced)) Fail(error);
}

}  // namespace quandel
