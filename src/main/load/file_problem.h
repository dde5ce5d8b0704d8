#pragma once
// Whether a file can be read at all: a file that cannot has no size or time worth showing.
#include <QString>

#include <string>

namespace quandel {

// A regular file that opens for reading.
bool CanReadFile(const std::string& fileName);

// Why `fileName` names nothing that could be opened at all (nothing there, or a folder), in
// a German sentence naming it as `shownName`; empty when something is there to load, even if
// it cannot be read.
QString MissingFileText(const std::string& fileName, const QString& shownName);

}  // namespace quandel
