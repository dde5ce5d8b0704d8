#pragma once
// Which columns a find and a filter search, how each is folded, and what a find marks of a
// row: the parts of its shown cells that the typed text matched, found by the same folding
// that finds the row (search_fold.h), so that every hit shows where it hit.
#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "control_list.h"
#include "payment_model.h"
#include "search_fold.h"

namespace quandel {

// The columns the column table marks as searched (not the payment's number: the number of a
// row is not a text to find), worked out when compiling.
constexpr std::size_t SearchedColumnCount() {
  std::size_t count = 0;
  for (const ombra::TControlListColumn& column : ombra::kControlListColumns) count += column.Searched ? 1 : 0;
  return count;
}
inline constexpr auto kSearchedColumns = [] {
  std::array<int, SearchedColumnCount()> columns{};
  std::size_t at = 0;
  for (std::size_t column = 0; column < ombra::kControlListColumns.size(); ++column)
    if (ombra::kControlListColumns[column].Searched) columns[at++] = static_cast<int>(column);
  return columns;
}();

// Bank codes and accounts are compared without their blanks, so that "20050550" finds the
// shown "200 505 50"; the other columns with runs of blanks as one.
ombra::TBlanks SearchBlanks(int column);

// A shown text as the Windows-1252 bytes it was made of, a byte per character ('?' for any
// character Windows-1252 lacks).
std::string ShownAsCp1252(QStringView text);

using TCharRange = std::pair<int, int>;  // [first, last) of a shown text
// What a find for `needle` marks of `text`, a shown line of a cell of `column`, in order and
// apart. `cents` is the payment's amount, which an amount typed marks as a whole.
std::vector<TCharRange> HitRanges(const ombra::TSearchNeedle& needle, int column, QStringView text,
                                  std::optional<std::int64_t> cents);

}  // namespace quandel
