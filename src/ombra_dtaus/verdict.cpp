#include "verdict.h"

#include <vector>

#include "numfmt.h"

namespace ombra {
namespace {

std::string Counted(std::int64_t count, const char* one, const char* many) {
  return GroupedNumber(count) + " " + (count == 1 ? one : many);
}

}  // namespace

TFileVerdict FileVerdictOf(const TFileCheck& check) {
  if (!check.Loaded) return TFileVerdict::Unreadable;
  return check.Consistent() ? TFileVerdict::Consistent : TFileVerdict::NotConsistent;
}

TAccountsVerdict AccountsVerdictOf(const TFileCheck& check) {
  const TAccountTally& t = check.Accounts;
  if (!t.Checked) return TAccountsVerdict::NotChecked;
  return t.WrongCheckDigit + t.UnknownBankCodes + t.NotCheckable == 0 ? TAccountsVerdict::AllValid
                                                                      : TAccountsVerdict::Findings;
}

std::string FileVerdictText(TFileVerdict verdict) {
  switch (verdict) {
    case TFileVerdict::Consistent: return "Datei in sich stimmig";
    case TFileVerdict::NotConsistent: return "Datei nicht stimmig";
    case TFileVerdict::Unreadable: return "Datei nicht lesbar";
  }
  return {};
}

std::string AccountsTitle(const std::string& directoryDate) {
  return "Kontenprüfung nach Bankverzeichnis" +
         (directoryDate.empty() ? std::string() : " vom " + directoryDate);
}

std::string AccountsResult(const TAccountTally& tally) {
  if (!tally.Checked) return "nicht geprüft (kein Bankverzeichnis)";
  std::vector<std::string> parts;
  if (tally.WrongCheckDigit > 0)
    parts.push_back(Counted(tally.WrongCheckDigit, "Prüfziffer falsch", "Prüfziffern falsch"));
  if (tally.UnknownBankCodes > 0)
    parts.push_back(Counted(tally.UnknownBankCodes, "Bankleitzahl unbekannt", "Bankleitzahlen unbekannt"));
  if (tally.NotCheckable > 0)
    parts.push_back(Counted(tally.NotCheckable, "Konto nicht prüfbar", "Konten nicht prüfbar"));
  if (parts.empty()) return "alle Konten gültig";
  std::string text = parts.front();
  for (std::size_t i = 1; i < parts.size(); ++i) text += ", " + parts[i];
  return text;
}

std::string AccountsCaveat(const TAccountTally& tally) {
  if (!tally.Checked || !tally.DirectoryNewer) return {};
  return "Das Bankverzeichnis ist jünger als die Datei: alte Konten und seither aufgehobene "
         "Bankleitzahlen kann es anders beurteilen.";
}

std::vector<std::string> VerdictLines(const TFileCheck& check) {
  std::vector<std::string> lines{FileVerdictText(FileVerdictOf(check))};
  if (!check.Loaded) return lines;
  lines.push_back(AccountsTitle(check.Accounts.DirectoryDate) + ": " + AccountsResult(check.Accounts));
  if (const std::string caveat = AccountsCaveat(check.Accounts); !caveat.empty())
    lines.push_back("Hinweis: " + caveat);
  return lines;
}

std::string Headline(const TFileCheck& check) {
  std::string line;
  switch (FileVerdictOf(check)) {
    case TFileVerdict::Consistent: line = "In sich stimmig ✓"; break;
    case TFileVerdict::NotConsistent: line = "Nicht stimmig ✗"; break;
    case TFileVerdict::Unreadable: return "Datei nicht lesbar";
  }
  const TAccountTally& tally = check.Accounts;
  if (!tally.Checked) return line + " · Konten nicht geprüft (kein Bankverzeichnis)";
  line += " · Konten: " + AccountsResult(tally);
  line +=
      " (Verzeichnis" + (tally.DirectoryDate.empty() ? std::string() : " vom " + tally.DirectoryDate) + ")";
  return line;
}

const char* KindCode(TFindingKind kind) {
  switch (kind) {
    case TFindingKind::FieldCheck: return "field";
    case TFindingKind::Count: return "count";
    case TFindingKind::Total: return "total";
    case TFindingKind::CheckSum: return "checksum";
    case TFindingKind::Trailer: return "trailer";
    case TFindingKind::BankCode: return "bank_code";
    case TFindingKind::Account: return "account";
    case TFindingKind::AccountNotChecked: return "account_not_checked";
    case TFindingKind::UnknownBank: return "unknown_bank";
  }
  return "";
}

const char* KindText(TFindingKind kind) {
  switch (kind) {
    case TFindingKind::FieldCheck: return "Feldprüfung";
    case TFindingKind::Count: return "Anzahl";
    case TFindingKind::Total: return "Summe";
    case TFindingKind::CheckSum: return "Prüfsumme";
    case TFindingKind::Trailer: return "Dateiende";
    case TFindingKind::BankCode: return "Bankleitzahl";
    case TFindingKind::Account: return "Prüfziffer";
    case TFindingKind::AccountNotChecked: return "Konto nicht prüfbar";
    case TFindingKind::UnknownBank: return "Bankleitzahl unbekannt";
  }
  return "";
}

}  // namespace ombra
