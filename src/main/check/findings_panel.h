#pragma once
// The dockable panel "Befunde": every finding of the check as a table, filtered by kind,
// sorted by any column; Strg+C copies the selected findings as text and as a table, and they
// can be saved as CSV through a save dialog. A click or Enter on a finding asks for its
// payment to be shown.
#include <QDockWidget>

#include <cstdint>
#include <memory>

#include "findings_model.h"
#include "platform.h"

class QComboBox;
class QPushButton;
class QTableView;

namespace quandel {

class TFindingsPanel : public QDockWidget {
  Q_OBJECT

 public:
  TFindingsPanel(std::shared_ptr<IMessageBox> messages, std::shared_ptr<ISaveDialog> saveDialog,
                 QWidget* parent = nullptr);

  // The table follows the check when the panel is in sight: a hidden panel costs the
  // window nothing when a verdict with a million findings arrives.
  void setCheck(TViewerCheckResult check);
  // The ranks of the findings of `check`, which come after it; for the table while `check` is
  // the panel's, whether in sight yet or not.
  void setRanks(const TViewerCheckResult& check, std::shared_ptr<const TFindingRanks> ranks);
  TFindingsModel* model() const { return model_; }
  QTableView* table() const { return table_; }
  QComboBox* filter() const { return filter_; }

  // The selected findings onto the clipboard.
  void copySelected();
  // Asks for a name and writes the findings shown there; nothing when the user cancels.
  void saveCsv();

 signals:
  // `payment` counts from 1.
  void paymentRequested(std::int64_t payment);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fillFilter();
  void takeCheck();
  void showPaymentOf(const QModelIndex& index);

  std::shared_ptr<IMessageBox> messages_;
  std::shared_ptr<ISaveDialog> saveDialog_;
  TFindingsModel* model_;
  QTableView* table_;
  QComboBox* filter_;
  QPushButton* save_;
  TViewerCheckResult check_;
  std::shared_ptr<const TFindingRanks> ranks_;
  bool taken_ = true;
};

}  // namespace quandel
