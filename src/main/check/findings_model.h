#pragma once
// Every finding of the check as a table, for the panel "Befunde": a model over the check's
// own list, holding no more than an index per finding, so a million findings open and scroll
// at once. It sorts and filters by kind itself, by each finding's rank in the column, taken
// once per check: far quicker than a proxy comparing display texts.
#include <QAbstractTableModel>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "findings_adapter.h"
#include "findings_ranks.h"
#include "row_texts.h"

namespace quandel {

class TFindingsModel : public QAbstractTableModel, public IRowTexts {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  // The findings of `check`, in its order; null for none.
  void setCheck(TViewerCheckResult check);
  // The ranks of `check`'s findings, made by the check's worker after the verdict; taken only
  // while `check` is the model's. A sort before they come takes them itself, alike.
  void setRanks(const TViewerCheckResult& check, std::shared_ptr<const TFindingRanks> ranks);
  // Null until they came or a sort made them.
  const std::shared_ptr<const TFindingRanks>& ranks() const { return ranks_; }
  const TViewerCheckResult& check() const { return check_; }
  // Only findings of `kind`; nothing for all.
  void setKindFilter(std::optional<ombra::TFindingKind> kind);
  std::optional<ombra::TFindingKind> kindFilter() const { return filter_; }

  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

  // IRowTexts, for copying and saving: the cells as shown.
  int rowCount() const override { return rowCount(QModelIndex()); }
  int columnCount() const override { return kFindColumnCount; }
  QString cellText(int row, int column) const override;
  QStringList titles() const;

  TFindingFacts factsAt(int row) const;

 private:
  void applyFilter();

  TViewerCheckResult check_;
  // Indexes into the check's findings: all shown in the order sorted, and those passing the
  // filter.
  std::vector<std::uint32_t> sorted_;
  std::vector<std::uint32_t> rows_;
  // The check's ranks, from its worker or made at the first sort before they came.
  std::shared_ptr<const TFindingRanks> ranks_;
  std::optional<ombra::TFindingKind> filter_;
};

// The rows as CSV, separated by semicolons as German spreadsheets read them, with a title line.
// Calls `line` once per line, without its line end.
void WriteFindingsCsv(const IRowTexts& rows, const QStringList& titles,
                      const std::function<void(const QByteArray&)>& line);

}  // namespace quandel
