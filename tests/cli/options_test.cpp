#include <sstream>

#include <gtest/gtest.h>

#include "options.h"
#include "version.h"

using cli::TCommand;
using cli::TInvocation;

namespace {

struct TParse {
  std::optional<int> ExitCode;
  TInvocation Invocation;
  std::string Out;
  std::string Err;
};

TParse Parse(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"quandel-cli"};
  for (const auto& a : args) argv.push_back(a.c_str());
  TParse result;
  std::ostringstream out, err;
  result.ExitCode =
      cli::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), result.Invocation, out, err);
  result.Out = out.str();
  result.Err = err.str();
  return result;
}

TEST(CommandLineTest, FillsTheInvocationOfEachCommand) {
  auto p = Parse({"html", "a.dta", "-o", "b.html", "--locale", "en_US"});
  EXPECT_FALSE(p.ExitCode);
  EXPECT_EQ(p.Invocation.Command, TCommand::Html);
  EXPECT_EQ(p.Invocation.File, "a.dta");
  EXPECT_EQ(p.Invocation.Output, "b.html");
  EXPECT_EQ(p.Invocation.Locale, "en_US");

  p = Parse({"csv", "--ausgabe=x.csv", "a.dta"});
  EXPECT_FALSE(p.ExitCode);
  EXPECT_EQ(p.Invocation.Command, TCommand::Csv);
  EXPECT_EQ(p.Invocation.Output, "x.csv");
  EXPECT_FALSE(p.Invocation.Locale);

  p = Parse({"json", "a.dta"});
  EXPECT_EQ(p.Invocation.Command, TCommand::Json);
  EXPECT_EQ(p.Invocation.Output, "");

  p = Parse({"check", "-", "--locale", "de_DE"});
  EXPECT_FALSE(p.ExitCode);
  EXPECT_EQ(p.Invocation.Command, TCommand::Check);
  EXPECT_EQ(p.Invocation.Paths, std::vector<std::string>{"-"});
  EXPECT_FALSE(p.Invocation.Accounts || p.Invocation.Json);
  EXPECT_EQ(p.Invocation.Jobs, 0u);

  p = Parse({"check", "--accounts", "a.dta", "ordner", "--json", "--jobs", "3"});
  EXPECT_FALSE(p.ExitCode);
  EXPECT_EQ(p.Invocation.Paths, (std::vector<std::string>{"a.dta", "ordner"}));
  EXPECT_TRUE(p.Invocation.Accounts && p.Invocation.Json);
  EXPECT_EQ(p.Invocation.Jobs, 3u);
}

TEST(CommandLineTest, FillsTheInvocationOfTheArchiveCommands) {
  auto p = Parse({"find", "--name", "Müller", "--purpose", "miete", "--account", "200 505 50/123", "--amount",
                  "1..2", "--date", "2012", "--json", "--jobs", "2", "a", "b"});
  EXPECT_FALSE(p.ExitCode) << p.Err;
  EXPECT_EQ(p.Invocation.Command, TCommand::Find);
  EXPECT_EQ(p.Invocation.FindName, "Müller");
  EXPECT_EQ(p.Invocation.FindPurpose, "miete");
  EXPECT_EQ(p.Invocation.FindAccount, "200 505 50/123");
  EXPECT_EQ(p.Invocation.FindAmount, "1..2");
  EXPECT_EQ(p.Invocation.FindDate, "2012");
  EXPECT_TRUE(p.Invocation.Json);
  EXPECT_EQ(p.Invocation.Jobs, 2u);
  EXPECT_EQ(p.Invocation.Paths, (std::vector<std::string>{"a", "b"}));

  p = Parse({"duplicates", "--loose", "a"});
  EXPECT_FALSE(p.ExitCode);
  EXPECT_EQ(p.Invocation.Command, TCommand::Duplicates);
  EXPECT_TRUE(p.Invocation.Loose);
  EXPECT_FALSE(p.Invocation.Json);

  p = Parse({"list", "--csv", "--accounts", "a"});
  EXPECT_FALSE(p.ExitCode);
  EXPECT_EQ(p.Invocation.Command, TCommand::List);
  EXPECT_TRUE(p.Invocation.Csv && p.Invocation.Accounts);
  EXPECT_FALSE(p.Invocation.FindName);
}

TEST(CommandLineTest, HelpAndVersionEndWithZeroOnStandardOutput) {
  auto p = Parse({"--version"});
  EXPECT_EQ(p.ExitCode, 0);
  EXPECT_EQ(p.Out, "Quandel " QUANDEL_VERSION ", build " QUANDEL_BUILD_NUMBER "\n");

  p = Parse({"check", "-h"});
  EXPECT_EQ(p.ExitCode, 0);
  EXPECT_NE(p.Out.find("Aufruf: quandel-cli check"), std::string::npos) << p.Out;
  EXPECT_EQ(p.Out.find("OPTIONS"), std::string::npos) << p.Out;
  EXPECT_EQ(p.Out.find("Options"), std::string::npos) << p.Out;
  EXPECT_EQ(p.Err, "");
}

TEST(CommandLineTest, UsageErrorsAreExplainedInGerman) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "quandel-cli: Es fehlt der Befehl (html, json, csv, check, find, duplicates oder list).\n"},
      {{"zeigen", "a.dta"}, "quandel-cli: Unbekannter Befehl „zeigen“.\n"},
      {{"csv"}, "quandel-cli: Es fehlt die Angabe DATEI.\n"},
      {{"html", "a.dta", "b.dta", "c.dta"}, "quandel-cli: Unerwartete Angabe: „b.dta“ „c.dta“.\n"},
      {{"html", "--schnell", "a.dta"}, "quandel-cli: Unbekannte Option „--schnell“.\n"},
      {{"html", "a.dta", "-o"}, "quandel-cli: Die Option --ausgabe braucht genau einen Wert.\n"},
      {{"check"}, "quandel-cli: Es fehlt die Angabe PFAD.\n"},
      {{"check", "--jobs", "0", "a.dta"}, "quandel-cli: Ungültige Angabe bei --jobs.\n"},
      {{"list", "--json", "--csv", "a.dta"},
       "quandel-cli: Die Optionen --json und --csv schließen einander aus.\n"},
      {{"find", "--name"}, "quandel-cli: Die Option --name braucht genau einen Wert.\n"},
      {{"duplicates", "--csv", "a.dta"}, "quandel-cli: Unbekannte Option „--csv“.\n"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    const auto p = Parse(args);
    EXPECT_EQ(p.ExitCode, cli::kExitUsage);
    EXPECT_EQ(p.Err, message + "Hilfe: quandel-cli --help\n");
    EXPECT_EQ(p.Out, "");
  }
}

}  // namespace
