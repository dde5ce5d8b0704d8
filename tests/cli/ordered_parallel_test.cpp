// ForEachInOrder: results taken in order whatever order the workers finish in, workers never
// far ahead of the taker, and a taker that throws does not leave workers waiting for ever.
#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ordered_parallel.h"

namespace {

TEST(OrderedParallelTest, TakesEveryResultInOrderAndBoundsTheWorkAhead) {
  for (const unsigned jobs : {1u, 2u, 8u}) {
    for (const std::size_t total : {std::size_t{0}, std::size_t{1}, std::size_t{500}}) {
      std::atomic<std::size_t> started{0};
      std::size_t taken = 0;
      std::size_t mostAhead = 0;
      std::vector<std::size_t> order;
      cli::ForEachInOrder<std::size_t>(
          total, jobs,
          [&](std::size_t i) {
            ++started;
            // Later items tend to finish first.
            if (i % 7 == 0) std::this_thread::yield();
            return i * i;
          },
          [&](std::size_t i, std::size_t square) {
            EXPECT_EQ(square, i * i);
            order.push_back(i);
            mostAhead = std::max(mostAhead, started.load() - taken);
            ++taken;
          });
      std::vector<std::size_t> expected(total);
      for (std::size_t i = 0; i < total; ++i) expected[i] = i;
      EXPECT_EQ(order, expected) << jobs << " jobs, " << total;
      EXPECT_LE(mostAhead, 4 * std::size_t{jobs} + 1) << jobs << " jobs, " << total;
    }
  }
}

TEST(OrderedParallelTest, ATakerThatThrowsStopsTheWorkers) {
  std::atomic<std::size_t> worked{0};
  EXPECT_THROW(cli::ForEachInOrder<int>(
                   100000, 2,
                   [&](std::size_t) {
                     ++worked;
                     return 0;
                   },
                   [](std::size_t i, int) {
                     if (i == 3) throw std::runtime_error("taker failed");
                   }),
               std::runtime_error);
  EXPECT_LT(worked.load(), 100u);
}

}  // namespace
