#include "page_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <stdexcept>

#include "file_system.h"
#include "system_error.h"

namespace quandel {
namespace {

const QString kPageName = QStringLiteral("dtaus.html");

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// A sentence of its own in the messages, so it ends with a full stop.
QString SystemReason(int errorNumber) {
  return QString::fromStdString(support::GermanSystemError(errorNumber, support::TFileDeed::Write) + ".");
}

// Only an absolute value counts, as the base-directory rules say.
QString AbsoluteEnv(const char* name) {
  const QString value = qEnvironmentVariable(name);
  return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

// Why `folder` cannot take a file, or nothing when it can.
std::optional<QString> CannotWriteIn(const QString& folder) {
  struct stat st {};
  if (stat(Native(folder).constData(), &st) != 0) return SystemReason(errno);
  if (!S_ISDIR(st.st_mode)) return SystemReason(ENOTDIR);
  if (access(Native(folder).constData(), W_OK | X_OK) != 0) return SystemReason(errno);
  return std::nullopt;
}

// Creates `folder` and the folders above it that are missing; the reason of the first that
// cannot be made, so a read-only folder says so and not that something is missing.
std::optional<QString> MakeFolders(const QString& folder) {
  for (qsizetype at = folder.indexOf(QLatin1Char('/'), 1); at != -1;
       at = folder.indexOf(QLatin1Char('/'), at + 1))
    if (mkdir(Native(folder.left(at)).constData(), 0777) != 0 && errno != EEXIST) return SystemReason(errno);
  if (mkdir(Native(folder).constData(), 0777) != 0 && errno != EEXIST) return SystemReason(errno);
  return CannotWriteIn(folder);
}

// Made with mode 700 when missing; one that exists must be a real folder of this user's that
// nobody else may enter, or a page of payments could be read or swapped by another user.
std::optional<QString> MakePrivateFolder(const QString& folder) {
  if (mkdir(Native(folder).constData(), 0700) != 0 && errno != EEXIST) return SystemReason(errno);
  struct stat st {};
  if (lstat(Native(folder).constData(), &st) != 0) return SystemReason(errno);
  if (S_ISLNK(st.st_mode)) return QStringLiteral("Der Ordner ist eine Verknüpfung.");
  if (!S_ISDIR(st.st_mode)) return SystemReason(ENOTDIR);
  if (st.st_uid != geteuid()) return QStringLiteral("Der Ordner gehört einem anderen Benutzer.");
  if ((st.st_mode & 07777) != 0700)
    return QStringLiteral("Der Ordner ist nicht privat (Zugriffsrechte %1 statt 700).")
        .arg(st.st_mode & 07777, 3, 8, QLatin1Char('0'));
  return CannotWriteIn(folder);
}

std::optional<QString> Prepare(const TPageFolder& folder) {
  switch (folder.Kind) {
    case TPageFolderKind::Program: return CannotWriteIn(folder.Path);
    case TPageFolderKind::Cache: return MakeFolders(folder.Path);
    case TPageFolderKind::Private: return MakePrivateFolder(folder.Path);
  }
  return std::nullopt;
}

}  // namespace

bool IsInstalledProgramDir(const QString& folder) {
  const QString clean = QDir::cleanPath(folder);
  for (const char* system : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/sbin", "/usr/local/sbin", "/sbin"})
    if (clean == QLatin1String(system)) return true;
  // Where the install put the program, it put the desktop entry in the data folder beside,
  // at the same distance whatever prefix it was given; a build folder holds none.
  const QString entry = clean + QStringLiteral("/" QUANDEL_DATA_FROM_BIN "/applications/quandel.desktop");
  return QFileInfo(entry).isFile();
}

QString CacheFolder() {
  QString cache = AbsoluteEnv("XDG_CACHE_HOME");
  if (cache.isEmpty()) {
    // Without a home of its own the user has no cache folder: never "/.cache".
    const QString home = AbsoluteEnv("HOME");
    if (home.isEmpty()) return {};
    cache = home + QStringLiteral("/.cache");
  }
  return QDir::cleanPath(cache + QStringLiteral("/quandel"));
}

std::vector<TPageFolder> PageFolders(const QString& programDir) {
  std::vector<TPageFolder> folders;
  const QString program = QDir::cleanPath(programDir);
  if (!programDir.isEmpty() && !IsInstalledProgramDir(program))
    folders.push_back({program, TPageFolderKind::Program});
  if (const QString cache = CacheFolder(); !cache.isEmpty())
    folders.push_back({cache, TPageFolderKind::Cache});
  if (const QString runtime = AbsoluteEnv("XDG_RUNTIME_DIR"); !runtime.isEmpty())
    folders.push_back({runtime + QStringLiteral("/quandel"), TPageFolderKind::Private});
  // Shared with every user: the user's number keeps the name apart from theirs.
  QString temp = AbsoluteEnv("TMPDIR");
  if (temp.isEmpty()) temp = QStringLiteral("/tmp");
  folders.push_back({temp + QStringLiteral("/quandel-%1").arg(geteuid()), TPageFolderKind::Private});
  return folders;
}

QString PreparePagePath(const std::vector<TPageFolder>& folders, const std::string& input) {
  // The page and why it could not go there: of the first folder that failed, unless that was
  // only the program folder, which need not be writable; the page just goes elsewhere then.
  std::optional<std::pair<QString, QString>> problem;
  std::optional<std::pair<QString, QString>> programProblem;
  for (const TPageFolder& folder : folders) {
    const QString page = folder.Path + QLatin1Char('/') + kPageName;
    std::optional<QString> reason = Prepare(folder);
    if (!reason && !input.empty() && support::IsSameFile(Native(page).toStdString(), input))
      reason = QStringLiteral("Das ist die angezeigte Datei selbst.");
    if (!reason) return page;
    auto& noted = folder.Kind == TPageFolderKind::Program ? programProblem : problem;
    if (!noted) noted = {page, *reason};
  }
  const auto [page, reason] = problem ? *problem : programProblem.value_or(std::pair{kPageName, QString()});
  throw std::runtime_error(QStringLiteral("Datei \"%1\" kann nicht erstellt werden. %2")
                               .arg(QDir::cleanPath(QFileInfo(page).absoluteFilePath()), reason)
                               .toStdString());
}

}  // namespace quandel
