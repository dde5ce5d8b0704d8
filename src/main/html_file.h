#pragma once
// Where and how the control-list page is written.
#include <QSaveFile>
#include <QString>

#include <string_view>


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

// The page written line by line while it is rendered, so a long list is never held as lines
// in memory: into a temporary file beside `path` that Commit renames over it. Without Commit
// the earlier page stays whole. Failures throw std::runtime_error with
// "Datei "<path>" kann nicht erstellt werden. <reason>".
class TPageFile {
 public:
  explicit TPageFile(const QString& path);
  // Appends `line` and CR LF.
  void Write(std::string_view line);
  void Commit();

 private:
  QString path_;
  QSaveFile file_;
};

}  // namespace quandel
