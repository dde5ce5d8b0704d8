// The runner every command over an archive shares: results in the order of the walk whatever
// the order the workers finish in, workers never far ahead of the results taken, and a taker
// that throws does not leave workers waiting for ever.
#include "archive_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "numfmt.h"

namespace {

cli::TWalk Files(std::size_t n) {
  cli::TWalk walk;
  for (std::size_t i = 0; i < n; ++i) {
    cli::TCandidate file;
    file.Path = std::to_string(i);
    file.Named = true;
    walk.Files.push_back(std::move(file));
  }
  return walk;
}

TEST(ArchiveRunTest, ResultsComeInTheOrderOfTheWalkAndWorkersStayClose) {
  for (const unsigned jobs : {1u, 2u, 7u, 8u}) {
    for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{500}}) {
      auto walk = Files(n);
      std::atomic<std::size_t> started{0};
      std::size_t taken = 0;
      std::size_t furthest = 0;  // the most files started beyond those taken
      std::vector<std::string> results;
      std::ostringstream err;
      cli::TProgress progress(err, false, n);
      cli::RunInOrder<std::string>(
          walk, jobs, progress,
          [&](const cli::TCandidate& file) {
            ++started;
            // Later files finish first now and then.
            if (std::stoul(file.Path) % 3 == 0) std::this_thread::yield();
            return file.Path;
          },
          [&](std::string&& result) {
            // The runner counts a result as taken before handing it over, so workers may
            // already start on the file `ahead` places beyond this one.
            ++taken;
            furthest = std::max(furthest, started.load() - taken);
            results.push_back(std::move(result));
          },
          [](const cli::TPassed&) { ADD_FAILURE() << "no entry was passed over"; });
      std::vector<std::string> expected;
      for (const auto& file : walk.Files) expected.push_back(file.Path);
      EXPECT_EQ(results, expected) << jobs << " jobs";
      EXPECT_LE(furthest, 4 * jobs + 16) << jobs << " jobs";
      EXPECT_EQ(err.str(), "");
    }
  }
}

// Entries the walk passed over come between the results in their places: before the file
// they preceded in the walk, or after the last file.
TEST(ArchiveRunTest, PassedEntriesComeInTheirPlacesBetweenTheResults) {
  const struct {
    std::size_t files;
    std::vector<std::size_t> before;  // TPassed::Before of each passed entry
    std::string order;
  } cases[] = {
      {0, {}, ""},
      {0, {0, 0}, "p0 p1 "},
      {3, {0}, "p0 0 1 2 "},
      {3, {3}, "0 1 2 p0 "},
      {3, {1, 1, 2}, "0 p0 p1 1 p2 2 "},
      {2, {0, 2, 2}, "p0 0 1 p1 p2 "},
  };
  for (const auto& c : cases) {
    for (const unsigned jobs : {1u, 3u}) {
      auto walk = Files(c.files);
      for (std::size_t p = 0; p < c.before.size(); ++p)
        walk.Passed.push_back({"p" + std::to_string(p), cli::TPassedKind::Vanished, "weg", c.before[p]});
      std::string order;
      std::ostringstream err;
      cli::TProgress progress(err, false, c.files);
      cli::RunInOrder<std::string>(
          walk, jobs, progress, [](const cli::TCandidate& file) { return file.Path; },
          [&](std::string&& result) { order += result + " "; },
          [&](const cli::TPassed& passed) { order += passed.Path + " "; });
      EXPECT_EQ(order, c.order) << c.files << " files, " << jobs << " jobs";
    }
  }
}

TEST(ArchiveRunTest, ATakerThatThrowsStopsTheWorkers) {
  auto walk = Files(100000);
  std::atomic<std::size_t> worked{0};
  std::ostringstream err;
  cli::TProgress progress(err, false, walk.Files.size());
  std::size_t taken = 0;
  EXPECT_THROW(cli::RunInOrder<int>(
                   walk, 2, progress,
                   [&](const cli::TCandidate&) {
                     ++worked;
                     return 0;
                   },
                   [&](int&&) {
                     if (++taken == 4) throw std::runtime_error("taker failed");
                   },
                   [](const cli::TPassed&) {}),
               std::runtime_error);
  EXPECT_LT(worked.load(), 100u);
}

TEST(ArchiveRunTest, CountsAreGroupedTheGermanWay) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {0, "0"}, {999, "999"}, {1000, "1.000"}, {4210, "4.210"}, {1234567, "1.234.567"}, {-1234, "-1.234"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(ombra::GroupedNumber(value), text);
}

}  // namespace
