// The command line belongs to the program: the real start-up, run as a child process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "test_support.h"

extern char** environ;

namespace quandel::test {
namespace {

struct TProbeRun {
  int exitCode = -1;
  std::vector<std::string> lines;
};

// Runs the probe in `folder` with exactly these arguments after its name.
TProbeRun RunProbe(const std::filesystem::path& folder, const std::vector<std::string>& arguments) {
  std::vector<std::string> strings{QUANDEL_ARGUMENTS_PROBE};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);
  const std::string output = (folder / "ausgabe").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  TProbeRun run;
  pid_t pid = 0;
  {
    const ScopedCwd cwd(folder);
    const ScopedEnv offscreen("QT_QPA_PLATFORM", "offscreen");
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  if (pid <= 0) return run;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  const std::string text = ReadBytes(output);
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
    run.lines.push_back(text.substr(at, end - at));
  return run;
}

TEST(CommandLineTest, EveryArgumentIsTheProgramsAndTheFirstIsTheFile) {
  testdta::TempDir folder;
  for (const char* name : {"-reverse", "quelle.dta", "b\xFCro.dta", "-style"})
    folder.Write(name, SampleFile({Payment("EMPFAENGER", 100, "ZWECK")}));
  struct Case {
    std::vector<std::string> arguments;
    // The name the status text starts with; empty when no file is shown.
    std::string shown;
  };
  const std::vector<Case> cases{
      {{"-reverse"}, "-reverse"},
      {{"quelle.dta", "-reverse"}, "quelle.dta"},
      {{"b\xFCro.dta", "-reverse"}, "b\xC3\xBCro.dta"},
      {{"-style", "fusion"}, "-style"},
      // Qt would end the program for a platform it does not have.
      {{"-platform", "nirgends", "-reverse"}, ""},
      {{"-qwindowgeometry", "10x10", "quelle.dta"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    const TProbeRun run = RunProbe(folder.Path(), c.arguments);
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), c.arguments.size() + 3);
    EXPECT_EQ(run.lines.front(), QUANDEL_ARGUMENTS_PROBE);
    const std::vector<std::string> seen(run.lines.begin() + 1, run.lines.end() - 2);
    EXPECT_EQ(seen, c.arguments);
    EXPECT_EQ(run.lines[run.lines.size() - 2], "links nach rechts");
    const std::string& status = run.lines.back();
    if (c.shown.empty())
      EXPECT_EQ(status, "");
    else
      EXPECT_EQ(status.substr(0, c.shown.size() + 3), c.shown + " - ") << status;
  }
}

}  // namespace
}  // namespace quandel::test
