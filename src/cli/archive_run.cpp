#include "archive_run.h"

#include "cp1252.h"
#include "json_export.h"
#include "numfmt.h"
#include "options.h"

namespace cli {

void TArchiveCounts::Add(TFileStatus status) {
  switch (status) {
    case TFileStatus::Ok: ++Ok; break;
    case TFileStatus::Discrepant: ++Discrepant; break;
    case TFileStatus::Unreadable: ++Unreadable; break;
    case TFileStatus::Skipped: ++Skipped; break;
  }
}

void TProgress::Update(std::size_t done) {
  if (!show_) return;
  const auto now = std::chrono::steady_clock::now();
  if (done != total_ && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  constexpr std::size_t kWidth = 30;
  const std::size_t filled = total_ == 0 ? kWidth : done * kWidth / total_;
  err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
       << ombra::GroupedNumber(static_cast<std::int64_t>(done)) << " von "
       << ombra::GroupedNumber(static_cast<std::int64_t>(total_)) << " Dateien" << std::flush;
}

void TProgress::Clear() {
  if (show_) err_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
}

bool IsSkipped(const TCandidate& file) { return !file.Named && StartsLikeDtaus(file.Path) == TSniff::Other; }

std::string LoadProblem(const std::string& path, const ombra::TDtaus& doc) {
  if (!doc.LoadFailed()) return {};
  const std::string reason =
      support::Cp1252ToUtf8(doc.LoadError.empty() ? "Die Datei kann nicht gelesen werden" : doc.LoadError);
  const std::size_t read = doc.SatzCList.size();
  if (read == 0) return FileNameToUtf8(path) + ": nicht lesbar: " + reason;
  return FileNameToUtf8(path) + ": beschädigt, nur " + ombra::GroupedNumber(static_cast<std::int64_t>(read)) +
         (read == 1 ? " Zahlung" : " Zahlungen") + " gelesen: " + reason;
}

TFileStatus LoadArchiveFile(const TCandidate& file, ombra::TDtaus& doc, const ombra::TRegionalSettings& rs,
                            std::string& problem) {
  if (IsSkipped(file)) return TFileStatus::Skipped;
  doc.Load(file.Path, rs);
  problem = LoadProblem(file.Path, doc);
  return problem.empty() ? TFileStatus::Ok : TFileStatus::Unreadable;
}

int FinishArchiveRun(TOutput& output, const TWalk& walk, const std::vector<std::string>& problems,
                     std::ostream& err, int exitCode, const std::string& summary) {
  for (const auto& problem : problems) err << "quandel-cli: " << problem << "\n";
  for (const auto& error : walk.Errors) err << "quandel-cli: " << error << "\n";
  if (!summary.empty()) err << summary << "\n";
  if (!output.Commit()) {
    err << "quandel-cli: " << output.Error() << "\n";
    return kExitUsage;
  }
  return walk.Errors.empty() ? exitCode : kExitUsage;
}

}  // namespace cli

namespace cli {

unsigned JobCount(unsigned requested) {
  return requested != 0 ? requested : std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace cli
