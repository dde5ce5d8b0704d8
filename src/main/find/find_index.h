#pragma once
// The searched fields of every payment of a document, folded (search_fold.h) into one buffer,
// so that a find over a million rows is a few fast scans of memory rather than a million
// formatted cells. Made from the immutable document with the routines that make the list's
// cell texts, so it needs no view and may be built in any thread. Rows are the payments in
// the file's order, counted from 0.
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dtaus.h"
#include "regional.h"
#include "search_fold.h"

namespace quandel {

class TFindIndex {
 public:
  // The payments the list shows of `document` (none of one that failed early), their amounts
  // written as under `rs`; null when `cancel` was set meanwhile.
  static std::shared_ptr<const TFindIndex> Build(const ombra::TDtaus& document, const ombra::TRegionalSettings& rs,
                                                 const std::atomic<bool>& cancel);

  // What is typed, folded as the texts are; empty when nothing can be found with it.
  static ombra::TSearchNeedle Needle(const QString& typed);

  int rowCount() const { return rowCount_; }
  // The first row holding `needle` from `from` on, going round past the end; -1 when none.
  int next(const ombra::TSearchNeedle& needle, int from) const;
  // The same backwards: `from` and the rows before it, going round past the start.
  int previous(const ombra::TSearchNeedle& needle, int from) const;
  bool matches(int row, const ombra::TSearchNeedle& needle) const;
  // All rows holding `needle`, ascending; empty also when cancelled.
  std::vector<int> hits(const ombra::TSearchNeedle& needle, const std::atomic<bool>& cancel) const;
  std::size_t bytes() const;

 private:
  // A run of rows, read by a thread of its own.
  struct TPart {
    int firstRow = 0;
    std::string text;
    // Where each row's text begins, and after the last its end.
    std::vector<std::size_t> starts{0};
    // Each row's amount in cents; kNoCents where it has none.
    std::vector<std::int64_t> cents;

    // The first row in [first, last) of the part (counted in the file) holding `needle`, -1
    // when none.
    int firstHit(const ombra::TSearchNeedle& needle, int first, int last) const;
    bool rowMatches(int row, const ombra::TSearchNeedle& needle) const;
    // Every row of the part whose text holds `typed`, appended in order; none for an empty one.
    void allHits(std::string_view typed, std::vector<int>& rows) const;
    // The row whose text holds the byte at `offset`.
    int rowAt(std::size_t offset) const;
  };

  static void Read(const ombra::TDtaus& document, const ombra::TRegionalSettings& rs, int first, int last,
                   const std::atomic<bool>& cancel, TPart& part);
  const TPart& partOf(int row) const;

  std::vector<TPart> parts_;
  int rowCount_ = 0;
};

}  // namespace quandel
