#include "findings_ranks.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <string_view>
#include <tuple>

#include "findings_adapter.h"

namespace quandel {
namespace {

// Red before amber: the file's own errors first.
int ToneRank(TTone tone) { return tone == TTone::Broken ? 0 : 1; }

// Every finding's index, in the check's order.
std::vector<std::uint32_t> AllFindings(const TViewerCheck& check) {
  std::vector<std::uint32_t> order(FindingCount(check));
  std::iota(order.begin(), order.end(), 0U);
  return order;
}

// Ranks of the findings sorted by a column: `at(i)` is the finding at place i, `sameAsBefore(i)`
// whether it equals the one before in the column; equal neighbours share a rank.
template <typename At, typename SameAsBefore>
std::vector<std::uint32_t> RanksOf(std::size_t count, At at, SameAsBefore sameAsBefore) {
  std::vector<std::uint32_t> ranks(count);
  std::uint32_t rank = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0 && !sameAsBefore(i)) ++rank;
    ranks[at(i)] = rank;
  }
  return ranks;
}

template <typename Key>
std::vector<std::uint32_t> RankBy(const TViewerCheck& check, Key key) {
  using TKey = decltype(key(FindingAt(check, 0)));
  std::vector<std::pair<TKey, std::uint32_t>> keyed;
  keyed.reserve(FindingCount(check));
  for (std::uint32_t index = 0; index < FindingCount(check); ++index)
    keyed.emplace_back(key(FindingAt(check, index)), index);
  std::sort(keyed.begin(), keyed.end());
  return RanksOf(
      keyed.size(), [&](std::size_t i) { return keyed[i].second; },
      [&](std::size_t i) { return keyed[i - 1].first == keyed[i].first; });
}

// The first sixteen bytes of a text as two numbers, the first byte highest; 0 past its end.
std::pair<std::uint64_t, std::uint64_t> Lead(std::string_view text) {
  std::uint64_t high = 0, low = 0;
  for (std::size_t i = 0; i < 8; ++i)
    high = high << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
  for (std::size_t i = 8; i < 16; ++i)
    low = low << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
  return {high, low};
}

using TTextOf = std::string_view (*)(const TFindingFacts&);

// Sorts `order` (indexes of findings) by a text of each, byte by byte. A million findings
// begin alike ("Zahlung 12: Kontonummer …") and lie apart in memory, so comparing whole texts
// again and again costs most of the sort. Each text is read once: its eight bytes after what
// all texts share (up to eight) make a number to sort by, and only texts equal in those are
// compared whole.
void SortByText(const TViewerCheck& check, std::vector<std::uint32_t>& order, TTextOf text) {
  const std::size_t count = order.size();
  if (count < 2) return;
  struct TKeyed {
    std::uint64_t key;  // the text's first eight bytes until `shared` is known
    std::uint32_t position;
    std::uint32_t length;  // at most UINT32_MAX: longer texts count as that long
  };
  std::vector<TKeyed> keyed;
  std::vector<std::uint64_t> next;  // the eight bytes after those
  keyed.reserve(count);
  next.reserve(count);
  std::size_t shared = 8;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view t = text(FindingAt(check, order[i]));
    const auto [high, low] = Lead(t);
    keyed.push_back({high, static_cast<std::uint32_t>(i),
                     static_cast<std::uint32_t>(std::min<std::size_t>(t.size(), UINT32_MAX))});
    next.push_back(low);
    shared = std::min(shared, t.size());
  }
  for (const TKeyed& k : keyed)
    if (const std::uint64_t differs = k.key ^ keyed[0].key; differs != 0)
      shared = std::min(shared, static_cast<std::size_t>(std::countl_zero(differs) / 8));
  if (shared > 0)
    for (std::size_t i = 0; i < count; ++i)
      keyed[i].key = shared == 8 ? next[i] : keyed[i].key << (8 * shared) | next[i] >> (64 - 8 * shared);
  next = {};
  std::sort(keyed.begin(), keyed.end(), [](const TKeyed& a, const TKeyed& b) {
    return a.key != b.key ? a.key < b.key : a.position < b.position;
  });
  // Texts equal in their key are equal unless one goes on past it or is shorter: a key pads
  // with 0 bytes.
  const auto textAt = [&](const TKeyed& k) { return text(FindingAt(check, order[k.position])).substr(shared); };
  const auto whole = [&](const TKeyed& a, const TKeyed& b) { return textAt(a) < textAt(b); };
  for (auto run = keyed.begin(); run != keyed.end();) {
    const auto end = std::find_if(run, keyed.end(), [&](const TKeyed& k) { return k.key != run->key; });
    const std::uint32_t length = run->length;
    // A column whose texts are all alike (every finding "gültige Kontonummer") would cost a
    // whole comparison per step of the sort; one pass tells.
    if (end - run > 1 &&
        std::any_of(run, end, [&](const TKeyed& k) { return k.length != length || length > shared + 8; }) &&
        !std::all_of(run + 1, end, [&](const TKeyed& k) { return textAt(k) == textAt(*run); }))
      std::stable_sort(run, end, whole);
    run = end;
  }
  std::vector<std::uint32_t> sorted;
  sorted.reserve(count);
  for (const TKeyed& k : keyed) sorted.push_back(order[k.position]);
  order = std::move(sorted);
}

std::vector<std::uint32_t> RankByText(const TViewerCheck& check, TTextOf text) {
  std::vector<std::uint32_t> order = AllFindings(check);
  SortByText(check, order, text);
  return RanksOf(
      order.size(), [&](std::size_t i) { return order[i]; },
      [&](std::size_t i) {
        return text(FindingAt(check, order[i - 1])) == text(FindingAt(check, order[i]));
      });
}

// One column's ranks; the column a TFindingColumn.
std::vector<std::uint32_t> RankColumn(const TViewerCheck& check, int column) {
  switch (column) {
    case kFindSeverity: return RankBy(check, [](const TFindingFacts& f) { return ToneRank(f.Tone); });
    case kFindPayment: return RankBy(check, [](const TFindingFacts& f) { return f.Payment; });
    case kFindRecord:
      return RankBy(
          check, [](const TFindingFacts& f) { return std::tuple(f.Record, f.Byte.value_or(-1), f.Payment); });
    case kFindField: return RankByText(check, [](const TFindingFacts& f) { return f.Field; });
    case kFindExpected: return RankByText(check, [](const TFindingFacts& f) { return f.Expected; });
    case kFindFound: return RankByText(check, [](const TFindingFacts& f) { return f.Found; });
    default: return RankByText(check, [](const TFindingFacts& f) { return f.Sentence; });
  }
}

}  // namespace

std::shared_ptr<const TFindingRanks> RankFindings(const TViewerCheck& check,
                                                  const std::function<bool()>& stopped) {
  auto ranks = std::make_shared<TFindingRanks>();
  for (int column = 0; column < kFindColumnCount; ++column) {
    if (stopped && stopped()) return nullptr;
    ranks->ByColumn[static_cast<std::size_t>(column)] = RankColumn(check, column);
  }
  return ranks;
}

// A counting sort: one pass counts the findings of each rank, one places them.
void SortByRank(std::vector<std::uint32_t>& order, const std::vector<std::uint32_t>& ranks, bool ascending) {
  if (order.size() < 2) return;
  std::uint32_t top = 0;
  for (const std::uint32_t index : order) top = std::max(top, ranks[index]);
  const auto slot = [&](std::uint32_t index) {
    return ascending ? ranks[index] : top - ranks[index];
  };
  std::vector<std::uint32_t> start(static_cast<std::size_t>(top) + 2, 0);
  for (const std::uint32_t index : order) ++start[slot(index) + 1];
  std::partial_sum(start.begin(), start.end(), start.begin());
  std::vector<std::uint32_t> sorted(order.size());
  for (const std::uint32_t index : order) sorted[start[slot(index)]++] = index;
  order = std::move(sorted);
}

}  // namespace quandel
