#pragma once
// Sorting and filtering the payments of a document without a cell text: each column's sort
// key is worked out once per file into a flat array (cents as integers, codes and accounts as
// numbers, names and purposes as folded bytes), so a million rows sort in a fraction of a
// second. Rows are counted from 0 in the file; a result is the file rows in the order shown.
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dtaus.h"

namespace quandel {

// Which column the rows are sorted by; column -1 is the file's order.
struct TSortOrder {
  int column = -1;
  bool descending = false;

  bool active() const { return column >= 0; }
  bool operator==(const TSortOrder&) const = default;
};

// A click on a column's header: first ascending, then descending, then the file's order.
TSortOrder NextSortOrder(TSortOrder current, int column);

// The sort keys of one column of a document's payments.
class TColumnKeys {
 public:
  TColumnKeys(const ombra::TDtaus& document, int column);

  int column() const { return column_; }
  // Orders `fileRows` by the column; rows with equal keys keep their order in `fileRows`.
  void sort(std::vector<int>& fileRows, bool descending) const;

  // The folded form of a name or purpose that orders as a reader expects: capitals, umlauts
  // as their base letter, "ß" as "SS", runs of blanks as one. Windows-1252 in and out.
  static std::string TextKey(std::string_view text);
  // The digits of a bank code or account as a number; blanks and other characters ignored.
  static std::uint64_t NumberKey(std::string_view text);

 private:
  bool less(int a, int b) const;

  int column_;
  // Compared first: the number, or for texts their first eight bytes.
  std::vector<std::uint64_t> keys_;
  // Texts only: every row's key, one after the other, and where each begins.
  std::string texts_;
  std::vector<std::uint32_t> starts_;
};

// An amount range as typed in the filter: "100..5000", "100..", "..5000", or one amount;
// amounts as "1250", "1.250,00" or "1250.00". Bounds in cents, both included; nothing when
// the text is not a range.
struct TAmountRange {
  std::optional<std::int64_t> min;
  std::optional<std::int64_t> max;

  bool contains(std::int64_t cents) const { return (!min || cents >= *min) && (!max || cents <= *max); }
};
std::optional<TAmountRange> ParseAmountRange(const QString& text);
// One amount as typed, in cents (ombra::ParseTypedCents), with a sign, blanks and the currency
// allowed; nothing when it is none.
std::optional<std::int64_t> ParseAmount(const QString& text);

// The file rows [0, count) that `keep` lets pass, ascending.
template <typename TKeep>
std::vector<int> FileRowsWhere(int count, TKeep keep) {
  std::vector<int> rows;
  for (int row = 0; row < count; ++row)
    if (keep(row)) rows.push_back(row);
  return rows;
}

}  // namespace quandel
