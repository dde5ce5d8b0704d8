#pragma once
// The shown texts of all rows, case-folded into one buffer, so that a find over a million
// rows is a few fast scans of memory rather than a million formatted cells.
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "row_texts.h"

namespace quandel {

class TFindIndex {
 public:
  // Reads the cells of `columns` of every row; null when `cancel` was set meanwhile.
  static std::shared_ptr<const TFindIndex> Build(const IRowTexts& rows, const std::vector<int>& columns,
                                                 const std::atomic<bool>& cancel);

  // What is typed, folded as the texts are; empty when nothing can be found with it.
  static std::string Needle(const QString& typed);

  int rowCount() const { return static_cast<int>(starts_.size()) - 1; }
  // The first row holding `needle` from `from` on, going round past the end; -1 when none.
  int next(std::string_view needle, int from) const;
  // The same backwards: `from` and the rows before it, going round past the start.
  int previous(std::string_view needle, int from) const;
  bool matches(int row, std::string_view needle) const;
  // All rows holding `needle`, ascending; empty also when cancelled.
  std::vector<int> hits(std::string_view needle, const std::atomic<bool>& cancel) const;
  std::size_t bytes() const { return text_.size() + starts_.size() * sizeof(std::uint64_t); }

 private:
  // The first hit in [begin, end) of the text, as a row; -1 when none.
  int rowOfFirst(std::string_view needle, std::uint64_t begin, std::uint64_t end) const;

  std::string text_;
  // Where each row's text begins, and after the last its end.
  std::vector<std::uint64_t> starts_{0};
};

}  // namespace quandel
