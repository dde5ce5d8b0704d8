#pragma once
// The commands around the view that the menu bar does not carry: copy, select all, export,
// find, "Gehe zu Zahlung" and zoom. Each has its shortcut on the window and stands in the view's
// context menu with it, so it can be found there.
#include <QFont>
#include <QFutureWatcher>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "index_shelf.h"
#include "platform.h"
#include "row_copy.h"
#include "worker_progress.h"

class QAction;
class QBoxLayout;
class QMenu;
class QWidget;

namespace quandel {

class TBrowserView;
class TFilterBar;
class TFindBar;
class TListArranger;
class TFinder;
class TGoToBar;
class THelpWindow;
class TListFindTarget;
class TRowExporter;

// The action's tooltip names its shortcut: "Öffnen (Strg+O)".
void ShowShortcutInToolTip(QAction* action);

class TViewCommands : public QObject {
  Q_OBJECT

 public:
  // The bars go into `layout` below the view; refusals are said through `messages`; exports
  // are named through `saveDialog` (none without).
  TViewCommands(QWidget* window, TBrowserView* view, QBoxLayout* layout,
                std::shared_ptr<IMessageBox> messages, std::shared_ptr<ISaveDialog> saveDialog);
  ~TViewCommands() override;

  // The context menu of the list for a point of its viewport (the cell "Zelle kopieren" takes).
  std::unique_ptr<QMenu> listMenu(const QPoint& viewportPos);

  TFinder* finder() const { return finder_; }
  TFindBar* findBar() const { return findBar_; }
  TGoToBar* goToBar() const { return goToBar_; }
  TFilterBar* filterBar() const { return filterBar_; }
  TListArranger* arranger() const { return arranger_; }
  TRowExporter* exporter() const { return exporter_; }
  // The list, or the page where no list is shown, takes the keys.
  void focusView();
  // In percent of the normal size.
  int zoom() const { return zoom_; }

  // Where rows too many for the clipboard can go instead, offered by the message that says
  // so: the export, which saves the shown rows [first, last) to a file the user names.
  // Unset, the message only says how many fit.
  std::function<void(const std::vector<std::pair<int, int>>& rows)> exportRows;
  // The most rows copied to the clipboard.
  long long clipboardLimit = kMaxClipboardRows;
  // Copying many rows in a worker; copyFinished comes when it ended, copied or stopped.
  bool isCopying() const { return copyShare_ != nullptr; }
  void stopCopying();

  QAction* editCopy = nullptr;
  QAction* editCopyCell = nullptr;
  QAction* editSelectAll = nullptr;
  QAction* listExport = nullptr;
  QAction* findOpen = nullptr;
  QAction* findNext = nullptr;
  QAction* findPrevious = nullptr;
  // Alt+Eingabe: every hit of the find selected, for copying, exporting or printing them.
  QAction* findSelectAll = nullptr;
  QAction* goToPayment = nullptr;
  QAction* filterOpen = nullptr;
  QAction* zoomIn = nullptr;
  QAction* zoomOut = nullptr;
  QAction* zoomReset = nullptr;
  QAction* helpKeys = nullptr;

  // The window's commands, for the help: every action with a name and a caption.
  QList<QAction*> commands() const;
  THelpWindow* helpWindow() const { return helpWindow_; }

 protected:
  // Strg+Mausrad over the list or the page zooms.
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  void copyFinished();

 private:
  QAction* Add(const char* name, const QString& caption, const QList<QKeySequence>& shortcuts);
  void addCommands(QMenu& menu) const;
  void copy();
  void copyInWorker(std::vector<std::pair<int, int>> rows, long long count);
  void copyEnded();
  void copyCell();
  // Asks which payments when more than all of them are at hand: the selection, the rows a
  // filter or an order shows, the hits of a find.
  void exportList();
  void exportShown(const std::vector<std::pair<int, int>>& rows);
  void selectAll();
  void setZoom(int percent);
  void stepZoom(int direction);
  void openFind();
  void openGoTo();
  void openFilter();

  QWidget* window_;
  TBrowserView* view_;
  std::shared_ptr<IMessageBox> messages_;
  // Before the finder and the arranger, which use it.
  TIndexShelf shelf_;
  std::unique_ptr<TListFindTarget> target_;
  TFinder* finder_;
  TFindBar* findBar_;
  TGoToBar* goToBar_;
  TFilterBar* filterBar_;
  TListArranger* arranger_;
  TRowExporter* exporter_;
  THelpWindow* helpWindow_ = nullptr;
  QFont baseFont_;
  int zoom_ = 100;
  QFutureWatcher<std::optional<TCopiedRows>> copier_;
  std::shared_ptr<TWorkerShare> copyShare_;
  QPointer<QProgressDialog> copyProgress_;
  // The cell under the pointer when the context menu came up; -1, -1 for none.
  std::pair<int, int> menuCell_{-1, -1};
};

}  // namespace quandel
