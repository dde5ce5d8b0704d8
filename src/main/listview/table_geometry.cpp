#include "table_geometry.h"

#include <QtMath>

#include <algorithm>

#include "control_list.h"

namespace quandel {

TTableGeometry::TTableGeometry(const QFont& font, const QFont& headerFont)
    : font_(font), headerFont_(headerFont), metrics_(font), advances_(0x10000, -1.0f) {
  lineHeight_ = qCeil(metrics_.lineSpacing());
  ascent_ = qCeil(metrics_.ascent());
  const QFontMetricsF headerMetrics(headerFont_);
  headerLineHeight_ = qCeil(headerMetrics.lineSpacing());
  for (int c = 0; c < kColumnCount; ++c)
    headerWidths_[static_cast<std::size_t>(c)] = qCeil(headerMetrics.horizontalAdvance(ColumnTitle(c)));
}

void TTableGeometry::setRows(const TPaymentModel* rows) {
  rows_ = rows;
  measured_ = 0;
  textWidths_.fill(0);
}

void TTableGeometry::rearrange(const TPaymentModel* rows) {
  const bool wasComplete = complete();
  rows_ = rows;
  measured_ = wasComplete && rows_ != nullptr ? rows_->rows() : 0;
}

void TTableGeometry::reserveHeaderSpace(int width) {
  for (int c = 0; c < kColumnCount; ++c)
    headerWidths_[static_cast<std::size_t>(c)] =
        qCeil(QFontMetricsF(headerFont_).horizontalAdvance(ColumnTitle(c))) + width;
}

bool TTableGeometry::measureNext(int count) {
  if (rows_ == nullptr) return false;
  const int last = std::min(rows_->rows(), measured_ + std::max(count, 0));
  const bool wider = measureRows(measured_, last);
  measured_ = last;
  return wider;
}

bool TTableGeometry::measureRange(int first, int last) {
  if (rows_ == nullptr) return false;
  first = std::clamp(first, 0, rows_->rows());
  last = std::clamp(last, first, rows_->rows());
  // Rows already measured in turn need nothing more.
  return measureRows(std::max(first, measured_), std::max(last, measured_));
}

float TTableGeometry::advance(char16_t c) {
  float& known = advances_[c];
  if (known < 0) known = static_cast<float>(metrics_.horizontalAdvance(QChar(c)));
  return known;
}

bool TTableGeometry::measureRows(int first, int last) {
  // The widest text of each column by summed advances; only that one is then shaped, in case
  // kerning made it wider than the sum says.
  std::array<float, kColumnCount> widest{};
  std::array<QString, kColumnCount> widestText{};
  const auto consider = [&](int column, QStringView text) {
    float width = 0;
    for (const QChar c : text) width += advance(c.unicode());
    auto& best = widest[static_cast<std::size_t>(column)];
    if (width > best) {
      best = width;
      widestText[static_cast<std::size_t>(column)] = text.toString();
    }
  };
  for (int row = first; row < last; ++row) {
    for (int column : {kColNumber, kColName, kColBlz, kColKonto, kColAmount})
      consider(column, rows_->cellText(row, column, buffer_));
    const int lines = rows_->purposeLineCount(row);
    for (int line = 0; line < lines; ++line) consider(kColPurpose, rows_->purposeLine(row, line, buffer_));
  }
  bool wider = false;
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    if (widestText[c].isEmpty() || qCeil(widest[c]) + 1 <= textWidths_[c]) continue;
    const qreal shaped = metrics_.horizontalAdvance(widestText[c]);
    const int width = qCeil(std::max<qreal>(widest[c], shaped));
    if (width > textWidths_[c]) {
      textWidths_[c] = width;
      wider = true;
    }
  }
  return wider;
}

std::int64_t TTableGeometry::rowTop(int row) const {
  if (row <= 0 || rows_ == nullptr) return 0;
  return static_cast<std::int64_t>(row) * kCellFrame + rows_->purposeLinesBefore(row) * lineHeight_;
}

int TTableGeometry::rowHeight(int row) const {
  return rows_->purposeLineCount(row) * lineHeight_ + kCellFrame;
}

int TTableGeometry::rowAt(std::int64_t y) const {
  // The last row whose top is at or above y.
  int low = 0, high = rowCount();
  while (high - low > 1) {
    const int middle = low + (high - low) / 2;
    if (rowTop(middle) <= y)
      low = middle;
    else
      high = middle;
  }
  return low;
}

int TTableGeometry::naturalWidth() const {
  int width = 2 * kBorder;
  for (std::size_t c = 0; c < kColumnCount; ++c)
    width += std::max(textWidths_[c], headerWidths_[c]) + kCellFrame;
  return width;
}

TColumnEdges TTableGeometry::columnEdges(int tableWidth) const {
  std::array<int, kColumnCount> widths{};
  std::int64_t contentSum = 0;
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    widths[c] = std::max(textWidths_[c], headerWidths_[c]) + kCellFrame;
    contentSum += widths[c];
  }
  const int extra = std::max(0, tableWidth - naturalWidth());
  int given = 0;
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    // The last column takes what rounding left over, so the table ends exactly at its width.
    const int share = c + 1 == kColumnCount
                          ? extra - given
                          : static_cast<int>(static_cast<std::int64_t>(extra) * widths[c] / contentSum);
    widths[c] += share;
    given += share;
  }
  TColumnEdges edges{};
  edges[0] = kBorder;
  for (std::size_t c = 0; c < kColumnCount; ++c) edges[c + 1] = edges[c] + widths[c];
  return edges;
}

}  // namespace quandel
