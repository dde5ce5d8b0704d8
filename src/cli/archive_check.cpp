#include "archive_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <new>
#include <optional>
#include <thread>

#include "check.h"
#include "cp1252.h"
#include "json_export.h"
#include "options.h"
#include "output.h"
#include "shown_text.h"

namespace cli {
namespace {

using ombra::TFindingKind;
using ombra::TSeverity;

const char* KindName(TFindingKind kind) {
  switch (kind) {
    case TFindingKind::FieldCheck: return "field";
    case TFindingKind::Count: return "count";
    case TFindingKind::Total: return "total";
    case TFindingKind::CheckSum: return "checksum";
    case TFindingKind::Trailer: return "trailer";
    case TFindingKind::Account: return "account";
  }
  return "";
}

TJson FindingToJson(const ombra::TFinding& f) {
  using support::ShownCp1252;
  TJson json = {{"severity", f.Severity == TSeverity::Error ? "error" : "warning"},
                {"kind", KindName(f.Kind)}};
  json["record"] = f.Record != 0 ? TJson(std::string(1, f.Record)) : TJson(nullptr);
  json["payment"] = f.Payment > 0 ? TJson(f.Payment) : TJson(nullptr);
  json["field"] = ShownCp1252(f.Field);
  json["expected"] = ShownCp1252(f.Expected);
  json["found"] = ShownCp1252(f.Found);
  json["text"] = ShownCp1252(f.Text);
  return json;
}

// "file" as printed; beside it "file_bytes", the name's exact bytes as numbers, when the
// printed name had to escape any of them.
TJson FileJson(const std::string& file) {
  TJson json = {{"file", support::ShownText(file)}};
  if (!support::ShownAsIs(file)) {
    TJson bytes = TJson::array();
    for (const char c : file) bytes.push_back(static_cast<unsigned char>(c));
    json["file_bytes"] = std::move(bytes);
  }
  return json;
}

std::string Dumped(const TJson& json) {
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string JsonLine(const std::string& file, const ombra::TFileCheck& check, std::size_t payments) {
  TJson json = FileJson(file);
  json["ok"] = check.Ok();
  if (check.Loaded)
    json["payments"] = payments;
  else
    json["error"] = support::ShownCp1252(check.LoadError);
  TJson findings = TJson::array();
  for (const auto& finding : check.Findings)
    if (finding.Severity != TSeverity::None) findings.push_back(FindingToJson(finding));
  json["findings"] = std::move(findings);
  return Dumped(json);
}

std::string TextLine(const std::string& file, const ombra::TFileCheck& check) {
  std::string line = support::ShownText(file) + ": ";
  if (!check.Loaded)
    line += "nicht lesbar: " + support::ShownCp1252(check.LoadError);
  else if (const auto* problem = check.FirstProblem())
    line += support::ShownCp1252(problem->Text);
  return line + "\n";
}

TFileStatus StatusOf(TPassedKind kind) {
  switch (kind) {
    case TPassedKind::Skipped: return TFileStatus::Skipped;
    case TPassedKind::Unreadable: return TFileStatus::Unreadable;
    case TPassedKind::Vanished: return TFileStatus::Vanished;
  }
  return TFileStatus::Skipped;
}

TFileVerdict Passed(const TCandidate& file, TPassedKind kind, const std::string& reason,
                    const TArchiveOptions& options) {
  return {StatusOf(kind), PassedLine(file.Path, kind, reason, options)};
}

// A walked file, opened by name or in its folder; the load reads it again through /proc by its
// descriptor, a short name whatever the depth of the folder.
class TOpenedFile {
 public:
  // `name` in `folder`, or by the name as shown when the folder was not kept open.
  explicit TOpenedFile(const TCandidate& file)
      : fd_(::openat(file.Folder ? file.Folder->Fd() : AT_FDCWD,
                     (file.Folder ? file.Name : file.Path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)),
        error_(errno) {}
  ~TOpenedFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  TOpenedFile(const TOpenedFile&) = delete;
  TOpenedFile& operator=(const TOpenedFile&) = delete;

  int Fd() const { return fd_; }
  int Error() const { return error_; }
  // Where the load opens the file again. Without /proc (a bare chroot) the name must do; it
  // then fails only for paths longer than the kernel takes.
  std::string ReadPath(const std::string& shown) const {
    static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
    return proc ? "/proc/self/fd/" + std::to_string(fd_) : shown;
  }
  // The first bytes; false with Error() set when they cannot be read.
  bool ReadHead(std::string& head) {
    const int error = ReadDtausHead(fd_, head);
    if (error != 0) error_ = error;
    return error == 0;
  }

 private:
  int fd_;
  int error_;
};

TFileVerdict CheckLoaded(const TCandidate& file, const std::string& readPath, const TArchiveOptions& options,
                         const ombra::TRegionalSettings& rs) {
  ombra::TDtaus doc;
  ombra::TFileCheck check = ombra::LoadAndCheck(doc, readPath, rs);
  if (check.Loaded && options.Banks != nullptr)
    ombra::AddAccountFindings(check, doc, ombra::CheckAccounts(doc, *options.Banks),
                              options.Banks->DataDate());
  TFileVerdict verdict;
  verdict.Status = !check.Loaded ? TFileStatus::Unreadable
                   : check.Ok()  ? TFileStatus::Ok
                                 : TFileStatus::Discrepant;
  if (options.Json)
    verdict.Line = JsonLine(file.Path, check, doc.SatzCList.size());
  else if (verdict.Status != TFileStatus::Ok)
    verdict.Line = TextLine(file.Path, check);
  return verdict;
}

TFileVerdict CheckWalked(const TCandidate& file, const TArchiveOptions& options,
                         const ombra::TRegionalSettings& rs) {
  TOpenedFile opened(file);
  if (opened.Fd() < 0)
    return Passed(file, opened.Error() == ENOENT ? TPassedKind::Vanished : TPassedKind::Unreadable,
                  opened.Error() == ENOENT ? kVanishedReason : GermanSystemError(opened.Error()), options);
  struct stat st {};
  if (::fstat(opened.Fd(), &st) != 0 || !S_ISREG(st.st_mode))
    return Passed(file, TPassedKind::Vanished, kReplacedReason, options);
  std::string head;
  if (!opened.ReadHead(head))
    return Passed(file, TPassedKind::Unreadable, GermanSystemError(opened.Error()), options);
  if (!BytesStartLikeDtaus(head) &&
      !NamedLikeDtaus(file.Name.empty() ? file.Path.substr(file.Path.rfind('/') + 1) : file.Name))
    return Passed(file, TPassedKind::Skipped, "keine DTAUS-Datei", options);
  return CheckLoaded(file, opened.ReadPath(file.Path), options, rs);
}

std::string Grouped(std::int64_t value) {
  std::string digits = std::to_string(value);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), 1, '.');
  return digits;
}

// Shown on a terminal only; rewritten in place at most ten times a second. When standard
// output goes to the same terminal, the line is cleared before anything is printed there.
class TProgress {
 public:
  TProgress(std::ostream& err, bool show, std::size_t total)
      : err_(err), show_(show), total_(total), sharesTerminal_(show && StdoutIsStderrTerminal()) {}
  void Update(std::size_t done) {
    if (!show_) return;
    const auto now = std::chrono::steady_clock::now();
    if (done != total_ && drawn_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    drawn_ = true;
    constexpr std::size_t kWidth = 30;
    const std::size_t filled = total_ == 0 ? kWidth : done * kWidth / total_;
    err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
         << Grouped(static_cast<std::int64_t>(done)) << " von " << Grouped(static_cast<std::int64_t>(total_))
         << " Dateien" << std::flush;
  }
  void Clear() {
    if (drawn_) err_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
    drawn_ = false;
  }
  // Writes `line` to `output`, on a shared terminal at once and on a cleared line.
  void Print(TOutput& output, const std::string& line) {
    if (line.empty()) return;
    if (!sharesTerminal_) {
      output.Write(line);
      return;
    }
    Clear();
    output.Write(line);
    output.Flush();
  }

 private:
  static bool StdoutIsStderrTerminal() {
    struct stat out {};
    struct stat err {};
    return ::isatty(STDOUT_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1 &&
           ::fstat(STDOUT_FILENO, &out) == 0 && ::fstat(STDERR_FILENO, &err) == 0 &&
           out.st_rdev == err.st_rdev;
  }

  std::ostream& err_;
  bool show_;
  std::size_t total_;
  bool sharesTerminal_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace

TFileVerdict CheckOneFile(const TCandidate& file, const TArchiveOptions& options,
                          const ombra::TRegionalSettings& rs) {
  try {
    if (!file.Named) return CheckWalked(file, options, rs);
    return CheckLoaded(file, file.Path, options, rs);
  } catch (const std::bad_alloc&) {
    return Passed(file, TPassedKind::Unreadable, "Nicht genügend Arbeitsspeicher", options);
  } catch (const std::exception&) {
    // A worker must not end the run: the file is reported, the others are still checked.
    return Passed(file, TPassedKind::Unreadable, "Unerwarteter interner Fehler", options);
  }
}

std::string PassedLine(const std::string& path, TPassedKind kind, const std::string& reason,
                       const TArchiveOptions& options) {
  if (options.Json) {
    TJson json = FileJson(path);
    switch (kind) {
      case TPassedKind::Unreadable:
        json["ok"] = false;
        json["error"] = reason;
        json["findings"] = TJson::array();
        break;
      case TPassedKind::Skipped:
        json["skipped"] = true;
        json["reason"] = reason;
        break;
      case TPassedKind::Vanished:
        json["vanished"] = true;
        json["reason"] = reason;
        break;
    }
    return Dumped(json);
  }
  switch (kind) {
    case TPassedKind::Unreadable: return support::ShownText(path) + ": nicht lesbar: " + reason + "\n";
    case TPassedKind::Vanished: return support::ShownText(path) + ": verschwunden: " + reason + "\n";
    case TPassedKind::Skipped:
      return options.Verbose ? support::ShownText(path) + ": übersprungen: " + reason + "\n" : std::string();
  }
  return {};
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

std::string SummaryLine(const TArchiveCounts& counts) {
  const std::int64_t checked = counts.Ok + counts.Discrepant + counts.Unreadable;
  return Grouped(checked) + (checked == 1 ? " Datei" : " Dateien") + " geprüft: " + Grouped(counts.Ok) +
         " stimmig, " + Grouped(counts.Discrepant) + " mit Abweichungen, " + Grouped(counts.Unreadable) +
         " nicht lesbar, " + Grouped(counts.Skipped) + " übersprungen" +
         (counts.Vanished > 0 ? ", " + Grouped(counts.Vanished) + " verschwunden" : std::string());
}

int RunArchiveCheck(const std::vector<std::string>& paths, const TArchiveOptions& options,
                    const ombra::TRegionalSettings& rs, std::ostream& err, bool showProgress) {
  TWalk walk = WalkPaths(paths);
  const std::size_t total = walk.Files.size();
  std::vector<std::optional<TFileVerdict>> verdicts(total);
  std::mutex mutex;
  std::condition_variable ready;
  std::atomic<std::size_t> next{0};

  const auto work = [&] {
    for (std::size_t i = next++; i < total; i = next++) {
      TFileVerdict verdict = CheckOneFile(walk.Files[i], options, rs);
      walk.Files[i].Folder.reset();  // the folder closes once its last file is read
      const std::lock_guard lock(mutex);
      verdicts[i] = std::move(verdict);
      ready.notify_one();
    }
  };
  unsigned jobs = options.Jobs;
  if (jobs == 0) {
    std::vector<std::int64_t> sizes;
    for (const auto& file : walk.Files) sizes.push_back(file.Size);
    const auto pages = ::sysconf(_SC_AVPHYS_PAGES);
    const auto pageSize = ::sysconf(_SC_PAGESIZE);
    const std::uint64_t available =
        pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize)
                                  : 0;
    jobs = DefaultJobs(std::move(sizes), available, std::max(1u, std::thread::hardware_concurrency()));
  }
  jobs = std::max(1u, std::min<unsigned>(jobs, static_cast<unsigned>(total)));
  std::vector<std::jthread> workers;
  for (unsigned j = 0; j < jobs; ++j) workers.emplace_back(work);

  // Results are written in the order of the walk, as they become ready.
  TOutput output("");
  output.Open();
  TArchiveCounts counts;
  TProgress progress(err, showProgress, total);
  const auto count = [&counts](TFileStatus status) {
    switch (status) {
      case TFileStatus::Ok: ++counts.Ok; break;
      case TFileStatus::Discrepant: ++counts.Discrepant; break;
      case TFileStatus::Unreadable: ++counts.Unreadable; break;
      case TFileStatus::Skipped: ++counts.Skipped; break;
      case TFileStatus::Vanished: ++counts.Vanished; break;
    }
  };
  auto passed = walk.Passed.begin();
  const auto printPassedBefore = [&](std::size_t i) {
    for (; passed != walk.Passed.end() && passed->Before <= i; ++passed) {
      count(StatusOf(passed->Kind));
      progress.Print(output, PassedLine(passed->Path, passed->Kind, passed->Reason, options));
    }
  };
  for (std::size_t i = 0; i < total; ++i) {
    printPassedBefore(i);
    TFileVerdict verdict;
    {
      std::unique_lock lock(mutex);
      ready.wait(lock, [&] { return verdicts[i].has_value(); });
      verdict = std::move(*verdicts[i]);
      verdicts[i].reset();
    }
    count(verdict.Status);
    progress.Print(output, verdict.Line);
    progress.Update(i + 1);
  }
  printPassedBefore(total);
  workers.clear();
  progress.Clear();
  if (!options.Json) output.Write(SummaryLine(counts) + "\n");
  if (!output.Commit()) {
    err << "quandel-cli: " << output.Error() << "\n";
    return kExitUsage;
  }
  return counts.Discrepant + counts.Unreadable == 0 ? kExitOk : kExitFailed;
}

}  // namespace cli
