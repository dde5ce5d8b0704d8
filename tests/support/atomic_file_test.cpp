#include "atomic_file.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

std::size_t EntriesIn(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicFileTest, LinksLeadToTheFileTheyNameEvenWhenItIsMissing) {
  const struct {
    const char* name;
    void (*prepare)(const support_test::TempDir&);
    const char* written;  // where the bytes must land
    mode_t mode;
    std::size_t entries;
  } cases[] = {
      {"neu.txt", [](const support_test::TempDir&) {}, "neu.txt", 0600, 1},
      {"verweis", [](const support_test::TempDir& d) { fs::create_symlink("ziel.txt", d.Path("verweis")); },
       "ziel.txt", 0600, 2},
      {"kette",
       [](const support_test::TempDir& d) {
         fs::create_directory(d.Path("unter"));
         fs::create_symlink("unter/glied", d.Path("kette"));
         fs::create_symlink("ende.txt", d.Path("unter/glied"));
       },
       "unter/ende.txt", 0600, 2},
      {"alt.txt",
       [](const support_test::TempDir& d) {
         d.Write("alt.txt", "alt");
         ::chmod(d.Path("alt.txt").c_str(), 0640);
       },
       "alt.txt", 0640, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const support_test::TempDir dir;
    c.prepare(dir);
    support::TAtomicFile file(dir.Path(c.name));
    ASSERT_EQ(file.Open(), 0);
    file.Write("neu");
    ASSERT_EQ(file.Commit(), 0);
    EXPECT_EQ(ReadAll(dir.Path(c.written)), "neu");
    EXPECT_EQ(ModeOf(dir.Path(c.written)), c.mode);
    EXPECT_EQ(EntriesIn(dir.Path()), c.entries);
  }
}

// The program's own files (the viewer's page): nothing planted at the name is written through,
// and the replaced file stays under a second name when the caller asks for it.
TEST(AtomicFileTest, ReplacingTheEntryWritesThroughNothing) {
  const struct {
    const char* what;
    void (*plant)(const support_test::TempDir&);
    bool kept;  // a second name for what stood there
  } cases[] = {
      {"nothing", [](const support_test::TempDir&) {}, false},
      {"a file open to all",
       [](const support_test::TempDir& d) {
         d.Write("seite.html", "alt");
         ::chmod(d.Path("seite.html").c_str(), 0644);
       },
       true},
      {"a link to another file",
       [](const support_test::TempDir& d) { fs::create_symlink("opfer.txt", d.Path("seite.html")); }, true},
      {"a dangling link",
       [](const support_test::TempDir& d) { fs::create_symlink("nirgends", d.Path("seite.html")); }, true},
      {"a pipe", [](const support_test::TempDir& d) { ::mkfifo(d.Path("seite.html").c_str(), 0600); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const support_test::TempDir dir;
    dir.Write("opfer.txt", "bleibt");
    c.plant(dir);
    support::TAtomicFile file(dir.Path("seite.html"), 0600, support::TTarget::ReplaceEntry);
    ASSERT_EQ(file.Open(), 0);
    file.Write("neu");
    ASSERT_EQ(file.Close(), 0);
    std::string replaced = "unverändert";
    ASSERT_EQ(file.Commit(&replaced), 0);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.Path("seite.html"))));
    EXPECT_EQ(ReadAll(dir.Path("seite.html")), "neu");
    EXPECT_EQ(ModeOf(dir.Path("seite.html")), 0600u);
    EXPECT_EQ(ReadAll(dir.Path("opfer.txt")), "bleibt");
    EXPECT_EQ(replaced.empty(), !c.kept);
    if (!replaced.empty()) fs::remove(replaced);
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
  }
}

TEST(AtomicFileTest, AWritableFileInAFolderThatIsNotIsWrittenInPlaceAtCommit) {
  const support_test::TempDir dir;
  const std::string folder = dir.Folder("nur-lesen");
  const std::string target = dir.Write("nur-lesen/alt.txt", "alt");
  const bool root = ::geteuid() == 0;
  // Root may write anywhere: the writer then runs as the user nobody, who owns the file only.
  if (root && (::chmod(dir.Path().c_str(), 0755) != 0 || ::chown(target.c_str(), 65534, 65534) != 0))
    FAIL() << "cannot prepare the files for nobody";
  ::chmod(folder.c_str(), 0555);

  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(10);
    support::TAtomicFile file(target);
    if (file.Open() != 0) ::_exit(11);
    file.Write("neu, ");
    file.Flush();
    file.Write("ganz");
    if (ReadAll(target) != "alt") ::_exit(12);  // nothing changes before the commit
    ::_exit(file.Commit() == 0 ? 0 : 13);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ::chmod(folder.c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadAll(target), "neu, ganz");
  EXPECT_EQ(EntriesIn(folder), 1u);
}

TEST(AtomicFileTest, AFailedOpenNamesTheReason) {
  const support_test::TempDir dir;
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {dir.Path("fehlt/x.txt"), ENOENT},
      {dir.Path(), EISDIR},
      {dir.Path(std::string(256, 'n')), ENAMETOOLONG},
  };
  for (const auto& c : cases) {
    support::TAtomicFile file(c.path);
    EXPECT_EQ(file.Open(), c.error) << c.path;
    EXPECT_NE(file.Commit(), 0);
  }
  EXPECT_EQ(EntriesIn(dir.Path()), 0u);
}

// A child writes a file and is ended by a signal in the middle of it: no temporary file may
// be left, and the signal must end the child as it would have without the writer.
TEST(AtomicFileTest, EverySignalThatEndsTheProcessRemovesTheTemporaryFile) {
  std::size_t count = 0;
  const int* signals = support::RemovalSignals(count);
  ASSERT_GE(count, 22u);
  // The CLI's outputs and the viewer's page alike.
  for (const auto target : {support::TTarget::AsNamed, support::TTarget::ReplaceEntry})
    for (std::size_t i = 0; i < count; ++i) {
      const int signalNumber = signals[i];
      SCOPED_TRACE(::strsignal(signalNumber));
      SCOPED_TRACE(target == support::TTarget::AsNamed ? "as named" : "entry replaced");
      struct sigaction current {};
      ::sigaction(signalNumber, nullptr, &current);
      // A sanitizer's own handler (SIGSEGV, SIGBUS, SIGFPE) is left in charge by the writer.
      if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler == SIG_IGN) continue;

      const support_test::TempDir dir;
      int ready[2];
      ASSERT_EQ(::pipe(ready), 0);
      const pid_t pid = ::fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        support::TAtomicFile file(dir.Path("ausgabe.txt"), 0600, target);
        if (file.Open() != 0) ::_exit(11);
        const std::string chunk(1 << 16, 'x');
        file.Write(chunk);
        file.Flush();
        (void)!::write(ready[1], "w", 1);
        for (int n = 0; n < 256; ++n) {
          file.Write(chunk);
          file.Flush();
        }
        for (;;) ::pause();
      }
      ::close(ready[1]);
      char byte = 0;
      ASSERT_EQ(::read(ready[0], &byte, 1), 1);
      ::close(ready[0]);
      ::kill(pid, signalNumber);
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      ASSERT_TRUE(WIFSIGNALED(status)) << status;
      EXPECT_EQ(WTERMSIG(status), signalNumber);
      EXPECT_EQ(EntriesIn(dir.Path()), 0u);
    }
}

}  // namespace

namespace {

// A library that writes by name (SQLite, libxlsxwriter) writes into the temporary file; the
// result is put in place by Commit, private to its owner when asked, even over a file that
// allowed more. Where no temporary file is made there is no name to hand out.
TEST(AtomicFileTest, ALibraryWritesByNameIntoTheTemporaryFile) {
  const struct {
    bool ownerOnly;
    mode_t before;  // 0: no file stood there
    mode_t after;
  } cases[] = {{true, 0, 0600}, {true, 0644, 0600}, {false, 0640, 0640}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    support_test::TempDir dir;
    const std::string target = dir.Path("archiv.db");
    if (c.before != 0) {
      dir.Write("archiv.db", "alt");
      ::chmod(target.c_str(), c.before);
    }
    support::TAtomicFile file(target);
    if (c.ownerOnly) file.SetOwnerOnly();
    ASSERT_EQ(file.Open(), 0);
    const std::string temp = file.TempPath();
    ASSERT_FALSE(temp.empty());
    EXPECT_NE(temp, target);
    std::ofstream(temp, std::ios::binary) << "neu";
    EXPECT_EQ(ReadAll(target), c.before != 0 ? "alt" : "");
    ASSERT_EQ(file.Commit(), 0);
    EXPECT_EQ(ReadAll(target), "neu");
    EXPECT_EQ(ModeOf(target), c.after);
    EXPECT_FALSE(fs::exists(temp));
  }
  for (const std::string& path : {std::string(), std::string("/dev/null")}) {
    support::TAtomicFile stream(path);
    ASSERT_EQ(stream.Open(), 0);
    EXPECT_EQ(stream.TempPath(), "") << path;
  }
}

}  // namespace
