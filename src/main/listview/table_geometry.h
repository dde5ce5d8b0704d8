#pragma once
// Sizes of the payment table for one font, in pixels. Where a row starts follows from the
// purpose lines before it, so the vertical layout is known at once for any number of rows;
// the column widths grow as rows are measured, which a big page does in slices.
#include <QFont>
#include <QFontMetricsF>

#include <array>
#include <cstdint>
#include <vector>

#include "payment_model.h"

namespace quandel {

// Left edge of each column and the right end of the last, relative to the table's left edge.
using TColumnEdges = std::array<int, kColumnCount + 1>;

class TTableGeometry {
 public:
  static constexpr int kBorder = 1;   // border=1: the table's frame and each cell's
  static constexpr int kPadding = 1;  // cellpadding=1
  static constexpr int kCellFrame = 2 * (kBorder + kPadding);

  TTableGeometry(const QFont& font, const QFont& headerFont);

  // Starts measuring `rows` (which must outlive this) from the first row.
  void setRows(const TPaymentModel* rows);

  // The same payments, or some of them, in another order: the widths measured stay.
  void rearrange(const TPaymentModel* rows);
  // Room beside each column's title, for the mark of the order.
  void reserveHeaderSpace(int width);

  // Measures the next `count` rows; true when a column became wider.
  bool measureNext(int count);
  // Measures rows [first, last) out of turn, e.g. the ones about to be shown.
  bool measureRange(int first, int last);
  int measuredRows() const { return measured_; }
  bool complete() const { return rows_ == nullptr || measured_ >= rows_->rows(); }

  int lineHeight() const { return lineHeight_; }
  int ascent() const { return ascent_; }
  int headerHeight() const { return headerLineHeight_ + kCellFrame; }
  int rowCount() const { return rows_ != nullptr ? rows_->rows() : 0; }
  // Relative to the top of the first row.
  std::int64_t rowTop(int row) const;
  int rowHeight(int row) const;
  std::int64_t rowsHeight() const { return rowTop(rowCount()); }
  // The row that holds `y` (relative to the first row), clamped to the rows there are.
  int rowAt(std::int64_t y) const;

  // The table's width with every column as wide as its widest text.
  int naturalWidth() const;
  // A table wider than its natural width shares the extra width out as a browser does,
  // in proportion to the columns' natural widths.
  TColumnEdges columnEdges(int tableWidth) const;

  const QFont& font() const { return font_; }
  const QFont& headerFont() const { return headerFont_; }

 private:
  bool measureRows(int first, int last);
  float advance(char16_t c);

  QFont font_;
  QFont headerFont_;
  QFontMetricsF metrics_;
  int lineHeight_ = 0;
  int headerLineHeight_ = 0;
  int ascent_ = 0;
  const TPaymentModel* rows_ = nullptr;
  QString buffer_;
  int measured_ = 0;
  std::array<int, kColumnCount> headerWidths_{};
  std::array<int, kColumnCount> textWidths_{};
  // Summing cached advances is far faster than shaping each text; negative means not yet known.
  std::vector<float> advances_;
};

}  // namespace quandel
