#pragma once
// `check` over many files: folders walked, files checked in parallel, one line per file that
// is not in order (or one JSON object per file) and a German summary.
#include <ostream>
#include <string>
#include <vector>

#include "bank_directory.h"
#include "folder_walk.h"
#include "regional.h"

namespace cli {

enum class TFileStatus { Ok, Discrepant, Unreadable, Skipped, Vanished };

struct TFileVerdict {
  TFileStatus Status = TFileStatus::Skipped;
  std::string Line;  // UTF-8 with its line end; empty when nothing is to be printed
};

struct TArchiveOptions {
  bool Json = false;
  unsigned Jobs = 1;
  const ombra::TBankDirectory* Banks = nullptr;  // set: accounts are checked too
  bool Verbose = false;                          // text: skipped files are named too (JSON always names them)
};

// Checks one file; a folder's file that neither starts nor is named like a DTAUS file is
// skipped. Out of memory ends the file as unreadable, not the run.
TFileVerdict CheckOneFile(const TCandidate& file, const TArchiveOptions& options,
                          const ombra::TRegionalSettings& rs);

struct TArchiveCounts {
  std::int64_t Ok = 0;
  std::int64_t Discrepant = 0;
  std::int64_t Unreadable = 0;
  std::int64_t Skipped = 0;
  std::int64_t Vanished = 0;  // gone between listing and reading: no fault of the archive's
};

// "1.204 Dateien geprüft: 1.190 stimmig, 12 mit Abweichungen, 2 nicht lesbar, 37 übersprungen",
// then ", 3 verschwunden" when files vanished.
std::string SummaryLine(const TArchiveCounts& counts);

// The line (or JSON object) for an entry that is not checked, or not to the end; empty when
// nothing is to be printed (a skipped file without `Verbose`).
std::string PassedLine(const std::string& path, TPassedKind kind, const std::string& reason,
                       const TArchiveOptions& options);

// Files checked at once when --jobs is not given: one per processor, but no more than the
// biggest files fit into `availableBytes` together (a loaded file takes a few times its size).
unsigned DefaultJobs(std::vector<std::int64_t> sizes, std::uint64_t availableBytes, unsigned processors);

// Returns the exit code: 0 all checked files in order, 1 any not or any file or folder that
// cannot be read, 2 output that cannot be written. `err` gets German messages and, on a
// terminal, the progress. `options.Jobs` 0 chooses DefaultJobs.
int RunArchiveCheck(const std::vector<std::string>& paths, const TArchiveOptions& options,
                    const ombra::TRegionalSettings& rs, std::ostream& err, bool showProgress);

}  // namespace cli
