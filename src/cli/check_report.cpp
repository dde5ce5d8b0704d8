#include "check_report.h"

#include "json_export.h"
#include "numfmt.h"
#include "shown_text.h"
#include "verdict.h"

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

std::string Result(int discrepancies, int warnings, const ombra::TAccountTally& accounts) {
  std::string text = discrepancies == 0   ? std::string("keine Abweichungen")
                     : discrepancies == 1 ? std::string("1 Abweichung gefunden")
                                          : std::to_string(discrepancies) + " Abweichungen gefunden";
  if (warnings == 1) text += ", 1 Hinweis";
  if (warnings > 1) text += ", " + std::to_string(warnings) + " Hinweise";
  if (accounts.Checked) text += "; Konten: " + ombra::AccountsResult(accounts);
  return "Ergebnis: " + text + ".";
}

}  // namespace

std::vector<std::string> LoadFailureLines(const std::string& fileName, const std::string& loadError,
                                          const ombra::TLoadDamage& damage) {
  std::vector<std::string> lines{"Beim Lesen der Datei " + FileNameToUtf8(fileName) +
                                 " ist ein Fehler aufgetreten."};
  if (!loadError.empty()) lines.push_back("Grund: " + support::ShownCp1252(loadError));
  if (const std::string read = ombra::ReadSoFarText(damage); !read.empty())
    lines.push_back(support::ShownCp1252(read));
  return lines;
}

TCheckReport FormatCheckReport(const std::string& fileName, const ombra::TFileCheck& check) {
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
    for (std::string& line : LoadFailureLines(fileName, check.LoadError, check.Damage))
      lines.push_back(std::move(line));
    ++report.Discrepancies;
    lines.push_back("Ergebnis: Die Datei konnte nicht gelesen werden.");
    return report;
  }
  if (!anyFieldCheck) lines.push_back("Feldprüfungen: keine Beanstandung");

  int warnings = 0;
  for (const auto& finding : check.Findings) {
    if (finding.Kind == TFindingKind::FieldCheck || ombra::IsAccountKind(finding.Kind)) continue;
    lines.push_back(support::ShownCp1252(finding.Text) + Verdict(finding.Severity));
    if (finding.Severity == TSeverity::Error) ++report.Discrepancies;
    if (finding.Severity == TSeverity::Warning) ++warnings;
  }
  // Both verdicts in the words the viewer and the printout use. Without --accounts the
  // accounts were not asked about: their verdict would name a missing directory as the reason.
  const ombra::TAccountTally& accounts = check.Accounts;
  const std::vector<std::string> verdicts = ombra::VerdictLines(check);
  lines.insert(lines.end(), verdicts.begin(), accounts.Checked ? verdicts.end() : verdicts.begin() + 1);
  if (accounts.Checked) {
    lines.push_back("Kontenprüfung: " + ombra::GroupedNumber(accounts.Accounts) +
                    (accounts.Accounts == 1 ? " Konto" : " Konten") + " geprüft");
    for (const auto& finding : check.Findings)
      if (ombra::IsAccountKind(finding.Kind))
        lines.push_back(support::ShownCp1252(finding.Text) + Verdict(finding.Severity));
  }
  lines.push_back(Result(report.Discrepancies, warnings, accounts));
  return report;
}

}  // namespace cli
