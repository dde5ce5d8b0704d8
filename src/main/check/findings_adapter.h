#pragma once
// The check's result as the viewer shows it: which verdict each finding belongs to, the kind
// the panel filters by, its cells, and the bar's headline and counts. The only file of the
// viewer that knows the shape of the check's result; the bar, the row marks and the panel
// all go through it.
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "check_runner.h"

namespace quandel {

// Red: the file does not agree with itself. Amber: an account, judged by a bank directory
// that may be newer than the file.
enum class TTone : std::uint8_t { Good, Accounts, Broken };

// The panel filters and the bar counts by the check's own kinds, named as the core names
// them (KindText), so the panel, the bar and reports use one word for each.
QString KindName(ombra::TFindingKind kind);

// One finding's facts; the texts stay in the check's encoding until shown (Text).
struct TFindingFacts {
  TTone Tone = TTone::Broken;
  ombra::TFindingKind Kind = ombra::TFindingKind::FieldCheck;
  std::int64_t Payment = 0;  // from 1; 0 for none
  char Record = 0;           // 'A', 'C', 'E'; 0 for the file as a whole
  // Where in the file, counted from 1 as the sentences count ("ab Byte 1.409"): the field
  // concerned, or the record's first byte; nothing where the core does not know.
  std::optional<std::int64_t> Byte;
  std::string_view Field;
  std::string_view Expected;
  std::string_view Found;
  std::string_view Sentence;
};

QString Text(std::string_view checkText);

// Every finding of the check, in its order; those of tone Good only confirm and are not shown.
std::size_t FindingCount(const TViewerCheck& check);
TFindingFacts FindingAt(const TViewerCheck& check, std::size_t index);
// Whether the file was read far enough to be checked at all.
bool WasChecked(const TViewerCheck& check);

struct TVerdictSummary {
  TTone Tone = TTone::Good;
  QString Headline;  // both verdicts in one line
  // Per kind what the headline counts of it (accounts with a wrong check digit, distinct
  // unknown bank codes, accounts that cannot be checked; findings of the file's own kinds),
  // or what agrees.
  QString Counts;
  // The findings of each kind, as the panel lists them: a bank the directory lacks is one
  // finding however many payments go to it.
  std::array<std::int64_t, ombra::kFindingKinds> PerKind{};
  std::int64_t Findings = 0;
};
TVerdictSummary Summarize(const TViewerCheck& check);

// The lines a printout gives under "Prüfergebnis": both verdicts in the words of the command
// line's report, the caveat, then the first `shown` findings and how many more there are.
QStringList PrintedVerdict(const TViewerCheck& check, int shown = 5);

// "Zahlung 12", "A-Satz", "E-Satz", "Datei", with the byte where known.
QString RecordAndByte(const TFindingFacts& facts);
QString ToneName(TTone tone);

}  // namespace quandel
