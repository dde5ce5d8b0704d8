#pragma once
// Where and how the control-list page is written.
#include <QString>

#include <string>
#include <string_view>

#include "atomic_file.h"

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

// Where the page for `input` goes: `preferred`, unless that is the input itself (a user
// showing the page file); then the cache folder's page. Throws like TPageFile when that is
// the input too.
QString PagePathBeside(const QString& preferred, const std::string& input);

// The page written line by line while it is rendered, so a long list is never held as lines
// in memory: into a new private temporary file beside `path` that Commit renames over it
// (support::TAtomicFile, which also removes it when a signal ends the program). Whatever
// stood at `path` (a link, a pipe) is replaced, never written through; the page holds
// payments and is readable by its owner only. Without Commit the earlier page stays whole.
// Failures throw std::runtime_error with "Datei "<path>" kann nicht erstellt werden. <reason>".
class TPageFile {
 public:
  explicit TPageFile(const QString& path);
  TPageFile(const TPageFile&) = delete;
  TPageFile& operator=(const TPageFile&) = delete;

  // Appends `line` and CR LF.
  void Write(std::string_view line);
  // Writes out and closes the temporary file, so that Commit only renames: a page written in
  // a worker is committed by the window, and only when it is still wanted.
  void Close();
  // With `replaced`, the page standing at `path` keeps a second name, written there (empty
  // when there was none): freeing a long page takes a while, which whoever commits may rather
  // spend elsewhere, removing that name.
  void Commit(std::string* replaced = nullptr);

 private:
  [[noreturn]] void Fail(int errorNumber);

  QString path_;
  support::TAtomicFile file_;
};

}  // namespace quandel
