#pragma once
// The German report of one file's check, as `check` prints it for a single file: every
// comparison with its verdict, then the result.
#include <optional>
#include <string>
#include <vector>

#include "check.h"

namespace cli {

struct TCheckReport {
  std::vector<std::string> Lines;  // UTF-8
  int Discrepancies = 0;
};

// `accountsLine` (UTF-8) stands before the account findings when accounts were checked.
TCheckReport FormatCheckReport(const std::string& fileName, const ombra::TFileCheck& check,
                               const std::optional<std::string>& accountsLine = std::nullopt);

}  // namespace cli
