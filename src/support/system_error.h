#pragma once
// Why a file operation failed, in German, for the viewer and the command-line tool alike.
#include <string>

namespace support {

// What was being done when the system refused: a missing entry is a missing file to a reader
// and a missing folder to a writer, who is about to create the file.
enum class TFileDeed { Read, Write };

// The reason for an errno value, UTF-8, without a closing full stop: it follows a colon or a
// dash, and a caller ending a sentence with it adds the stop.
std::string GermanSystemError(int errorNumber, TFileDeed deed);

}  // namespace support
