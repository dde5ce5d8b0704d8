#include <csignal>
#include <exception>
#include <iostream>
#include <new>

#include "commands.h"
#include "datetime.h"
#include "options.h"

int main(int argc, char** argv) {
  // A closed pipe is reported as a write error (exit 2) instead of killing the process silently.
  std::signal(SIGPIPE, SIG_IGN);
  // The time zone is read here, before any worker reads a file (two-digit years).
  ombra::CurrentYear();
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
