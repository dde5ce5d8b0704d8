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
  unsigned Jobs = 1;
};

// Adds every file not yet in the database (by path, size and content). Returns the exit code:
// 0 all in order, 1 a file with findings or unreadable, 2 a foreign database, an unreadable
// folder or a database that cannot be written (then left as it was). `err` gets the files
// that could not be read in full, the summary and, on a terminal, the progress.
int RunSqliteArchive(const TSqliteOptions& options, const ombra::TRegionalSettings& rs, std::ostream& err,
                     bool showProgress);

}  // namespace cli
