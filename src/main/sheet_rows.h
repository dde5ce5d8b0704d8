#pragma once
// The shown rows as a spreadsheet takes them from the clipboard: the amount as a plain number
// in the user's form ("1250,00", no grouping, no currency), the currency in a column of its
// own, and texts from the file that would start a formula neutralised as the CSV export does.
#include <QStringList>

#include <memory>

#include "payment_model.h"
#include "row_texts.h"

namespace quandel {

// `text` with a leading "'" where a spreadsheet would take it for a formula; else unchanged.
QString NeutraliseFormula(QString text);

// Rows of any table for a spreadsheet: each cell neutralised where it would start a formula.
class TSheetCells : public IRowTexts {
 public:
  explicit TSheetCells(const IRowTexts& rows) : rows_(rows) {}
  int rowCount() const override { return rows_.rowCount(); }
  int columnCount() const override { return rows_.columnCount(); }
  QString cellText(int row, int column) const override {
    return NeutraliseFormula(rows_.cellText(row, column));
  }

 private:
  const IRowTexts& rows_;
};

class TSheetRows : public IRowTexts {
 public:
  // The columns of the list and then the currency.
  static constexpr int kCurrencyColumn = kColumnCount;

  explicit TSheetRows(std::shared_ptr<const TPaymentModel> rows);

  int rowCount() const override;
  int columnCount() const override { return kColumnCount + 1; }
  // Also called from a worker thread; the model does not change.
  QString cellText(int row, int column) const override;
  QStringList titles() const;

 private:
  std::shared_ptr<const TPaymentModel> rows_;
  QString currency_;
};

}  // namespace quandel
