#pragma once
// `quandel-cli sqlite -o ARCHIV.db PATH...`: an archive of DTAUS files in one SQLite database.
#include <ostream>
#include <string>
#include <vector>

#include "regional.h"

namespace cli {

struct TSqliteOptions {
  std::string Database;
  std::vector<std::string> Paths;
  unsigned Jobs = 0;     // 0: JobCount decides
  bool Verbose = false;  // skipped files named too
};

// Adds every file not yet in the database (by path, size and content). Returns the exit code:
// 0 all in order, 1 a file with findings or a file or folder unreadable, 2 a foreign database
// or a database that cannot be written (then left as it was). `err` gets the files and folders
// that could not be read in full (and with `Verbose` the skipped ones), the summary and, on a
// terminal, the progress.
int RunSqliteArchive(const TSqliteOptions& options, const ombra::TRegionalSettings& rs, std::ostream& err,
                     bool showProgress);

}  // namespace cli
