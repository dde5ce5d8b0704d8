#pragma once
// What the check of the shown file found, where the reader sees it: a bar above the list
// with both verdicts (and the check's progress until they come), a mark in each row a finding
// concerns with its sentence as the tooltip, the bank of each bank code and the verdict on
// each account as tooltips, the panel "Befunde", and F8 / Umschalt+F8 to step through the
// marked rows. A closed bar leaves the marks and a small marker beside the list that brings
// the bar back.
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "check_runner.h"
#include "findings_adapter.h"
#include "info_bar.h"
#include "platform.h"

class QAction;
class QBoxLayout;
class QMainWindow;
class QTimer;
class QToolButton;

namespace quandel {

class TBrowserView;
class TFindingsPanel;

class TCheckView : public QObject {
  Q_OBJECT

 public:
  // The bar goes first into `layout`, the marker beside the view in it; the panel docks on
  // `window`, whose keys F8, Umschalt+F8 and Strg+Umschalt+B become the view's.
  TCheckView(QMainWindow* window, TBrowserView* view, QBoxLayout* layout, const TViewerPlatform& platform);

  // Checks the document just shown, whose load found `fileCheck`; what was shown of an earlier
  // file goes.
  void start(std::shared_ptr<const ombra::TDtaus> document, std::shared_ptr<const ombra::TFileCheck> fileCheck);
  void clear();
  // While a file loads, results wait; when the load ends without a new list (cancelled,
  // failed), the last one is shown again.
  void setLoading(bool loading);
  // The list shown is no longer the checked file's: its marks and verdict go until the load
  // ends; with `checkComes` the bar says that a check is to come, keeping its room.
  void hideResult(bool checkComes);
  // The rows shown are those of a file damaged after its payments began: a red bar names the
  // damage and what was read; no check runs.
  void showDamage(const ombra::TDtaus& document);
  // The load failed before any payment could be listed: the red bar gives the reason, which the
  // page and the status text do not.
  void showFailure(const ombra::TDtaus& document);

  TInfoBar* bar() const { return bar_; }
  QToolButton* marker() const { return marker_; }
  TFindingsPanel* panel() const { return panel_; }
  TCheckRunner* runner() const { return runner_; }
  // The verdict on the list shown; null while none is.
  const TViewerCheckResult& result() const { return result_; }
  // The tooltip of a cell of the list; empty where there is none.
  QString cellToolTip(int row, int column) const;
  // Selects the next (previous) marked row after the list's cursor and brings the verdict back.
  void stepFinding(bool backwards);
  // Selects and shows the payment, counted from 1.
  void showPayment(std::int64_t payment);

  QAction* nextFinding = nullptr;
  QAction* previousFinding = nullptr;
  QAction* showFindings = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showResult(TViewerCheckResult result);
  void takeRanks(const TViewerCheckResult& check, std::shared_ptr<const TFindingRanks> ranks);
  void markRows();
  void showBar();
  void showProgress();

  TBrowserView* view_;
  QWidget* viewport_ = nullptr;
  TInfoBar* bar_;
  QToolButton* marker_;
  TFindingsPanel* panel_;
  TCheckRunner* runner_;
  QTimer* progressTimer_;
  TViewerCheckResult result_;
  // A result that came, or was hidden, while a file loaded, and the ranks of its findings if
  // they came then too.
  TViewerCheckResult waiting_;
  std::shared_ptr<const TFindingRanks> waitingRanks_;
  bool loading_ = false;
  // Per row the first finding that concerns it; kNone for none.
  std::vector<std::uint32_t> rowFinding_;
};

}  // namespace quandel
