#pragma once
// How the control-list page is written (where: page_folder.h).
#include <QString>

#include <string>
#include <string_view>

#include "atomic_file.h"

namespace quandel {

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
