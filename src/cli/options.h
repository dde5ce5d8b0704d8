#pragma once
// The command line of quandel-cli.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // file not loaded, or the check found discrepancies
inline constexpr int kExitUsage = 2;   // wrong call, or the output cannot be written

enum class TCommand { Html, Json, Csv, Check, Find, Duplicates, List, Sqlite, Xlsx };

struct TInvocation {
  TCommand Command = TCommand::Html;
  std::string File;
  std::string Output;  // empty: standard output
  std::optional<std::string> Locale;
  // the commands over files and folders: paths, account verdicts, JSON lines, files read at once
  std::vector<std::string> Paths;
  bool Accounts = false;
  bool Json = false;
  bool Verbose = false;  // check, find, duplicates, list, sqlite: skipped files named too
  unsigned Jobs = 0;     // 0: one per processor, as far as free memory allows
  bool Banks = false;    // json, csv, xlsx: bank, place and account verdict per payment
  bool Partial = false;  // json, csv: of a damaged file what was read before the damage
  // find: the conditions as typed; each one given must hold
  std::optional<std::string> FindName;
  std::optional<std::string> FindPurpose;
  std::optional<std::string> FindAccount;
  std::optional<std::string> FindAmount;
  std::optional<std::string> FindDate;
  bool Loose = false;  // duplicates: payments compared without their purpose
  bool Csv = false;    // list: a CSV table instead of lines
};

// Fills `invocation`, or returns the exit code when the program ends here: after the help or
// the version (0) or a usage error (2, German message on `err`).
std::optional<int> ParseCommandLine(int argc, const char* const* argv, TInvocation& invocation,
                                    std::ostream& out, std::ostream& err);

}  // namespace cli
