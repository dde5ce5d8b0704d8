#include "html_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

#include <stdexcept>

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
  for (const QString& system : {InstalledProgramDir(), QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin"),
                                QStringLiteral("/bin")})
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

TPageFile::TPageFile(const QString& path) : path_(path), file_(path) {
  if (!file_.open(QIODevice::WriteOnly)) ThrowCannotCreate(path_, file_.errorString());
}

void TPageFile::Write(std::string_view line) {
  file_.write(line.data(), static_cast<qint64>(line.size()));
  file_.write("\r\n", 2);
}

// A failed write is remembered by the file and makes the commit fail.
void TPageFile::Commit() {
  if (!file_.commit()) ThrowCannotCreate(path_, file_.errorString());
}

}  // namespace quandel
