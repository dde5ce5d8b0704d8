#include "file_system.h"

#include <sys/stat.h>

#include <cerrno>

namespace support {

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
    case ELOOP: return "Zu viele symbolische Verknüpfungen.";
    case EMFILE:
    case ENFILE: return "Zu viele offene Dateien.";
    case ENOMEM: return "Nicht genügend Arbeitsspeicher.";
    default: return "Systemfehler " + std::to_string(errorNumber) + ".";
  }
}

}  // namespace support
