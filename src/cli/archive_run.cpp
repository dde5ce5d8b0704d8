#include "archive_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "csv_export.h"
#include "json_export.h"
#include "numfmt.h"
#include "options.h"
#include "shown_text.h"
#include "system_error.h"
#include "umlauts.h"

namespace cli {

void TArchiveCounts::Add(TFileStatus status) {
  switch (status) {
    case TFileStatus::Ok: ++Ok; break;
    case TFileStatus::Discrepant: ++Discrepant; break;
    case TFileStatus::Unreadable: ++Unreadable; break;
    case TFileStatus::Skipped: ++Skipped; break;
    case TFileStatus::Vanished: ++Vanished; break;
  }
}

TFileStatus StatusOf(TPassedKind kind) {
  switch (kind) {
    case TPassedKind::Skipped: return TFileStatus::Skipped;
    case TPassedKind::Unreadable: return TFileStatus::Unreadable;
    case TPassedKind::Vanished: return TFileStatus::Vanished;
  }
  return TFileStatus::Skipped;
}

namespace {

bool StdoutIsStderrTerminal() {
  struct stat out {};
  struct stat err {};
  return ::isatty(STDOUT_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1 && ::fstat(STDOUT_FILENO, &out) == 0 &&
         ::fstat(STDERR_FILENO, &err) == 0 && out.st_rdev == err.st_rdev;
}

}  // namespace

TProgress::TProgress(std::ostream& err, bool show, std::size_t total)
    : err_(err), show_(show), total_(total), sharesTerminal_(show && StdoutIsStderrTerminal()) {}

void TProgress::Update(std::size_t done) {
  if (!show_) return;
  const auto now = std::chrono::steady_clock::now();
  if (done != total_ && drawn_ && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  drawn_ = true;
  constexpr std::size_t kWidth = 30;
  const std::size_t filled = total_ == 0 ? kWidth : done * kWidth / total_;
  err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
       << ombra::GroupedNumber(static_cast<std::int64_t>(done)) << " von "
       << ombra::GroupedNumber(static_cast<std::int64_t>(total_)) << " Dateien" << std::flush;
}

void TProgress::Clear() {
  if (drawn_) err_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
  drawn_ = false;
}

void TProgress::Print(TOutput& output, const std::string& line) {
  if (line.empty()) return;
  if (!sharesTerminal_) {
    output.Write(line);
    return;
  }
  Clear();
  output.Write(line);
  output.Flush();
}

TArchiveFile::TArchiveFile(const TCandidate& file) : file_(file) {
  if (file.Named) {
    // Read by its name whatever it holds; the size only for the catalogue.
    if (struct stat st{}; ::stat(file.Path.c_str(), &st) == 0) size_ = st.st_size;
    return;
  }
  fd_ = ::openat(file.Folder ? file.Folder->Fd() : AT_FDCWD, (file.Folder ? file.Name : file.Path).c_str(),
                 O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) {
    const int error = errno;
    if (error == ENOENT)
      Pass(TPassedKind::Vanished, kVanishedReason);
    else
      Pass(TPassedKind::Unreadable, support::GermanSystemError(error, support::TFileDeed::Read));
    return;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Pass(TPassedKind::Vanished, kReplacedReason);
    return;
  }
  size_ = st.st_size;
  std::string head;
  if (const int error = ReadDtausHead(fd_, head); error != 0) {
    Pass(TPassedKind::Unreadable, support::GermanSystemError(error, support::TFileDeed::Read));
    return;
  }
  if (!BytesStartLikeDtaus(head) &&
      !NamedLikeDtaus(file.Name.empty() ? file.Path.substr(file.Path.rfind('/') + 1) : file.Name))
    Pass(TPassedKind::Skipped, "keine DTAUS-Datei");
}

TArchiveFile::~TArchiveFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string TArchiveFile::ReadPath() const {
  static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
  return fd_ >= 0 && proc ? "/proc/self/fd/" + std::to_string(fd_) : file_.Path;
}

void TArchiveFile::Pass(TPassedKind kind, std::string reason) {
  passed_ = TPassed{file_.Path, kind, std::move(reason), 0};
}

std::string PassedText(const std::string& path, TPassedKind kind, const std::string& reason) {
  switch (kind) {
    case TPassedKind::Unreadable: return support::ShownText(path) + ": nicht lesbar: " + reason;
    case TPassedKind::Vanished: return support::ShownText(path) + ": verschwunden: " + reason;
    case TPassedKind::Skipped: return support::ShownText(path) + ": übersprungen: " + reason;
  }
  return {};
}

std::string ShownField(std::string_view cp1252) {
  return support::ShownCp1252(ombra::DecodeUmlauts(TrimTrailingBlanks(cp1252)));
}

std::string LoadProblem(const std::string& path, const ombra::TDtaus& doc) {
  if (!doc.LoadFailed()) return {};
  const std::string reason =
      support::ShownCp1252(doc.LoadError.empty() ? "Die Datei kann nicht gelesen werden" : doc.LoadError);
  const std::size_t read = doc.SatzCList.size();
  if (read == 0) return PassedText(path, TPassedKind::Unreadable, reason);
  return support::ShownText(path) + ": beschädigt, nur " +
         ombra::GroupedNumber(static_cast<std::int64_t>(read)) + (read == 1 ? " Zahlung" : " Zahlungen") +
         " gelesen: " + reason;
}

TFileStatus LoadArchiveFile(const TCandidate& file, ombra::TDtaus& doc, const ombra::TRegionalSettings& rs,
                            std::string& problem) {
  try {
    const TArchiveFile opened(file);
    if (const auto& passed = opened.Passed()) {
      problem = PassedText(passed->Path, passed->Kind, passed->Reason);
      return StatusOf(passed->Kind);
    }
    doc.Load(opened.ReadPath(), rs);
  } catch (const std::bad_alloc&) {
    // The file is reported; the other files are still read. Its payments are let go.
    std::vector<ombra::TSatzC>().swap(doc.SatzCList);
    problem = PassedText(file.Path, TPassedKind::Unreadable, kOutOfMemory);
    return TFileStatus::Unreadable;
  }
  problem = LoadProblem(file.Path, doc);
  return problem.empty() ? TFileStatus::Ok : TFileStatus::Unreadable;
}

void TArchiveTally::Passed(const TPassed& passed) {
  File(StatusOf(passed.Kind), PassedText(passed.Path, passed.Kind, passed.Reason));
}

void TArchiveTally::File(TFileStatus status, std::string problem) {
  Counts.Add(status);
  if (!problem.empty() && (status != TFileStatus::Skipped || verbose_))
    Problems.push_back(std::move(problem));
}

int FinishArchiveRun(TOutput& output, const std::vector<std::string>& problems, std::ostream& err,
                     int exitCode, const std::string& summary) {
  for (const auto& problem : problems) err << "quandel-cli: " << problem << "\n";
  if (!summary.empty()) err << summary << "\n";
  if (!output.Commit()) {
    err << "quandel-cli: " << output.Error() << "\n";
    return kExitUsage;
  }
  return exitCode;
}

unsigned DefaultJobs(std::vector<std::int64_t> sizes, std::uint64_t availableBytes, unsigned processors) {
  // A loaded file holds its payments and their texts, about its own size again, and the check
  // about as much once more: three times the file is a safe share.
  constexpr std::uint64_t kLoadFactor = 3;
  std::sort(sizes.begin(), sizes.end(), std::greater<>());
  unsigned jobs = 0;
  std::uint64_t needed = 0;
  for (const std::int64_t size : sizes) {
    if (jobs == processors) break;
    needed += kLoadFactor * static_cast<std::uint64_t>(std::max<std::int64_t>(size, 0));
    if (jobs > 0 && needed > availableBytes) break;
    ++jobs;
  }
  return std::max(1u, std::min(jobs, processors));
}

unsigned JobCount(unsigned requested, const TWalk& walk) {
  if (requested != 0) return requested;
  std::vector<std::int64_t> sizes;
  sizes.reserve(walk.Files.size());
  for (const auto& file : walk.Files) sizes.push_back(file.Size);
  const auto pages = ::sysconf(_SC_AVPHYS_PAGES);
  const auto pageSize = ::sysconf(_SC_PAGESIZE);
  const std::uint64_t available =
      pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize)
                                : 0;
  return DefaultJobs(std::move(sizes), available, std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace cli
