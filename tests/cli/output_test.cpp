#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>

#include <filesystem>

#include <gtest/gtest.h>

#include "output.h"
#include "run_cli.h"
#include "temp_dir.h"

using clitest::ReadBytes;

namespace {

namespace fs = std::filesystem;

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

mode_t ModeOf(const fs::path& file) {
  struct stat st {};
  ::stat(file.c_str(), &st);
  return st.st_mode & 07777;
}

class OutputTest : public ::testing::Test {
 protected:
  testdta::TempDir dir;
};

TEST_F(OutputTest, NewFileGetsEverythingWrittenAndTheUsualMode) {
  const auto file = dir.Path() / "neu.txt";
  // More than the buffer holds, in pieces of every size, so flushing is exercised.
  std::string expected;
  cli::TOutput output(file.string());
  ASSERT_TRUE(output.Open()) << output.Error();
  for (std::size_t i = 0; expected.size() < 3'500'000; ++i) {
    const std::string piece(i % 5000, static_cast<char>('a' + i % 26));
    output.Write(piece);
    expected += piece;
  }
  const std::string big(1 << 21, 'Z');
  output.Write(big);
  expected += big;
  ASSERT_TRUE(output.Commit()) << output.Error();

  EXPECT_EQ(ReadBytes(file), expected);
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

// What the commands write holds payment data: readable by its owner only.
TEST_F(OutputTest, NewFileIsTheUsersOwnExportWhateverTheUmask) {
  const std::pair<mode_t, mode_t> cases[] = {{0, 0600}, {002, 0600}, {022, 0600}, {077, 0600}};
  for (const auto& [mask, mode] : cases) {
    SCOPED_TRACE(mask);
    const auto file = dir.Path() / ("neu" + std::to_string(mask));
    const mode_t saved = ::umask(mask);
    cli::TOutput output(file.string());
    const bool written = output.Open() && (output.Write("x"), output.Commit());
    ::umask(saved);
    ASSERT_TRUE(written) << output.Error();
    EXPECT_EQ(ModeOf(file), mode);
  }
}

TEST_F(OutputTest, NamesUpToTheLongestEntryAreWritten) {
  for (const std::size_t length : {247u, 248u, 255u, 256u}) {
    SCOPED_TRACE(length);
    const auto file = dir.Path() / std::string(length, 'n');
    bool written = false;
    {
      cli::TOutput output(file.string());
      written = output.Open() && (output.Write("x"), output.Commit());
      if (!written) {
        EXPECT_NE(output.Error().find("Dateiname zu lang."), std::string::npos) << output.Error();
      }
    }
    EXPECT_EQ(written, length <= NAME_MAX);
    if (written) {
      EXPECT_EQ(ReadBytes(file), "x");
    }
    EXPECT_EQ(EntriesIn(dir.Path()), written ? 1u : 0u);
    std::error_code ignored;
    fs::remove(file, ignored);
  }
}

TEST_F(OutputTest, ReplacedFileKeepsItsModeAndLinksPointAtTheNewContent) {
  const auto file = dir.Path() / "alt.txt";
  dir.Write("alt.txt", "alt");
  ::chmod(file.c_str(), 0604);
  const auto link = dir.Path() / "verweis.txt";
  fs::create_symlink(file, link);

  cli::TOutput output(link.string());
  ASSERT_TRUE(output.Open());
  output.Write("neu");
  ASSERT_TRUE(output.Commit());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(file), "neu");
  EXPECT_EQ(ModeOf(file), 0604u);
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST_F(OutputTest, WithoutCommitTheEarlierFileStaysAndNothingIsLeftBehind) {
  const auto file = dir.Path() / "alt.txt";
  dir.Write("alt.txt", "alt");
  {
    cli::TOutput output(file.string());
    ASSERT_TRUE(output.Open());
    output.Write(std::string(3 << 20, 'x'));  // already partly on disk
  }
  EXPECT_EQ(ReadBytes(file), "alt");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST_F(OutputTest, TargetsThatCannotBeWrittenGiveGermanReasons) {
  cli::TOutput missingFolder((dir.Path() / "fehlt" / "x.txt").string());
  EXPECT_FALSE(missingFolder.Open());
  EXPECT_NE(missingFolder.Error().find("Der Ordner ist nicht vorhanden."), std::string::npos);

  cli::TOutput folder(dir.Path().string());
  EXPECT_FALSE(folder.Open());
  EXPECT_NE(folder.Error().find("Ist ein Ordner."), std::string::npos);
}

// Lowers this process's file size limit for one test; the signal is ignored meanwhile so an
// oversized write fails with EFBIG instead of ending the process.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, saved_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST_F(OutputTest, AFailedWriteIsReportedAndTheEarlierFileStays) {
  const auto file = dir.Path() / "alt.txt";
  dir.Write("alt.txt", "alt");
  cli::TOutput output(file.string());
  {
    TFileSizeLimit limit(4096);
    ASSERT_TRUE(output.Open());
    output.Write(std::string(3 << 20, 'x'));
    EXPECT_FALSE(output.Commit());
  }
  EXPECT_EQ(output.Error(),
            "Die Ausgabedatei " + file.string() + " kann nicht geschrieben werden: Die Datei wird zu groß.");
  EXPECT_EQ(ReadBytes(file), "alt");
}

TEST_F(OutputTest, PipesAndDevicesAreWrittenInPlace) {
  clitest::TFifoCapture fifo(dir.Path());
  {
    cli::TOutput output(fifo.Path().string());
    ASSERT_TRUE(output.Open());
    output.Write("durch die Leitung");
    EXPECT_TRUE(output.Commit());
  }
  EXPECT_EQ(fifo.Finish(), "durch die Leitung");
  EXPECT_TRUE(fs::is_fifo(fifo.Path()));
}

TEST_F(OutputTest, SameFileThroughOtherNames) {
  const std::string file = dir.Write("a.dta", "x");
  const auto hard = dir.Path() / "b.dta";
  const auto soft = dir.Path() / "c.dta";
  fs::create_hard_link(file, hard);
  fs::create_symlink(file, soft);
  dir.Write("d.dta", "x");
  EXPECT_TRUE(cli::IsSameFile(file, (dir.Path() / "." / "a.dta").string()));
  EXPECT_TRUE(cli::IsSameFile(file, hard.string()));
  EXPECT_TRUE(cli::IsSameFile(file, soft.string()));
  EXPECT_FALSE(cli::IsSameFile(file, (dir.Path() / "d.dta").string()));
  EXPECT_FALSE(cli::IsSameFile(file, (dir.Path() / "fehlt.dta").string()));
}

}  // namespace
