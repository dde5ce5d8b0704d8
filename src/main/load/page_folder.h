#pragma once
// Which folder takes the control-list page `dtaus.html`.
#include <QString>

#include <string>
#include <vector>

namespace quandel {

enum class TPageFolderKind {
  // Beside the program: used only when the folder can already be written.
  Program,
  // The user's cache folder: created when missing.
  Cache,
  // A folder of the user's own under $XDG_RUNTIME_DIR or the temporary folder: created with
  // mode 700 when missing, refused when someone else owns it or others may enter it.
  Private,
};

struct TPageFolder {
  QString Path;
  TPageFolderKind Kind;
};

// The folders the page may go to, best first: beside the program when that is not a folder
// of installed programs, then the cache folder, then the private folders. Reads the
// environment, so the window's thread asks and hands the answer to the loader.
std::vector<TPageFolder> PageFolders(const QString& programDir);

// $XDG_CACHE_HOME/quandel, or ~/.cache/quandel; empty without an absolute folder to start from.
QString CacheFolder();

// A folder of installed programs: one of the system's own, or the program folder of an
// install under any prefix, which the desktop entry in the data folder beside it betrays.
// Root could write there, but no page belongs among the programs.
bool IsInstalledProgramDir(const QString& folder);

// The page's path in the first of `folders` that can hold it, creating that folder as its
// kind allows, and where the page would not replace `input` (a user showing the page file
// itself). Touches only the file system, never the environment. Throws std::runtime_error
// "Datei "<path>" kann nicht erstellt werden. <reason>" naming the first folder that failed
// and why, when none will do.
QString PreparePagePath(const std::vector<TPageFolder>& folders, const std::string& input = {});

}  // namespace quandel
