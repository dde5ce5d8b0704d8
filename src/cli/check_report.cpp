#include "check_report.h"

#include "json_export.h"
#include "shown_text.h"

namespace cli {
namespace {

const char* Verdict(ombra::TSeverity severity) {
  switch (severity) {
    case ombra::TSeverity::None: return " - in Ordnung";
    case ombra::TSeverity::Warning: return " - Hinweis";
    case ombra::TSeverity::Error: return " - ABWEICHUNG";
  }
  return "";
}

std::string Result(int discrepancies, int warnings) {
  std::string text = discrepancies == 0   ? std::string("keine Abweichungen")
                     : discrepancies == 1 ? std::string("1 Abweichung gefunden")
                                          : std::to_string(discrepancies) + " Abweichungen gefunden";
  if (warnings == 1) text += ", 1 Hinweis";
  if (warnings > 1) text += ", " + std::to_string(warnings) + " Hinweise";
  return "Ergebnis: " + text + ".";
}

}  // namespace

TCheckReport FormatCheckReport(const std::string& fileName, const ombra::TFileCheck& check,
                               const std::optional<std::string>& accountsLine) {
  using ombra::TFindingKind;
  using ombra::TSeverity;
  TCheckReport report;
  auto& lines = report.Lines;
  lines.push_back("Prüfbericht für " + FileNameToUtf8(fileName));

  bool anyFieldCheck = false;
  for (const auto& finding : check.Findings) {
    if (finding.Kind != TFindingKind::FieldCheck) continue;
    lines.push_back("Feldprüfung: " + support::ShownCp1252(finding.Text) + " - ABWEICHUNG");
    ++report.Discrepancies;
    anyFieldCheck = true;
  }
  if (!check.Loaded) {
    lines.push_back("Beim Lesen der Datei " + FileNameToUtf8(fileName) + " ist ein Fehler aufgetreten.");
    if (!check.LoadError.empty()) lines.push_back("Grund: " + support::ShownCp1252(check.LoadError));
    ++report.Discrepancies;
    lines.push_back("Ergebnis: Die Datei konnte nicht gelesen werden.");
    return report;
  }
  if (!anyFieldCheck) lines.push_back("Feldprüfungen: keine Beanstandung");

  int warnings = 0;
  bool accountsIntroduced = false;
  const auto introduceAccounts = [&] {
    if (accountsIntroduced || !accountsLine) return;
    lines.push_back(*accountsLine);
    accountsIntroduced = true;
  };
  for (const auto& finding : check.Findings) {
    if (finding.Kind == TFindingKind::FieldCheck) continue;
    if (finding.Kind == TFindingKind::Account) introduceAccounts();
    lines.push_back(support::ShownCp1252(finding.Text) + Verdict(finding.Severity));
    if (finding.Severity == TSeverity::Error) ++report.Discrepancies;
    if (finding.Severity == TSeverity::Warning) ++warnings;
  }
  introduceAccounts();
  lines.push_back(Result(report.Discrepancies, warnings));
  return report;
}

}  // namespace cli
