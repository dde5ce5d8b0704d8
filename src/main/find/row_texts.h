#pragma once
// The rows a find runs over: what the list shows, one text per cell.
#include <QString>

namespace quandel {

class IRowTexts {
 public:
  virtual ~IRowTexts() = default;
  virtual int rowCount() const = 0;
  virtual int columnCount() const = 0;
  // The cell as the list shows it, its lines separated by "\n". Also called from a worker
  // thread while the rows stay unchanged.
  virtual QString cellText(int row, int column) const = 0;
};

}  // namespace quandel
