#include "findings_adapter.h"

#include <QLocale>

#include "page_text.h"
#include "verdict.h"

namespace quandel {
namespace {

QString Number(std::int64_t n) { return QLocale(QLocale::German).toString(static_cast<qlonglong>(n)); }

TFindingGroup GroupOf(const ombra::TFinding& finding) {
  switch (finding.Kind) {
    // A bank code that is not eight digits is a field of the file that does not hold what it must.
    case ombra::TFindingKind::FieldCheck:
    case ombra::TFindingKind::BankCode: return TFindingGroup::Field;
    case ombra::TFindingKind::Count: return TFindingGroup::Count;
    case ombra::TFindingKind::Total: return TFindingGroup::Total;
    case ombra::TFindingKind::CheckSum: return TFindingGroup::CheckSum;
    case ombra::TFindingKind::Trailer: return TFindingGroup::Trailer;
    case ombra::TFindingKind::Account: return TFindingGroup::CheckDigit;
    case ombra::TFindingKind::UnknownBank: return TFindingGroup::UnknownBank;
    case ombra::TFindingKind::AccountNotChecked: return TFindingGroup::NoMethod;
  }
  return TFindingGroup::Field;
}

TTone ToneOf(const ombra::TFinding& finding) {
  if (finding.Severity == ombra::TSeverity::None) return TTone::Good;
  return ombra::IsAccountKind(finding.Kind) ? TTone::Accounts : TTone::Broken;
}

}  // namespace

QString GroupName(TFindingGroup group) {
  switch (group) {
    case TFindingGroup::Field: return QStringLiteral("Feld");
    case TFindingGroup::Count: return QStringLiteral("Anzahl");
    case TFindingGroup::Total: return QStringLiteral("Summe");
    case TFindingGroup::CheckSum: return QStringLiteral("Prüfsumme");
    case TFindingGroup::Trailer: return QStringLiteral("Dateiende");
    case TFindingGroup::CheckDigit: return QStringLiteral("Prüfziffer");
    case TFindingGroup::UnknownBank: return QStringLiteral("Bankleitzahl");
    case TFindingGroup::NoMethod: return QStringLiteral("Prüfverfahren");
  }
  return {};
}

QString ToneName(TTone tone) {
  switch (tone) {
    case TTone::Good: return QStringLiteral("in Ordnung");
    case TTone::Accounts: return QStringLiteral("Konto");
    case TTone::Broken: return QStringLiteral("Fehler");
  }
  return {};
}

QString Text(std::string_view checkText) { return DecodeCp1252(checkText); }

std::size_t FindingCount(const TViewerCheck& check) { return check.File.Findings.size(); }

TFindingFacts FindingAt(const TViewerCheck& check, std::size_t index) {
  const ombra::TFinding& finding = check.File.Findings[index];
  TFindingFacts facts;
  facts.Tone = ToneOf(finding);
  facts.Group = GroupOf(finding);
  facts.Payment = finding.Payment;
  facts.Record = finding.Record;
  facts.Field = finding.Field;
  facts.Expected = finding.Expected;
  facts.Found = finding.Found;
  facts.Sentence = finding.Text;
  return facts;
}

bool WasChecked(const TViewerCheck& check) { return check.File.Loaded; }

TVerdictSummary Summarize(const TViewerCheck& check) {
  TVerdictSummary summary;
  for (std::size_t i = 0; i < FindingCount(check); ++i) {
    const TFindingFacts facts = FindingAt(check, i);
    if (facts.Tone == TTone::Good) continue;
    ++summary.Findings;
    ++summary.PerGroup[static_cast<std::size_t>(facts.Group)];
    summary.Tone = std::max(summary.Tone, facts.Tone);
  }
  // Both verdicts in the words the command line uses too.
  summary.Headline = QString::fromStdString(ombra::Headline(check.File));
  if (summary.Findings == 0) {
    summary.Counts = Number(check.Payments) +
                     (check.Payments == 1 ? QStringLiteral(" Zahlung") : QStringLiteral(" Zahlungen")) +
                     QStringLiteral(", Summen und Prüfsummen passen");
    return summary;
  }
  QStringList parts;
  for (int group = 0; group < kFindingGroups; ++group)
    if (summary.PerGroup[static_cast<std::size_t>(group)] > 0)
      parts << GroupName(static_cast<TFindingGroup>(group)) + QStringLiteral(": ") +
                   Number(summary.PerGroup[static_cast<std::size_t>(group)]);
  summary.Counts = Number(summary.Findings) +
                   (summary.Findings == 1 ? QStringLiteral(" Befund – ") : QStringLiteral(" Befunde – ")) +
                   parts.join(QStringLiteral(" · "));
  return summary;
}

QString RecordAndByte(const TFindingFacts& facts) {
  QString text = facts.Record == 0 ? QStringLiteral("Datei")
                                   : QString(QLatin1Char(facts.Record)) + QStringLiteral("-Satz");
  if (facts.Byte) text += QStringLiteral(", Byte ") + Number(*facts.Byte);
  return text;
}

}  // namespace quandel
