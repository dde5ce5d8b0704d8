#include "system_error.h"

#include <cerrno>

namespace support {

std::string GermanSystemError(int errorNumber, TFileDeed deed) {
  switch (errorNumber) {
    case ENOENT: return deed == TFileDeed::Read ? "Datei nicht gefunden" : "Der Ordner ist nicht vorhanden";
    case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner";
    case EACCES:
    case EPERM: return "Zugriff verweigert";
    case EISDIR: return "Ist ein Ordner";
    case EROFS: return "Der Datenträger ist schreibgeschützt";
    case ENOSPC: return "Der Datenträger ist voll";
    case EDQUOT: return "Das Speicherkontingent ist erschöpft";
    case EPIPE: return "Der Empfänger hat die Verbindung beendet";
    case ENAMETOOLONG: return "Dateiname zu lang";
    case EIO: return "Ein-/Ausgabefehler";
    case EFBIG: return "Die Datei wird zu groß";
    case ELOOP: return "Zu viele symbolische Verknüpfungen";
    case EMFILE:
    case ENFILE: return "Zu viele offene Dateien";
    case ENOMEM: return "Nicht genügend Arbeitsspeicher";
    default: return "Systemfehler " + std::to_string(errorNumber);
  }
}

}  // namespace support
