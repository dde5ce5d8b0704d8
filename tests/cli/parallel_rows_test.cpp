// Long exports are formatted in parts on several threads; what reaches the output must be the
// rows in order, each once, whatever the number of parts.
#include "parallel_rows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

namespace {

std::string Numbers(std::size_t begin, std::size_t end) {
  std::string text;
  for (std::size_t i = begin; i < end; ++i) text += std::to_string(i) + '\n';
  return text;
}

TEST(ParallelRowsTest, WritesEveryRowOnceInOrder) {
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, cli::kRowsPerPart - 1,
                                  2 * cli::kRowsPerPart, 5 * cli::kRowsPerPart + 3}) {
    std::string out;
    std::size_t writes = 0;
    cli::WriteRowsInParts(
        count,
        [&](std::string_view bytes) {
          out.append(bytes);
          ++writes;
        },
        [](std::size_t begin, std::size_t end, const cli::TWrite& put) {
          // Two writes a part, so a part's pieces must stay together.
          const std::size_t middle = begin + (end - begin) / 2;
          put(Numbers(begin, middle));
          put(Numbers(middle, end));
        });
    EXPECT_EQ(out, Numbers(0, count)) << count;
    EXPECT_GE(writes, 2U) << count;
  }
}

TEST(ParallelRowsTest, AFailedWriteEndsTheExportAfterTheWorkersFinish) {
  std::atomic<std::size_t> formatted{0};
  const std::size_t count = 4 * cli::kRowsPerPart;
  EXPECT_THROW(cli::WriteRowsInParts(
                   count, [](std::string_view) { throw std::runtime_error("Ausgabe geschlossen"); },
                   [&](std::size_t begin, std::size_t end, const cli::TWrite& put) {
                     formatted += end - begin;
                     put(Numbers(begin, end));
                   }),
               std::runtime_error);
  // Every part ran to its end and its thread was joined before the error left: none is left
  // running on data that is about to go away.
  EXPECT_EQ(formatted.load(), count);
}

}  // namespace
