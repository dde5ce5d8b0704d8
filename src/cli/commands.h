#pragma once
// The commands of quandel-cli; each returns the program's exit code.
#include <ostream>

#include "options.h"
#include "regional.h"

namespace cli {

// Resolves the regional settings and runs the chosen command. `err` receives German messages.
int Run(const TInvocation& invocation, std::ostream& err);

int RunHtml(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err);
int RunJson(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err);
int RunCsv(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err);
int RunCheck(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err);
int RunSqlite(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err);
int RunXlsx(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err);

}  // namespace cli
