#include "file_problem.h"

#include <sys/stat.h>

#include <cerrno>

namespace quandel {

QString MissingFileText(const std::string& fileName, const QString& shownName) {
  struct stat info {};
  if (stat(fileName.c_str(), &info) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return {};
    return QStringLiteral("Die Datei „") + shownName + QStringLiteral("“ wurde nicht gefunden.");
  }
  if (S_ISDIR(info.st_mode))
    return QStringLiteral("„") + shownName + QStringLiteral("“ ist ein Ordner und keine Datei.");
  return {};
}

}  // namespace quandel
