// The archive walk at its edges: trees deeper than any path the kernel takes, folders that
// may not be searched, links, names meant to forge lines, files that vanish while it runs.
#include <dirent.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "archive_check.h"
#include "dtaus_builder.h"
#include "folder_walk.h"
#include "run_cli.h"
#include "temp_dir.h"

using clitest::Lines;
using clitest::RunCli;
using namespace testdta;
namespace fs = std::filesystem;

namespace {

const std::string kGood = File(ARecord(), {CRecord()});
// The trailer claims three payments where two are read.
std::string WrongCount() {
  std::string wrong = File(ARecord(), {CRecord(), CRecord()});
  wrong.replace(wrong.size() - 128 + 10, 7, "0000003");
  return wrong;
}
const std::string kWrongCountText = ": Anzahl der Zahlungen: Datei 3, gelesen 2";

void WriteAt(int folder, const std::string& name, const std::string& bytes, mode_t mode = 0644) {
  const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  ASSERT_GE(fd, 0) << name;
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

// Removes a tree of any depth relative to open folders; std::filesystem would hand the
// kernel paths longer than it takes.
void RemoveTree(int parent, const std::string& name) {
  const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    ::unlinkat(parent, name.c_str(), 0);
    return;
  }
  std::vector<std::string> names;
  if (DIR* dir = ::fdopendir(::dup(fd))) {
    while (const dirent* entry = ::readdir(dir))
      if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
        names.push_back(entry->d_name);
    ::closedir(dir);
  }
  for (const auto& entry : names) {
    struct stat st {};
    if (::fstatat(fd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
      RemoveTree(fd, entry);
    else
      ::unlinkat(fd, entry.c_str(), 0);
  }
  ::close(fd);
  ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

class FolderWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = dir.Path() / "archiv";
    fs::create_directories(root);
  }
  void Put(const std::string& name, const std::string& bytes) {
    fs::create_directories((root / name).parent_path());
    std::ofstream(root / name, std::ios::binary) << bytes;
  }
  std::string Path(const std::string& name) const { return (root / name).string(); }

  TempDir dir;
  fs::path root;
};

TEST_F(FolderWalkTest, ATreeDeeperThanTheLongestPathIsWalkedToTheBottom) {
  std::string bottom = root.string();
  int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int level = 0; level < 25; ++level) {
    const std::string name(200, static_cast<char>('a' + level));
    ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
    const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(fd);
    fd = next;
    bottom += "/" + name;
  }
  WriteAt(fd, "gut.dta", kGood);
  WriteAt(fd, "falsch.dta", WrongCount());
  ::close(fd);
  ASSERT_GT(bottom.size(), 4096u);

  const auto run = RunCli({"check", root.string()});
  EXPECT_EQ(run.ExitCode, 1) << run.Err;
  EXPECT_EQ(Lines(run.Out),
            (std::vector<std::string>{
                bottom + "/falsch.dta" + kWrongCountText,
                "2 Dateien geprüft: 1 stimmig, 1 mit Abweichungen, 0 nicht lesbar, 0 übersprungen"}));
  const auto json = RunCli({"check", "--json", root.string()});
  ASSERT_EQ(Lines(json.Out).size(), 2u) << json.Out;
  EXPECT_EQ(nlohmann::json::parse(Lines(json.Out)[0]).at("file"), bottom + "/falsch.dta");

  const int rootFd = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  RemoveTree(rootFd, "archiv");
  ::close(rootFd);
}

// An archive of more folders than the process may hold open: every file is still checked.
TEST_F(FolderWalkTest, ManyFoldersNeedNoDescriptorEach) {
  for (int i = 0; i < 150; ++i) Put("kunde" + std::to_string(i) + "/zahlung.dta", kGood);
  clitest::TRunOptions few;
  few.OpenFileLimit = 64;
  for (const char* jobs : {"1", "4"}) {
    const auto run = RunCli({"check", "--jobs", jobs, root.string()}, few);
    EXPECT_EQ(run.ExitCode, 0) << run.Out << run.Err;
    EXPECT_EQ(Lines(run.Out),
              (std::vector<std::string>{"150 Dateien geprüft: 150 stimmig, 0 mit Abweichungen, "
                                        "0 nicht lesbar, 0 übersprungen"}));
  }
}

// Permissions do not bind root: as root the runs are made as the user nobody.
class PermissionTest : public FolderWalkTest {
 protected:
  clitest::TRunOptions AsOrdinaryUser() {
    clitest::TRunOptions options;
    if (::geteuid() == 0) {
      options.User = 65534;
      ::chmod(dir.Path().c_str(), 0755);  // mkdtemp made it private to root
    }
    return options;
  }
};

TEST_F(PermissionTest, WhatCannotBeSearchedOrReadIsReportedAndFailsTheRun) {
  const struct {
    const char* entry;  // made below archiv/ with `mode`
    const char* file;   // a DTAUS file inside, or none
    mode_t mode;
    const char* reported;  // the entry whose line says why
  } cases[] = {
      {"ohne-suchrecht", "a.dta", 0644, "ohne-suchrecht/a.dta"},  // listed, not searched
      {"ohne-leserecht", "a.dta", 0311, "ohne-leserecht"},        // searched, not listed
      {"geheim.dta", nullptr, 0200, "geheim.dta"},                // a file not readable
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    fs::remove_all(root);
    fs::create_directories(root);
    Put("gut.dta", kGood);
    if (c.file != nullptr)
      Put(std::string(c.entry) + "/" + c.file, kGood);
    else
      Put(c.entry, kGood);
    ::chmod(Path(c.entry).c_str(), c.mode);

    const auto run = RunCli({"check", root.string()}, AsOrdinaryUser());
    EXPECT_EQ(run.ExitCode, 1) << run.Out << run.Err;
    EXPECT_EQ(Lines(run.Out),
              (std::vector<std::string>{
                  Path(c.reported) + ": nicht lesbar: Zugriff verweigert",
                  "2 Dateien geprüft: 1 stimmig, 0 mit Abweichungen, 1 nicht lesbar, 0 übersprungen"}));
    const auto json = RunCli({"check", "--json", root.string()}, AsOrdinaryUser());
    EXPECT_EQ(json.ExitCode, 1);
    EXPECT_NE(json.Out.find(R"({"file":")" + Path(c.reported) +
                            R"(","ok":false,"error":"Zugriff verweigert","findings":[]})"),
              std::string::npos)
        << json.Out;
    // The other commands over an archive say so on standard error, in the same words.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"find", "--name", "x", root.string()},
          std::vector<std::string>{"duplicates", root.string()},
          std::vector<std::string>{"list", root.string()}}) {
      const auto other = RunCli(args, AsOrdinaryUser());
      EXPECT_EQ(other.ExitCode, 1) << args.front() << ": " << other.Err;
      EXPECT_NE(other.Err.find("quandel-cli: " + Path(c.reported) + ": nicht lesbar: Zugriff verweigert\n"),
                std::string::npos)
          << args.front() << ": " << other.Err;
    }
    ::chmod(Path(c.entry).c_str(), 0755);
  }
}

// find, duplicates, list and sqlite name skipped files on standard error only when asked
// (--verbose), and name files as check does, escaped.
TEST_F(FolderWalkTest, OtherArchiveCommandsNameSkippedFilesWhenAskedAndEscapeNames) {
  Put("gut.dta", kGood);
  Put("notiz.txt", "kein DTAUS");
  Put("zwei\nzeilen.dta", kGood);
  const std::string skipped = "quandel-cli: " + Path("notiz.txt") + ": übersprungen: keine DTAUS-Datei\n";
  const std::string database = (dir.Path() / "archiv.db").string();
  for (const std::string command : {"find", "duplicates", "list", "sqlite"}) {
    SCOPED_TRACE(command);
    std::vector<std::string> args{command, root.string()};
    if (command == "find") args = {command, "--amount", "0..", root.string()};
    if (command == "sqlite") args = {command, "-o", database, root.string()};
    const auto quiet = RunCli(args);
    EXPECT_EQ(quiet.Err.find("übersprungen: keine"), std::string::npos) << quiet.Err;
    args.insert(args.begin() + 1, "--verbose");
    const auto verbose = RunCli(args);
    EXPECT_NE(verbose.Err.find(skipped), std::string::npos) << verbose.Err;
    // No line of either stream begins inside a name.
    for (const auto& line : Lines(verbose.Out + verbose.Err))
      EXPECT_FALSE(line.starts_with("zeilen.dta")) << line;
    if (command != "sqlite") {  // which prints no file it read in order
      EXPECT_NE(verbose.Out.find(Path("zwei\\nzeilen.dta")), std::string::npos) << verbose.Out;
    }
  }
}

TEST_F(FolderWalkTest, AFileGoneBetweenListingAndReadingHasVanished) {
  const struct {
    const char* name;
    void (*change)(const fs::path&);
    cli::TFileStatus status;
    std::string line;
  } cases[] = {
      {"weg.dta", [](const fs::path& p) { fs::remove(p); }, cli::TFileStatus::Vanished,
       ": verschwunden: seit dem Auflisten des Ordners verschwunden\n"},
      {"ordner.dta",
       [](const fs::path& p) {
         fs::remove(p);
         fs::create_directory(p);
       },
       cli::TFileStatus::Vanished, ": verschwunden: seit dem Auflisten durch etwas anderes ersetzt\n"},
      {"pipe.dta",
       [](const fs::path& p) {
         fs::remove(p);
         ::mkfifo(p.c_str(), 0600);
       },
       cli::TFileStatus::Vanished, ": verschwunden: seit dem Auflisten durch etwas anderes ersetzt\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Put(c.name, kGood);
    cli::TWalk walk = cli::WalkPaths({root.string()});
    ASSERT_EQ(walk.Files.size(), 1u);
    c.change(root / c.name);
    cli::TArchiveOptions options;
    const auto verdict = cli::CheckOneFile(walk.Files[0], options, {});
    EXPECT_EQ(verdict.Status, c.status);
    EXPECT_EQ(verdict.Line, Path(c.name) + c.line);
    fs::remove_all(root / c.name);
  }
  EXPECT_EQ(cli::SummaryLine({1, 0, 0, 0, 3}),
            "1 Datei geprüft: 1 stimmig, 0 mit Abweichungen, 0 nicht lesbar, 0 übersprungen, 3 verschwunden");
}

TEST_F(FolderWalkTest, NamesCannotForgeLinesNorPassForOthers) {
  // In the order of their bytes, as the walk sorts them.
  const std::string names[] = {"M\xC3\xBCller_.dta", "M\xFCller_.dta", "farbe\x1b[31m.dta", "schr\\xFCg.dta",
                               "zeile\nneu.dta"};
  const std::string shown[] = {"Müller_.dta", "M\\xFCller_.dta", "farbe\\x1b[31m.dta", "schr\\\\xFCg.dta",
                               "zeile\\nneu.dta"};
  for (const auto& name : names) Put(name, WrongCount());

  const auto run = RunCli({"check", root.string()});
  std::vector<std::string> expected;
  for (const auto& name : shown) expected.push_back(Path(name) + kWrongCountText);
  expected.push_back("5 Dateien geprüft: 0 stimmig, 5 mit Abweichungen, 0 nicht lesbar, 0 übersprungen");
  EXPECT_EQ(Lines(run.Out), expected);

  const auto json = RunCli({"check", "--json", root.string()});
  const auto lines = Lines(json.Out);
  ASSERT_EQ(lines.size(), std::size(names)) << json.Out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(shown[i]);
    const auto object = nlohmann::json::parse(lines[i]);
    EXPECT_EQ(object.at("file"), Path(shown[i]));
    const std::string full = Path(names[i]);
    if (i == 0) {
      EXPECT_FALSE(object.contains("file_bytes"));
    } else {
      ASSERT_TRUE(object.contains("file_bytes"));
      EXPECT_EQ(object.at("file_bytes").get<std::vector<unsigned char>>(),
                std::vector<unsigned char>(full.begin(), full.end()));
    }
  }
  // The full report of a single file names it the same way.
  const auto single = RunCli({"check", Path(names[4])});
  EXPECT_EQ(Lines(single.Out).front(), "Prüfbericht für " + Path(shown[4]));
}

TEST_F(FolderWalkTest, BytesFromTheFileCannotForgeLines) {
  const struct {
    std::string count;  // the trailer's count field, seven bytes
    std::string shown;
  } cases[] = {
      {"0\n\x1b[2J1", "0\\n\\x1b[2J1"},
      {"00\r\t\x7f"
       "01",
       "00\\r\\t\\x7f01"},
      {"000\x81\x9d"
       "01",
       "000\\u0081\\u009d01"},  // bytes Windows-1252 leaves unassigned
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    std::string bytes = File(ARecord(), {CRecord()});
    bytes.replace(bytes.size() - 128 + 10, 7, c.count);
    Put("feld.dta", bytes);
    const std::string text =
        "Anzahl der Zahlungen: Feld im E-Satz „" + c.shown + "“ ist keine Zahl, gelesen 1";

    EXPECT_EQ(Lines(RunCli({"check", root.string()}).Out),
              (std::vector<std::string>{
                  Path("feld.dta") + ": " + text,
                  "1 Datei geprüft: 0 stimmig, 1 mit Abweichungen, 0 nicht lesbar, 0 übersprungen"}));
    const auto single = RunCli({"check", Path("feld.dta")});
    EXPECT_NE(single.Out.find("\n" + text + " - ABWEICHUNG\n"), std::string::npos) << single.Out;
    const auto json = nlohmann::json::parse(RunCli({"check", "--json", Path("feld.dta")}).Out);
    EXPECT_EQ(json.at("findings").at(0).at("found"), c.shown);
  }
}

TEST_F(FolderWalkTest, LinksToFoldersAreFollowedOnlyWhenNamed) {
  fs::create_directories(dir.Path() / "anderswo");
  std::ofstream(dir.Path() / "anderswo" / "falsch.dta", std::ios::binary) << WrongCount();
  fs::create_directory_symlink("../anderswo", root / "ordner-link");
  fs::create_symlink("../anderswo/falsch.dta", root / "datei-link.dta");
  fs::create_directory_symlink("/proc", root / "proc");

  const struct {
    std::vector<std::string> args;
    std::vector<std::string> lines;
  } cases[] = {
      {{"check", "--verbose", root.string()},
       {Path("datei-link.dta") + kWrongCountText,
        Path("ordner-link") + ": übersprungen: Verknüpfung auf einen Ordner; nicht verfolgt",
        Path("proc") + ": übersprungen: Verknüpfung auf einen Ordner; nicht verfolgt",
        "1 Datei geprüft: 0 stimmig, 1 mit Abweichungen, 0 nicht lesbar, 2 übersprungen"}},
      {{"check", root.string()},
       {Path("datei-link.dta") + kWrongCountText,
        "1 Datei geprüft: 0 stimmig, 1 mit Abweichungen, 0 nicht lesbar, 2 übersprungen"}},
      {{"check", Path("ordner-link")},
       {Path("ordner-link") + "/falsch.dta" + kWrongCountText,
        "1 Datei geprüft: 0 stimmig, 1 mit Abweichungen, 0 nicht lesbar, 0 übersprungen"}},
  };
  for (const auto& c : cases) {
    const auto run = RunCli(c.args);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(Lines(run.Out), c.lines);
  }
}

TEST_F(FolderWalkTest, FilesNamedLikeDtausAreCheckedWhateverTheyStartWith) {
  constexpr const char* kUnreadable =
      "4 Dateien geprüft: 0 stimmig, 0 mit Abweichungen, 4 nicht lesbar, 1 übersprungen";
  const struct {
    std::string content;
    const char* summary;
  } cases[] = {
      {"", kUnreadable},                            // empty
      {kGood.substr(0, 3), kUnreadable},            // cut short before the record type
      {"\xEF\xBB\xBF" + kGood, kUnreadable},        // a byte order mark before it
      {"  " + kGood, kUnreadable},                  // blanks before it
      {kGood.substr(0, 4) + "a" + kGood.substr(5),  // a lowercase record type: read, and
       "4 Dateien geprüft: 0 stimmig, 4 mit Abweichungen, 0 nicht lesbar, 1 übersprungen"},  // found
  };
  const std::string dtausNames[] = {"x.dta", "Y.DTA", "DTAUS0.TXT", "dtaus-maerz"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content.substr(0, 8));
    fs::remove_all(root);
    for (const auto& name : dtausNames) Put(name, c.content);
    Put("notiz.txt", c.content);

    const auto run = RunCli({"check", "--verbose", root.string()});
    EXPECT_EQ(run.ExitCode, 1);
    const auto lines = Lines(run.Out);
    ASSERT_EQ(lines.size(), std::size(dtausNames) + 2) << run.Out;
    std::set<std::string> reported;
    for (std::size_t l = 0; l + 1 < lines.size(); ++l)
      reported.insert(lines[l].substr(0, lines[l].find(": ")));
    std::set<std::string> expected{Path("notiz.txt")};
    for (const auto& name : dtausNames) expected.insert(Path(name));
    EXPECT_EQ(reported, expected);
    EXPECT_NE(run.Out.find(Path("notiz.txt") + ": übersprungen: keine DTAUS-Datei\n"), std::string::npos);
    EXPECT_EQ(lines.back(), c.summary);
  }
}

TEST_F(FolderWalkTest, ANameThatCannotBeLookedAtFailsAloneAsAmongOthers) {
  Put("gut.dta", kGood);
  fs::create_symlink("schleife", root / "schleife");
  std::string tooLong = root.string();
  while (tooLong.size() <= 4096) tooLong += "/x";
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {{Path("schleife"), "Zu viele symbolische Verknüpfungen"}, {tooLong, "Dateiname zu lang"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    const auto alone = RunCli({"check", c.path});
    EXPECT_EQ(alone.ExitCode, 1) << alone.Err;
    EXPECT_EQ(alone.Err, "");
    EXPECT_NE(alone.Out.find("Grund: " + c.reason + "\n"), std::string::npos) << alone.Out;
    const auto among = RunCli({"check", c.path, Path("gut.dta")});
    EXPECT_EQ(among.ExitCode, 1);
    EXPECT_EQ(Lines(among.Out).front(), c.path + ": nicht lesbar: " + c.reason);
  }
}

// A bank directory whose every answer needs more memory than there is.
class TExhaustedDirectory final : public ombra::TBankDirectory {
 public:
  std::optional<ombra::TBank> FindBank(std::string_view) const override { throw std::bad_alloc(); }
  ombra::TAccountVerdict CheckAccount(std::string_view, std::string_view) const override {
    throw std::bad_alloc();
  }
  std::string DataDate() const override { return "20260101"; }
};

TEST_F(FolderWalkTest, OutOfMemoryEndsTheFileNotTheRun) {
  Put("gut.dta", kGood);
  const TExhaustedDirectory banks;
  const struct {
    bool json;
    std::string line;
  } cases[] = {
      {false, Path("gut.dta") + ": nicht lesbar: Nicht genügend Arbeitsspeicher\n"},
      {true, R"({"file":")" + Path("gut.dta") +
                 R"(","ok":false,"error":"Nicht genügend Arbeitsspeicher","findings":[]})" + "\n"},
  };
  for (const auto& c : cases) {
    cli::TArchiveOptions options;
    options.Banks = &banks;
    options.Json = c.json;
    for (const auto& candidate : cli::WalkPaths({root.string(), Path("gut.dta")}).Files) {
      const auto verdict = cli::CheckOneFile(candidate, options, {});
      EXPECT_EQ(verdict.Status, cli::TFileStatus::Unreadable);
      EXPECT_EQ(verdict.Line, c.line);
    }
  }
}

// 25 GiB of NULs after the trailer, as a sparse file: read in bounded memory (and time, the
// hole being passed over), whatever the machine holds.
TEST_F(FolderWalkTest, AFileWithGigabytesOfPaddingReadsInBoundedMemory) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "The sanitizers reserve terabytes of address space; a limit on it would end any run.";
#else
  const std::string file = Path("gepolstert.dta");
  Put("gepolstert.dta", kGood);
  ASSERT_EQ(::truncate(file.c_str(), std::int64_t{25} << 30), 0);
  clitest::TRunOptions limited;
  limited.AddressSpaceLimit = rlim_t{1} << 30;
  const struct {
    std::vector<std::string> args;
    std::string expected;
  } cases[] = {
      {{"check", file}, "Ergebnis: keine Abweichungen."},
      {{"check", "--json", file}, R"("ok":true,"payments":1,"verdict":"Datei in sich stimmig")"},
      {{"json", file}, R"("ErrorText": "")"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front());
    const auto run = RunCli(c.args, limited);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_NE(run.Out.find(c.expected), std::string::npos) << run.Out.substr(0, 2000);
  }
#endif
}

// Standard output and error on one terminal, as an auditor at a console has them: every
// report line comes at once and on a line of its own, never glued to the progress.
TEST_F(FolderWalkTest, ProgressIsClearedBeforeOutputOnTheSameTerminal) {
  Put("a.dta", WrongCount());
  Put("b.dta", WrongCount());
  int master = -1;
  int slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  clitest::TArgv argv({"check", "--jobs", "1", root.string()});
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::setsid();
    if (::dup2(slave, 1) < 0 || ::dup2(slave, 2) < 0) ::_exit(127);
    ::close(master);
    ::setenv("LC_ALL", "C", 1);
    ::execv(argv.Program(), argv.Pointers());
    ::_exit(127);
  }
  ::close(slave);
  std::string screen;
  char chunk[4096];
  for (ssize_t n; (n = ::read(master, chunk, sizeof chunk)) > 0;)
    screen.append(chunk, static_cast<std::size_t>(n));
  ::close(master);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_EQ(WEXITSTATUS(status), 1);

  const auto first = screen.find(Path("a.dta") + kWrongCountText);
  const auto second = screen.find(Path("b.dta") + kWrongCountText);
  const auto progress = screen.find("] 1 von 2 Dateien");
  ASSERT_NE(first, std::string::npos) << screen;
  ASSERT_NE(second, std::string::npos) << screen;
  ASSERT_NE(progress, std::string::npos) << screen;
  EXPECT_LT(first, progress) << screen;  // the first line did not wait for the end
  EXPECT_LT(progress, second) << screen;
  EXPECT_EQ(screen[second - 1], '\r') << screen;  // the progress was cleared before it
  const auto summary = screen.find("2 Dateien geprüft");
  ASSERT_NE(summary, std::string::npos) << screen;
  EXPECT_EQ(screen[summary - 1], '\r') << screen;
}

TEST(DefaultJobsTest, AsManyAsTheBiggestFilesFitIntoFreeMemory) {
  constexpr std::int64_t kMiB = 1 << 20;
  const struct {
    std::vector<std::int64_t> sizes;
    std::uint64_t available;
    unsigned processors;
    unsigned jobs;
  } cases[] = {
      {{kMiB, kMiB, kMiB, kMiB}, 1024 * kMiB, 4, 4},              // small files: one per processor
      {{kMiB, kMiB}, 1024 * kMiB, 8, 2},                          // no more than there are files
      {{300 * kMiB, 300 * kMiB, kMiB, kMiB}, 1000 * kMiB, 4, 1},  // two big ones do not fit together
      {{300 * kMiB, 10 * kMiB, 300 * kMiB}, 1820 * kMiB, 4, 2},
      {{4000 * kMiB}, 100 * kMiB, 4, 1},  // one at a time, whatever it costs
      {{-1, kMiB}, 0, 2, 1},              // unknown memory: one
      {{}, 1024 * kMiB, 4, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(cli::DefaultJobs(c.sizes, c.available, c.processors), c.jobs);
}

}  // namespace
