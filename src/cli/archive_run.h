#pragma once
// What every command over an archive shares: the files of the walk worked on in parallel, the
// results taken in the order of the walk, a progress bar on a terminal, the counts of files
// read, found wanting, unreadable and skipped, and the exit code.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "dtaus.h"
#include "folder_walk.h"
#include "output.h"
#include "regional.h"

namespace cli {

enum class TFileStatus { Ok, Discrepant, Unreadable, Skipped, Vanished };

struct TArchiveCounts {
  std::int64_t Ok = 0;
  std::int64_t Discrepant = 0;
  std::int64_t Unreadable = 0;
  std::int64_t Skipped = 0;
  std::int64_t Vanished = 0;  // gone between listing and reading: no fault of the archive's

  void Add(TFileStatus status);
  std::int64_t Read() const { return Ok + Discrepant + Unreadable; }
};

TFileStatus StatusOf(TPassedKind kind);

// Shown on a terminal only; rewritten in place at most ten times a second. When standard
// output goes to the same terminal, the line is cleared before anything is printed there.
class TProgress {
 public:
  TProgress(std::ostream& err, bool show, std::size_t total);
  void Update(std::size_t done);
  void Clear();
  // Writes `line` to `output`, on a shared terminal at once and on a cleared line.
  void Print(TOutput& output, const std::string& line);

 private:
  std::ostream& err_;
  bool show_;
  std::size_t total_;
  bool sharesTerminal_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_{};
};

// A file of the walk, opened to be read. A file named on the command line is read by its name,
// whatever it holds. A folder's file is opened in its folder (or by name) and looked at first:
// when it is gone, no longer a regular file, cannot be read, or neither starts nor is named like
// a DTAUS file, Passed() says so and it is not to be read.
class TArchiveFile {
 public:
  explicit TArchiveFile(const TCandidate& file);
  ~TArchiveFile();
  TArchiveFile(const TArchiveFile&) = delete;
  TArchiveFile& operator=(const TArchiveFile&) = delete;

  const std::optional<TPassed>& Passed() const { return passed_; }
  // Where the load opens the file: through /proc by the open descriptor, a short name
  // whatever the depth of its folder; without /proc (a bare chroot) by its name.
  std::string ReadPath() const;
  std::int64_t Size() const { return size_; }  // -1 when unknown

 private:
  void Pass(TPassedKind kind, std::string reason);

  const TCandidate& file_;
  int fd_ = -1;
  std::int64_t size_ = -1;
  std::optional<TPassed> passed_;
};

// "a.dta: nicht lesbar: Grund", "a.dta: verschwunden: ..." or "a.dta: übersprungen: ...",
// the name escaped (ShownText), without a line end.
std::string PassedText(const std::string& path, TPassedKind kind, const std::string& reason);

// A text field of a file as the archive commands print it: DIN codes decoded, trailing blanks
// gone, escaped like a name (ShownCp1252).
std::string ShownField(std::string_view cp1252);

// The reason given for a file whose load ran out of memory; the other files are still read.
inline constexpr const char* kOutOfMemory = "Nicht genügend Arbeitsspeicher";

// Why a file of the archive was read only in part or not at all, for standard error:
// "a.dta: nicht lesbar: Datei nicht gefunden", or with the payments read before the damage
// "a.dta: beschädigt, nur 12 Zahlungen gelesen: Datei endet vorzeitig: ...". Empty when the
// document loaded.
std::string LoadProblem(const std::string& path, const ombra::TDtaus& doc);

// Loads a file of the walk into `doc` (TArchiveFile). Skipped or Vanished when it is not read,
// Unreadable when it cannot be read or the load failed (the payments read before the failure
// staying in `doc`), else Ok. `problem` then says why (PassedText or LoadProblem).
TFileStatus LoadArchiveFile(const TCandidate& file, ombra::TDtaus& doc, const ombra::TRegionalSettings& rs,
                            std::string& problem);

// What find, duplicates and list tell on standard error beside their output, in the order of
// the walk: files and folders read only in part or not at all, vanished files and, with
// `verbose`, the skipped ones with their reason; and the counts of all of them.
class TArchiveTally {
 public:
  explicit TArchiveTally(bool verbose) : verbose_(verbose) {}
  void Passed(const TPassed& passed);
  void File(TFileStatus status, std::string problem);

  TArchiveCounts Counts;
  std::vector<std::string> Problems;  // UTF-8, one line each, without the line end

 private:
  bool verbose_;
};

// Calls `work(file)` for every file of the walk on up to `jobs` threads and `take(result)` on
// the calling thread in the order of the walk, each as soon as it and all before it are done;
// `passed(entry)` for the walk's passed entries in their places between them. Workers run at
// most a few files ahead of `take`, so results wait in memory only for a handful of files
// however long the walk. A file's folder is let go once the file is worked on. Should `take`
// throw, the workers claim no further file and none is left waiting, so the exception leaves
// the call.
template <class Result>
void RunInOrder(TWalk& walk, unsigned jobs, TProgress& progress,
                const std::function<Result(const TCandidate&)>& work,
                const std::function<void(Result&&)>& take,
                const std::function<void(const TPassed&)>& passed) {
  std::vector<TCandidate>& files = walk.Files;
  const std::size_t total = files.size();
  jobs = std::max(1u, std::min<unsigned>(jobs, static_cast<unsigned>(std::max<std::size_t>(total, 1))));
  const std::size_t ahead = 4 * static_cast<std::size_t>(jobs) + 16;
  std::vector<std::optional<Result>> results(std::min(total, ahead));
  std::mutex mutex;
  std::condition_variable ready;
  std::condition_variable room;
  std::size_t taken = 0;  // guarded by mutex
  std::atomic<std::size_t> next{0};

  const auto worker = [&] {
    for (std::size_t i = next++; i < total; i = next++) {
      {
        std::unique_lock lock(mutex);
        room.wait(lock, [&] { return i < taken + results.size(); });
      }
      Result result = work(files[i]);
      files[i].Folder.reset();  // the folder closes once its last file is read
      const std::lock_guard lock(mutex);
      results[i % results.size()] = std::move(result);
      ready.notify_one();
    }
  };
  auto nextPassed = walk.Passed.cbegin();
  const auto passBefore = [&](std::size_t i) {
    for (; nextPassed != walk.Passed.cend() && nextPassed->Before <= i; ++nextPassed) passed(*nextPassed);
  };
  std::vector<std::jthread> workers;
  // Declared after `workers`, so it runs before they are joined: should `take` throw, no worker
  // claims another file or waits for room that would never come.
  struct TRelease {
    std::mutex& Mutex;
    std::condition_variable& Room;
    std::size_t& Taken;
    std::atomic<std::size_t>& Next;
    std::size_t Total;
    ~TRelease() {
      Next = Total;
      {
        const std::lock_guard lock(Mutex);
        Taken = Total;
      }
      Room.notify_all();
    }
  } release{mutex, room, taken, next, total};
  for (unsigned j = 0; j < jobs; ++j) workers.emplace_back(worker);
  for (std::size_t i = 0; i < total; ++i) {
    passBefore(i);
    Result result;
    {
      std::unique_lock lock(mutex);
      auto& slot = results[i % results.size()];
      ready.wait(lock, [&] { return slot.has_value(); });
      result = std::move(*slot);
      slot.reset();
      ++taken;
    }
    room.notify_all();
    take(std::move(result));
    progress.Update(i + 1);
  }
  passBefore(total);
  workers.clear();
  progress.Clear();
}

// Ends a command over an archive: `problems` (German, UTF-8, one line each) go to `err`, and
// `output` is committed; `summary` (a line or nothing) closes standard error. Returns 2 when
// the output could not be written, else `exitCode`.
int FinishArchiveRun(TOutput& output, const std::vector<std::string>& problems, std::ostream& err,
                     int exitCode, const std::string& summary = {});

// Files worked on at once when --jobs is not given: one per processor, but no more than the
// biggest files fit into `availableBytes` together (a loaded file takes a few times its size).
unsigned DefaultJobs(std::vector<std::int64_t> sizes, std::uint64_t availableBytes, unsigned processors);

// The threads to use: as requested, or DefaultJobs for the walk's files and the free memory
// when nothing was asked for (0).
unsigned JobCount(unsigned requested, const TWalk& walk);

}  // namespace cli
