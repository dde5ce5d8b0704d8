#include "row_export.h"

#include "csv_export.h"
#include "file_system.h"
#include "system_error.h"
#include "xlsx_export.h"

namespace quandel {
namespace {

std::string SystemReason(int error) { return support::GermanSystemError(error, support::TFileDeed::Write) + "."; }

std::string WriteCsvExport(const TExportJob& job, support::TAtomicFile& target,
                           const std::function<bool(std::size_t)>& progress) {
  const auto write = [&target](std::string_view bytes) { target.Write(bytes); };
  if (!cli::WriteCsvRows(*job.Document, job.Regional, job.Rows, write, progress))
    return "Der Export wurde abgebrochen.";
  // The rows of a damaged file say so, as `quandel-cli csv --partial` writes them.
  if (job.Document->LoadFailed()) cli::WriteCsvDamageRow(*job.Document, job.Regional, write);
  return {};
}

std::string WriteXlsxExport(const TExportJob& job, support::TAtomicFile& target,
                            const std::function<bool(std::size_t)>& progress) {
  const std::string temporary = target.TempPath();
  // libxlsxwriter writes by name, beside the target: not into a pipe or device, nor where
  // the folder takes no new file.
  if (temporary.empty())
    return "Eine Arbeitsmappe lässt sich nur als gewöhnliche Datei in einen beschreibbaren Ordner schreiben.";
  cli::TXlsxContents contents;
  contents.FileName = job.SourceName;
  contents.Check = job.Check.get();
  contents.Rows = &job.Rows;
  contents.Progress = progress;
  std::string error;
  cli::WriteXlsx(*job.Document, temporary, contents, error);
  return error;
}

}  // namespace

std::string WriteExport(const TExportJob& job, support::TAtomicFile& target,
                        const std::function<bool(std::size_t)>& progress) {
  std::string error = job.Format == TExportFormat::Xlsx ? WriteXlsxExport(job, target, progress)
                                                        : WriteCsvExport(job, target, progress);
  if (!error.empty()) return error;
  if (const int closed = target.Close(); closed != 0) return SystemReason(closed);
  return {};
}

}  // namespace quandel
