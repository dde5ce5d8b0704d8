#include "file_problem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quandel {

bool CanReadFile(const std::string& fileName) {
  struct stat info {};
  if (stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  // Asks for the right without opening the file: the load is the one open of it.
  return access(fileName.c_str(), R_OK) == 0;
}

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
