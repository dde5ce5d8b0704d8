#pragma once
// Whether a name leads to anything that could be loaded.
#include <QString>

#include <string>

namespace quandel {

// Why `fileName` names nothing that could be opened at all (nothing there, or a folder), in
// a German sentence naming it as `shownName`; empty when something is there to load, even if
// it cannot be read.
QString MissingFileText(const std::string& fileName, const QString& shownName);

}  // namespace quandel
