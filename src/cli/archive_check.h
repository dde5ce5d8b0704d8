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
  unsigned Jobs = 1;
  const ombra::TBankDirectory* Banks = nullptr;  // set: accounts are checked too
};

// Checks one file; a folder's file that does not start like a DTAUS file is skipped.
TFileVerdict CheckOneFile(const TCandidate& file, const TArchiveOptions& options,
                          const ombra::TRegionalSettings& rs);

// "1.204 Dateien geprüft: 1.190 stimmig, 12 mit Abweichungen, 2 nicht lesbar, 37 übersprungen"
std::string SummaryLine(const TArchiveCounts& counts);

// Returns the exit code: 0 all checked files in order, 1 any not, 2 an unreadable folder or
// output that cannot be written. `err` gets German messages and, on a terminal, the progress.
int RunArchiveCheck(const std::vector<std::string>& paths, const TArchiveOptions& options,
                    const ombra::TRegionalSettings& rs, std::ostream& err, bool showProgress);

}  // namespace cli
