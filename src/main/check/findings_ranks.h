#pragma once
// Each finding's place in each column of the panel "Befunde", taken once per check, by the
// runner's worker after the verdict is out: the findings do not change after, and sorting a
// million by their texts again at every click on a header would hold the window for longer
// than a user waits.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace quandel {

struct TViewerCheck;

// The columns of the panel, in the order shown.
enum TFindingColumn {
  kFindSeverity,
  kFindPayment,
  kFindRecord,
  kFindField,
  kFindExpected,
  kFindFound,
  kFindSentence,
  kFindColumnCount
};

// Per column, per finding (in the check's order): its rank in that column, from 0; findings
// equal in the column share a rank, a greater rank sorts after. Red sorts before amber; texts
// sort byte by byte.
struct TFindingRanks {
  std::array<std::vector<std::uint32_t>, kFindColumnCount> ByColumn;
};

// A million findings take most of a second: `stopped`, asked between columns, ends the work
// early with nothing when it says so.
std::shared_ptr<const TFindingRanks> RankFindings(const TViewerCheck& check,
                                                  const std::function<bool()>& stopped = {});

// Sorts `order` (indexes of findings) by their ranks in `ranks`, ascending or descending;
// findings of one rank keep the order they had. In time linear in the findings and ranks.
void SortByRank(std::vector<std::uint32_t>& order, const std::vector<std::uint32_t>& ranks, bool ascending);

}  // namespace quandel
