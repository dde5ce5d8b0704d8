#pragma once
// The German report of one file's check, as `check` prints it for a single file: every
// comparison with its verdict, both verdicts as VerdictLines words them, then the accounts
// checked with their findings, then the result.
#include <string>
#include <vector>

#include "check.h"

namespace cli {

struct TCheckReport {
  std::vector<std::string> Lines;  // UTF-8
  int Discrepancies = 0;           // errors of the file in itself (and a failed load)
};

TCheckReport FormatCheckReport(const std::string& fileName, const ombra::TFileCheck& check);

// Why a load failed, in the words of every command (UTF-8): "Beim Lesen der Datei x ist ein
// Fehler aufgetreten.", "Grund: …" and, after a damage, how much was read before it.
std::vector<std::string> LoadFailureLines(const std::string& fileName, const std::string& loadError,
                                          const ombra::TLoadDamage& damage);

}  // namespace cli
