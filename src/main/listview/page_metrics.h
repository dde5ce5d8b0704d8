#pragma once
// Measures of the page that the view and the printer share.
#include <QFont>

#include "table_geometry.h"

namespace quandel {

// The margin a browser gives the page's body.
constexpr int kPageMargin = 8;

inline QFont HeaderFont(const QFont& font) {
  QFont bold = font;
  bold.setBold(true);
  return bold;
}

// The two line breaks that stand before the payment table.
inline int TableGap(const TTableGeometry& geometry) { return 2 * geometry.lineHeight(); }

}  // namespace quandel
