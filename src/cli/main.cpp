#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>

#include "commands.h"
#include "options.h"

namespace {

// A document of a million payments is millions of small blocks; on transparent huge pages
// walking them costs about half the time. glibc reads this setting only when a process
// starts, so the tool starts itself once more with it. Failing that, it simply goes on.
void RestartWithHugePages(char** argv) {
  if (std::getenv("GLIBC_TUNABLES") != nullptr) return;
  if (setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1) != 0) return;
  execv("/proc/self/exe", argv);
}

}  // namespace

int main(int argc, char** argv) {
  RestartWithHugePages(argv);
  // A closed pipe is reported as a write error (exit 2) instead of killing the process silently.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    cli::TInvocation invocation;
    if (const auto exitCode = cli::ParseCommandLine(argc, argv, invocation, std::cout, std::cerr))
      return *exitCode;
    return cli::Run(invocation, std::cerr);
  } catch (const std::bad_alloc&) {
    std::cerr << "quandel-cli: Nicht genügend Arbeitsspeicher.\n";
  } catch (const std::exception&) {
    std::cerr << "quandel-cli: Unerwarteter interner Fehler.\n";
  }
  return cli::kExitUsage;
}
