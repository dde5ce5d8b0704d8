#include "file_problem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quandel {

QString FileProblemText(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return QStringLiteral("Datei nicht gefunden");
    case EACCES:
    case EPERM: return QStringLiteral("Zugriff verweigert");
    case EISDIR: return QStringLiteral("ist ein Ordner");
    case ENAMETOOLONG: return QStringLiteral("Dateiname zu lang");
    case ELOOP: return QStringLiteral("zu viele symbolische Verknüpfungen");
    default: return QStringLiteral("Datei kann nicht gelesen werden (Fehler %1)").arg(error);
  }
}

std::optional<QString> FileProblem(const std::string& fileName) {
  struct stat info {};
  if (stat(fileName.c_str(), &info) != 0) return FileProblemText(errno);
  if (S_ISDIR(info.st_mode)) return FileProblemText(EISDIR);
  // Opened without following the file's content: a device or pipe is not waited for.
  const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return FileProblemText(errno);
  close(fd);
  return std::nullopt;
}

}  // namespace quandel
