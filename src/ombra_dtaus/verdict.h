#pragma once
// The two verdicts on a checked file, worded once for the viewer, the printout and the command
// line alike:
//   1. the file in itself: "Datei in sich stimmig" or "Datei nicht stimmig" (records, count,
//      total, both check sums, currency, what follows the E record); an error here is one;
//   2. "Kontenprüfung nach Bankverzeichnis vom 20.04.2020": check digits and bank codes judged
//      by today's directory; never an error of the file, at most a matter for a look.
// Every text here is UTF-8 (the check mark of the headline has no Windows-1252 byte), unlike
// the findings' own sentences, which are Windows-1252 like the document.
#include <cstdint>
#include <string>
#include <vector>

#include "check.h"

namespace ombra {

enum class TFileVerdict {
  Consistent,     // "Datei in sich stimmig"
  NotConsistent,  // "Datei nicht stimmig"
  Unreadable,     // the load failed: nothing to compare
};

enum class TAccountsVerdict {
  NotChecked,  // no directory
  AllValid,    // every account passed
  Findings,    // at least one account or bank code to look at
};

TFileVerdict FileVerdictOf(const TFileCheck& check);
TAccountsVerdict AccountsVerdictOf(const TFileCheck& check);

// "Datei in sich stimmig", "Datei nicht stimmig", "Datei nicht lesbar".
std::string FileVerdictText(TFileVerdict verdict);

// "Kontenprüfung nach Bankverzeichnis vom 20.04.2020"; without the day when it is unknown.
std::string AccountsTitle(const std::string& directoryDate);

// What the account check found: "alle Konten gültig", or the counts per kind, "1 Prüfziffer
// falsch, 2 Bankleitzahlen unbekannt, 1 Konto nicht prüfbar"; "nicht geprüft (kein
// Bankverzeichnis)" when there was no directory.
std::string AccountsResult(const TAccountTally& tally);

// Why a finding of the account check is no error of the file; empty when the directory is not
// newer than the file (DirectoryNewer).
std::string AccountsCaveat(const TAccountTally& tally);

// Both verdicts as a report states them, a line each: "Datei in sich stimmig", then
// "Kontenprüfung nach Bankverzeichnis vom 20.04.2020: 1 Prüfziffer falsch", then
// "Hinweis: " and the caveat when there is one.
std::vector<std::string> VerdictLines(const TFileCheck& check);

// One line with both verdicts: "In sich stimmig ✓ · Konten: 1 Prüfziffer falsch, 2
// Bankleitzahlen unbekannt (Verzeichnis vom 20.04.2020)".
std::string Headline(const TFileCheck& check);

// A name per finding kind for machines and filters: "field", "count", "total", "checksum",
// "trailer", "bank_code", "account", "account_not_checked", "unknown_bank".
const char* KindCode(TFindingKind kind);
// The kind as the findings panel and reports name it: "Feldprüfung", "Anzahl", "Summe",
// "Prüfsumme", "Dateiende", "Bankleitzahl", "Prüfziffer", "Konto nicht prüfbar",
// "Bankleitzahl unbekannt".
const char* KindText(TFindingKind kind);

}  // namespace ombra
