#pragma once
// Where and how the control-list page is written.
#include <QString>

#include "dtaus.h"

namespace quandel {

// Beside the program when its folder can be written and is not a folder of installed programs
// (where root could write, but must not); otherwise in the user's cache folder, which is
// created when missing.
QString ChooseDtausHtmlPath(const QString& programDir);

// $XDG_CACHE_HOME/quandel/dtaus.html, or ~/.cache/quandel/dtaus.html when that is unset.
QString CacheDtausHtmlPath();

// The folder `cmake --install` puts the program in.
QString InstalledProgramDir();
// That folder or one of the system's own program folders.
bool IsSystemProgramDir(const QString& folder);

// Writes each line with CR LF to a temporary file beside `path` and then renames it over
// `path`, so a failed write leaves the earlier page whole. Throws std::runtime_error with
// "Datei "<path>" kann nicht erstellt werden. <reason>".
void SaveLines(const ombra::TLineList& lines, const QString& path);

}  // namespace quandel
