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

namespace cli {

enum class TFileStatus { Ok, Discrepant, Unreadable, Skipped };

struct TArchiveCounts {
  std::int64_t Ok = 0;
  std::int64_t Discrepant = 0;
  std::int64_t Unreadable = 0;
  std::int64_t Skipped = 0;

  void Add(TFileStatus status);
  std::int64_t Read() const { return Ok + Discrepant + Unreadable; }
};

// Shown on a terminal only; rewritten in place at most ten times a second.
class TProgress {
 public:
  TProgress(std::ostream& err, bool show, std::size_t total) : err_(err), show_(show), total_(total) {}
  void Update(std::size_t done);
  void Clear();

 private:
  std::ostream& err_;
  bool show_;
  std::size_t total_;
  std::chrono::steady_clock::time_point last_{};
};

// Whether a file of the walk is read at all: a folder's file that does not start like a
// DTAUS file is skipped, a file named on the command line never.
bool IsSkipped(const TCandidate& file);

// Why a file of the archive was read only in part or not at all, for standard error:
// "a.dta: nicht lesbar: Datei nicht gefunden", or with the payments read before the damage
// "a.dta: beschädigt, nur 12 Zahlungen gelesen: Datei endet vorzeitig: ...". Empty when the
// document loaded.
std::string LoadProblem(const std::string& path, const ombra::TDtaus& doc);

// Loads a file of the walk into `doc`. Skipped (nothing read) for a folder's file that is no
// DTAUS file; Unreadable with `problem` set (LoadProblem) when the load failed, the payments
// read before the failure staying in `doc`; else Ok.
TFileStatus LoadArchiveFile(const TCandidate& file, ombra::TDtaus& doc, const ombra::TRegionalSettings& rs,
                            std::string& problem);

// Calls `work(file)` for every file of `files` on up to `jobs` threads and `take(result)` on
// the calling thread in the order of `files`, each as soon as it and all before it are done.
// Workers run at most a few files ahead of `take`, so results wait in memory only for a
// handful of files however long the walk. Should `take` throw, the workers claim no further
// file and none is left waiting, so the exception leaves the call.
template <class Result>
void RunInOrder(const std::vector<TCandidate>& files, unsigned jobs, TProgress& progress,
                const std::function<Result(const TCandidate&)>& work,
                const std::function<void(Result&&)>& take) {
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
      const std::lock_guard lock(mutex);
      results[i % results.size()] = std::move(result);
      ready.notify_one();
    }
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
  workers.clear();
  progress.Clear();
}

// Ends a command over an archive: `problems` (German, UTF-8, one line each: the files read only
// in part or not at all) and the folders that could not be read go to `err`, and `output` is
// committed; `summary` (a line or nothing) closes standard error. Returns 2 when a folder could not be read
// or the output not be written, else `exitCode`.
int FinishArchiveRun(TOutput& output, const TWalk& walk, const std::vector<std::string>& problems,
                     std::ostream& err, int exitCode, const std::string& summary = {});

// The threads to use: as requested, or one per processor when nothing was asked for (0).
unsigned JobCount(unsigned requested);

}  // namespace cli
