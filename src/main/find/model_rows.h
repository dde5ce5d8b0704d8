#pragma once
// The rows of a table model as find and copy read them: its display texts.
#include <QAbstractItemModel>

#include <QStringList>

#include "row_texts.h"

namespace quandel {

class TModelRows : public IRowTexts {
 public:
  explicit TModelRows(const QAbstractItemModel& model) : model_(model) {}
  int rowCount() const override { return model_.rowCount(); }
  int columnCount() const override { return model_.columnCount(); }
  QString cellText(int row, int column) const override {
    return model_.data(model_.index(row, column), Qt::DisplayRole).toString();
  }
  QStringList titles() const {
    QStringList titles;
    for (int column = 0; column < model_.columnCount(); ++column)
      titles << model_.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    return titles;
  }

 private:
  const QAbstractItemModel& model_;
};

}  // namespace quandel
