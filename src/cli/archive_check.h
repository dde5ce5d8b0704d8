#pragma once
// `check` over many files: folders walked, files checked in parallel, one line per file that
// is not in order (or one JSON object per file) and a German summary.
#include <ostream>
#include <string>
#include <vector>

#include "archive_run.h"
#include "bank_directory.h"
#include "folder_walk.h"
#include "regional.h"

namespace cli {

struct TFileVerdict {
  TFileStatus Status = TFileStatus::Skipped;
  std::string Line;  // UTF-8 with its line end; empty when nothing is to be printed
};

struct TArchiveOptions {
  bool Json = false;
  unsigned Jobs = 0;                             // 0: JobCount decides
  const ombra::TBankDirectory* Banks = nullptr;  // set: accounts are checked too
  bool Verbose = false;                          // text: skipped files are named too (JSON always names them)
};

// Checks one file; a folder's file that neither starts nor is named like a DTAUS file is
// skipped. Out of memory ends the file as unreadable, not the run.
TFileVerdict CheckOneFile(const TCandidate& file, const TArchiveOptions& options,
                          const ombra::TRegionalSettings& rs);

// "1.204 Dateien geprüft: 1.190 stimmig, 12 mit Abweichungen, 2 nicht lesbar, 37 übersprungen",
// then ", 3 verschwunden" when files vanished.
std::string SummaryLine(const TArchiveCounts& counts);

// The line (or JSON object) for an entry that is not checked, or not to the end; empty when
// nothing is to be printed (a skipped file without `Verbose`).
std::string PassedLine(const std::string& path, TPassedKind kind, const std::string& reason,
                       const TArchiveOptions& options);

// Returns the exit code: 0 all checked files in order, 1 any not or any file or folder that
// cannot be read, 2 output that cannot be written. `err` gets German messages and, on a
// terminal, the progress. `options.Jobs` 0 chooses JobCount.
int RunArchiveCheck(const std::vector<std::string>& paths, const TArchiveOptions& options,
                    const ombra::TRegionalSettings& rs, std::ostream& err, bool showProgress);

}  // namespace cli
