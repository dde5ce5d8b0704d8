#pragma once
// Work on many files at once, results taken in the order of the files: workers compute
// `work(i)` in parallel, the calling thread takes each result as soon as it and all before it
// are ready. Workers stay at most a few results ahead, so results waiting for a slow taker
// (a database, a pipe) cannot fill the memory.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace cli {

template <typename Result, typename Work, typename Take>
void ForEachInOrder(std::size_t total, unsigned jobs, Work work, Take take) {
  jobs = std::max(1u, std::min<unsigned>(jobs, static_cast<unsigned>(std::min<std::size_t>(total, 1024))));
  const std::size_t window = 4 * std::size_t{jobs};
  std::vector<std::optional<Result>> results(total);
  std::mutex mutex;
  std::condition_variable ready;
  std::condition_variable room;
  std::size_t taken = 0;  // results handed to `take`; guarded by `mutex`
  std::atomic<std::size_t> next{0};

  const auto run = [&] {
    for (std::size_t i = next++; i < total; i = next++) {
      {
        std::unique_lock lock(mutex);
        room.wait(lock, [&] { return i < taken + window; });
      }
      Result result = work(i);
      const std::lock_guard lock(mutex);
      results[i] = std::move(result);
      ready.notify_one();
    }
  };
  std::vector<std::jthread> workers;
  for (unsigned j = 0; j < jobs && total > 0; ++j) workers.emplace_back(run);
  // Should `take` throw, the workers claim nothing more and none waits for room, so they can
  // be joined on the way out. Declared after them: released before they are joined.
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

  for (std::size_t i = 0; i < total; ++i) {
    Result result;
    {
      std::unique_lock lock(mutex);
      ready.wait(lock, [&] { return results[i].has_value(); });
      result = std::move(*results[i]);
      results[i].reset();
      taken = i + 1;
    }
    room.notify_all();
    take(i, std::move(result));
  }
}

}  // namespace cli
