// The man page is written by hand, the --help texts come from the option parser: these tests
// keep the two from drifting apart.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "run_cli.h"

namespace {

using Words = std::set<std::string>;

const Words kCommands = {"html", "json", "csv", "check", "find", "duplicates", "list", "xlsx", "sqlite"};

Words OptionsIn(const std::string& text) {
  static const std::regex option(R"((^|[\s,\[*|])(--?[a-z][a-z-]*))");
  Words found;
  for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it)
    found.insert((*it)[2]);
  return found;
}

std::string Help(const std::string& command) {
  const auto run = command.empty() ? clitest::RunCli({"--help"}) : clitest::RunCli({command, "--help"});
  EXPECT_EQ(run.ExitCode, 0) << command;
  // Only the option list: the description above it may name options of other commands.
  const auto start = run.Out.find("Optionen:");
  const auto end = run.Out.find("Rückgabewert:");
  return run.Out.substr(start, end - start);
}

std::string ManualSection(const std::string& manual, const std::string& heading) {
  const auto start = manual.find("\n# " + heading + "\n");
  if (start == std::string::npos) return {};
  const auto end = manual.find("\n# ", start + 1);
  return manual.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The synopsis line of a command: "*quandel-cli* *csv* [...]".
std::string SynopsisOf(const std::string& manual, const std::string& command) {
  std::istringstream lines(ManualSection(manual, "ÜBERSICHT"));
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("*quandel-cli* *" + command + "*", 0) == 0) return line;
  return {};
}

class ManualTest : public ::testing::Test {
 protected:
  const std::string manual_ = clitest::ReadBytes(QUANDEL_CLI_MANUAL);
};

TEST_F(ManualTest, ListsTheCommandsTheHelpLists) {
  const auto run = clitest::RunCli({"--help"});
  Words inHelp;
  std::istringstream lines(run.Out.substr(run.Out.find("Befehle:")));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string first;
    if (words >> first && kCommands.count(first) != 0) inHelp.insert(first);
  }
  EXPECT_EQ(inHelp, kCommands);

  Words inManual;
  static const std::regex entry(R"(\n\*([a-z]+)\*\n)");
  const std::string section = ManualSection(manual_, "BEFEHLE");
  for (std::sregex_iterator it(section.begin(), section.end(), entry), end; it != end; ++it)
    inManual.insert((*it)[1]);
  EXPECT_EQ(inManual, kCommands);
}

TEST_F(ManualTest, EachSynopsisHasTheOptionsOfItsCommand) {
  for (const std::string& command : kCommands) {
    Words help = OptionsIn(Help(command));
    help.erase("-h");
    help.erase("--help");
    Words synopsis = OptionsIn(SynopsisOf(manual_, command));
    // The synopsis shows the short form where there is one.
    if (synopsis.count("-o") != 0) synopsis.insert("--ausgabe");
    EXPECT_EQ(synopsis, help) << command;
  }
}

TEST_F(ManualTest, DescribesEveryOptionAndNoOther) {
  Words help = OptionsIn(Help(""));
  for (const std::string& command : kCommands) help.merge(OptionsIn(Help(command)));
  EXPECT_EQ(OptionsIn(ManualSection(manual_, "OPTIONEN")), help);
}

TEST_F(ManualTest, GivesTheExitCodesTheHelpGives) {
  const auto run = clitest::RunCli({"--help"});
  const std::string codes = ManualSection(manual_, "RÜCKGABEWERT");
  for (const char* code : {"0", "1", "2"}) {
    EXPECT_NE(run.Out.find(std::string(code) + " "), std::string::npos) << code;
    EXPECT_NE(codes.find(std::string("*") + code + "*"), std::string::npos) << code;
  }
}

}  // namespace
