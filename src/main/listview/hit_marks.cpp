#include "hit_marks.h"

#include <algorithm>

#include "cp1252.h"

namespace quandel {

ombra::TBlanks SearchBlanks(int column) {
  return column == kColBlz || column == kColKonto ? ombra::TBlanks::Ignored : ombra::TBlanks::Single;
}

std::string ShownAsCp1252(QStringView text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    const std::optional<unsigned char> byte = support::UnicodeToCp1252(c.unicode());
    bytes += byte ? static_cast<char>(*byte) : '?';
  }
  return bytes;
}

std::vector<TCharRange> HitRanges(const ombra::TSearchNeedle& needle, int column, QStringView text,
                                  std::optional<std::int64_t> cents) {
  std::vector<TCharRange> ranges;
  if (needle.empty() || text.isEmpty()) return ranges;
  const std::string bytes = ShownAsCp1252(text);
  const ombra::TBlanks blanks = SearchBlanks(column);
  for (const std::string* typed : {&needle.Text, &needle.Digits})
    for (const ombra::TTextRange range : ombra::FoldedMatches(bytes, *typed, blanks))
      ranges.emplace_back(static_cast<int>(range.First), static_cast<int>(range.Last));
  // The amount typed is the amount's figure, not its currency.
  if (column == kColAmount && needle.Cents && cents == needle.Cents) {
    const qsizetype blank = text.indexOf(u' ');
    ranges.emplace_back(0, static_cast<int>(blank < 0 ? text.size() : blank));
  }
  std::sort(ranges.begin(), ranges.end());
  std::vector<TCharRange> merged;
  for (const TCharRange& range : ranges) {
    if (!merged.empty() && range.first <= merged.back().second)
      merged.back().second = std::max(merged.back().second, range.second);
    else
      merged.push_back(range);
  }
  return merged;
}

}  // namespace quandel
