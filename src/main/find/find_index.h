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

  int rowCount() const { return rowCount_; }
  // The first row holding `needle` from `from` on, going round past the end; -1 when none.
  int next(std::string_view needle, int from) const;
  // The same backwards: `from` and the rows before it, going round past the start.
  int previous(std::string_view needle, int from) const;
  bool matches(int row, std::string_view needle) const;
  // All rows holding `needle`, ascending; empty also when cancelled.
  std::vector<int> hits(std::string_view needle, const std::atomic<bool>& cancel) const;
  std::size_t bytes() const;

 private:
  // A run of rows, read by a thread of its own.
  struct TPart {
    int firstRow = 0;
    std::string text;
    // Where each row's text begins, and after the last its end.
    std::vector<std::size_t> starts{0};

    int rows() const { return static_cast<int>(starts.size()) - 1; }
    // The first hit in [begin, end) of the text, as a row of the list; -1 when none.
    int firstHit(std::string_view needle, std::size_t begin, std::size_t end) const;
  };

  static void Read(const IRowTexts& rows, const std::vector<int>& columns, int first, int last,
                   const std::atomic<bool>& cancel, TPart& part);
  const TPart& partOf(int row) const;

  std::vector<TPart> parts_;
  int rowCount_ = 0;
};

}  // namespace quandel
