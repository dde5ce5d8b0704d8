#include "findings_adapter.h"

#include <QLocale>

#include "page_text.h"
#include "verdict.h"

namespace quandel {
namespace {

QString Number(std::int64_t n) { return QLocale(QLocale::German).toString(static_cast<qlonglong>(n)); }

TTone ToneOf(const ombra::TFinding& finding) {
  if (finding.Severity == ombra::TSeverity::None) return TTone::Good;
  return ombra::IsAccountKind(finding.Kind) ? TTone::Accounts : TTone::Broken;
}

}  // namespace

QString KindName(ombra::TFindingKind kind) { return QString::fromUtf8(ombra::KindText(kind)); }

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
  facts.Kind = finding.Kind;
  facts.Payment = finding.Payment;
  facts.Record = finding.Record;
  if (finding.Offset >= 0) facts.Byte = finding.Offset + 1;
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
    ++summary.PerKind[static_cast<std::size_t>(facts.Kind)];
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
  // The account kinds in the headline's own figures, so the two lines cannot disagree.
  const ombra::TAccountTally& tally = check.File.Accounts;
  const auto figure = [&](ombra::TFindingKind kind) {
    switch (kind) {
      case ombra::TFindingKind::Account: return tally.WrongCheckDigit;
      case ombra::TFindingKind::UnknownBank: return tally.UnknownBankCodes;
      case ombra::TFindingKind::AccountNotChecked: return tally.NotCheckable;
      default: return summary.PerKind[static_cast<std::size_t>(kind)];
    }
  };
  QStringList parts;
  for (int at = 0; at < ombra::kFindingKinds; ++at) {
    const auto kind = static_cast<ombra::TFindingKind>(at);
    if (summary.PerKind[static_cast<std::size_t>(at)] > 0)
      parts << KindName(kind) + QStringLiteral(": ") + Number(figure(kind));
  }
  summary.Counts = parts.join(QStringLiteral(" · "));
  return summary;
}

QStringList PrintedVerdict(const TViewerCheck& check, int shown) {
  QStringList lines;
  for (const std::string& line : ombra::VerdictLines(check.File)) lines << QString::fromStdString(line);
  std::int64_t findings = 0;
  for (std::size_t i = 0; i < FindingCount(check); ++i) {
    const TFindingFacts facts = FindingAt(check, i);
    if (facts.Tone == TTone::Good) continue;
    if (findings++ < shown) lines << Text(facts.Sentence);
  }
  if (findings > shown) lines << QStringLiteral("… und %1 weitere").arg(Number(findings - shown));
  return lines;
}

QString RecordAndByte(const TFindingFacts& facts) {
  QString text = facts.Record == 0 ? QStringLiteral("Datei")
                                   : QString(QLatin1Char(facts.Record)) + QStringLiteral("-Satz");
  if (facts.Byte) text += QStringLiteral(", Byte ") + Number(*facts.Byte);
  return text;
}

}  // namespace quandel
