#pragma once
// The check's result as the viewer shows it: which verdict each finding belongs to, the kind
// the panel filters by, its cells, and the bar's headline and counts. The only file of the
// viewer that knows the shape of the check's result; the bar, the row marks and the panel
// all go through it.
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "check_runner.h"

namespace quandel {

// Red: the file does not agree with itself. Amber: an account, judged by a bank directory
// that may be newer than the file.
enum class TTone : std::uint8_t { Good, Accounts, Broken };

// What the panel filters by and the bar counts.
enum class TFindingGroup : std::uint8_t {
  Field,
  Count,
  Total,
  CheckSum,
  Trailer,
  CheckDigit,
  UnknownBank,
  NoMethod,
};
constexpr int kFindingGroups = 8;
QString GroupName(TFindingGroup group);

// One finding's facts; the texts stay in the check's encoding until shown (Text).
struct TFindingFacts {
  TTone Tone = TTone::Broken;
  TFindingGroup Group = TFindingGroup::Field;
  std::int64_t Payment = 0;  // from 1; 0 for none
  char Record = 0;           // 'A', 'C', 'E'; 0 for the file as a whole
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
  QString Counts;    // the findings per kind, or what agrees
  std::array<std::int64_t, kFindingGroups> PerGroup{};
  std::int64_t Findings = 0;
};
TVerdictSummary Summarize(const TViewerCheck& check);

// "Zahlung 12", "A-Satz", "E-Satz", "Datei", with the byte where known.
QString RecordAndByte(const TFindingFacts& facts);
QString ToneName(TTone tone);

}  // namespace quandel
