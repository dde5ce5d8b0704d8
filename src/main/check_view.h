#pragma once
// What the check of the shown file found, where the reader sees it: a message bar above the
// list whose findings lead to their rows, a mark on each row whose account fails, and the
// bank of each bank code as the tooltip of its cell.
#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "check_runner.h"
#include "info_bar.h"

class QBoxLayout;

namespace quandel {

class TBrowserView;

struct TCheckMessage {
  TInfoKind Kind = TInfoKind::Information;
  QString Html;
};

// The bar's message for a file that loaded: one quiet line when all agrees, otherwise the
// findings, the trailer's first, then the accounts', each a link to where it applies.
TCheckMessage CheckMessage(const TViewerCheck& check);

class TCheckView : public QObject {
  Q_OBJECT

 public:
  // The bar goes first into `layout`, above the view.
  TCheckView(TBrowserView* view, QBoxLayout* layout, QWidget* parent);

  // Checks the document just shown, whose load found `fileCheck`; what was shown of an earlier
  // file goes.
  void start(std::shared_ptr<const ombra::TDtaus> document, std::shared_ptr<const ombra::TFileCheck> fileCheck);
  void clear();
  // While a file loads, results wait; when the load ends without a new list (cancelled,
  // failed), the last one is shown again.
  void setLoading(bool loading);
  // The list shown is no longer the checked file's: its marks and message go until the load
  // ends.
  void hideResult();

  TInfoBar* bar() const { return bar_; }
  TCheckRunner* runner() const { return runner_; }
  // The tooltip of a cell of the list; empty where there is none.
  QString cellToolTip(int row, int column) const;
  void openLink(const QString& link);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showResult(TViewerCheckResult result);
  void markRows();

  TBrowserView* view_;
  QWidget* viewport_ = nullptr;
  TInfoBar* bar_;
  TCheckRunner* runner_;
  TViewerCheckResult result_;
  // A result that came, or was hidden, while a file loaded.
  TViewerCheckResult waiting_;
  bool loading_ = false;
};

}  // namespace quandel
