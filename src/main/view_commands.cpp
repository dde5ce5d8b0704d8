#include "view_commands.h"

#include <QAction>
#include <QBoxLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QWheelEvent>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <array>

#include "browser_view.h"
#include "control_list_view.h"
#include "filter_bar.h"
#include "find_bar.h"
#include "finder.h"
#include "goto_bar.h"
#include "help_window.h"
#include "list_arranger.h"
#include "page_browser.h"
#include "row_copy.h"
#include "row_exporter.h"
#include "sheet_rows.h"

namespace quandel {

// The list as find and copy see it: its rows' texts, its cursor and its marks.
class TListFindTarget : public IRowTexts, public IFindView {
 public:
  explicit TListFindTarget(TControlListView* view) : view_(view) {}
  int rowCount() const override { return view_->rowCount(); }
  int columnCount() const override { return view_->columnCount(); }
  QString cellText(int row, int column) const override { return view_->cellText(row, column); }
  TFindRows findRows() const override {
    const TPaymentModel* model = view_->model();
    if (model == nullptr) return {};
    return {model->sharedDocument(), model->regionalSettings(), model->fileRowOrder(), model->rows()};
  }
  int currentRow() const override { return view_->selection().cursor(); }
  void showHit(int row) override { view_->setHighlightedRow(row); }
  void markHits(std::shared_ptr<const std::vector<int>> rows) override {
    view_->setMarkedRows(std::move(rows));
  }
  void markText(std::shared_ptr<const ombra::TSearchNeedle> needle) override {
    view_->setHitNeedle(std::move(needle));
  }
  void selectRows(const std::vector<int>& rows, int cursor) override { view_->selectRows(rows, cursor); }

 private:
  TControlListView* view_;
};

namespace {

// The steps a browser offers, in percent.
constexpr std::array<int, 12> kZoomSteps{50, 67, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};

// The payments the rows [first, last) of `model` show, counted from 0 in the file.
std::vector<int> PaymentsOf(const TPaymentModel& model, const std::vector<std::pair<int, int>>& ranges) {
  std::vector<int> payments;
  for (const auto& [first, last] : ranges)
    for (int row = first; row < last; ++row) payments.push_back(model.fileRow(row));
  return payments;
}

}  // namespace

TViewCommands::TViewCommands(QWidget* window, TBrowserView* view, QBoxLayout* layout,
                             std::shared_ptr<IMessageBox> messages, std::shared_ptr<ISaveDialog> saveDialog)
    : QObject(window),
      window_(window),
      view_(view),
      messages_(std::move(messages)),
      target_(std::make_unique<TListFindTarget>(view->listView())),
      finder_(new TFinder(this)),
      findBar_(new TFindBar(*finder_, window)),
      goToBar_(new TGoToBar(window)),
      filterBar_(new TFilterBar(window)),
      arranger_(new TListArranger(view->listView(), this)),
      exporter_(new TRowExporter(window, messages_, std::move(saveDialog))),
      baseFont_(view->font()) {
  layout->addWidget(findBar_);
  layout->addWidget(goToBar_);
  layout->addWidget(filterBar_);
  finder_->setTarget(target_.get());
  finder_->setShelf(&shelf_);
  arranger_->setShelf(&shelf_);

  editCopy = Add("editCopy", QStringLiteral("&Kopieren"), {QKeySequence::Copy});
  editCopyCell = Add("editCopyCell", QStringLiteral("&Zelle kopieren"), {});
  editSelectAll = Add("editSelectAll", QStringLiteral("&Alles auswählen"), {QKeySequence::SelectAll});
  listExport = Add("listExport", QStringLiteral("&Exportieren …"), {QKeySequence(Qt::CTRL | Qt::Key_E)});
  findOpen = Add("findOpen", QStringLiteral("&Suchen …"), {QKeySequence::Find});
  findNext = Add("findNext", QStringLiteral("&Weitersuchen"), {QKeySequence(Qt::Key_F3)});
  findPrevious =
      Add("findPrevious", QStringLiteral("&Rückwärts suchen"), {QKeySequence(Qt::SHIFT | Qt::Key_F3)});
  findSelectAll = Add("findSelectAll", QStringLiteral("Alle &Treffer auswählen"),
                      {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)});
  goToPayment =
      Add("goToPayment", QStringLiteral("&Gehe zu Zahlung …"), {QKeySequence(Qt::CTRL | Qt::Key_G)});
  filterOpen =
      Add("filterOpen", QStringLiteral("&Filtern …"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)});
  zoomIn = Add("zoomIn", QStringLiteral("&Vergrößern"),
               {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  zoomOut = Add("zoomOut", QStringLiteral("V&erkleinern"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
  zoomReset = Add("zoomReset", QStringLiteral("&Originalgröße"), {QKeySequence(Qt::CTRL | Qt::Key_0)});
  helpKeys = Add("helpKeys", QStringLiteral("&Tasten und Befehle"), {QKeySequence(Qt::Key_F1)});

  connect(editCopy, &QAction::triggered, this, &TViewCommands::copy);
  connect(&copier_, &QFutureWatcher<std::optional<TCopiedRows>>::finished, this, &TViewCommands::copyEnded);
  connect(editCopyCell, &QAction::triggered, this, &TViewCommands::copyCell);
  connect(editSelectAll, &QAction::triggered, this, &TViewCommands::selectAll);
  connect(listExport, &QAction::triggered, this, &TViewCommands::exportList);
  exportRows = [this](const std::vector<std::pair<int, int>>& rows) { exportShown(rows); };
  connect(findOpen, &QAction::triggered, this, &TViewCommands::openFind);
  connect(findNext, &QAction::triggered, this, [this] {
    if (findBar_->isHidden()) return openFind();
    finder_->findNext();
  });
  connect(findPrevious, &QAction::triggered, this, [this] {
    if (findBar_->isHidden()) return openFind();
    finder_->findPrevious();
  });
  connect(findSelectAll, &QAction::triggered, this, [this] {
    if (!view_->showsList()) return;
    // The hits of the text last looked for, shown again with the bar.
    if (findBar_->isHidden()) openFind();
    finder_->selectAllHits();
  });
  connect(goToPayment, &QAction::triggered, this, &TViewCommands::openGoTo);
  connect(filterOpen, &QAction::triggered, this, &TViewCommands::openFilter);
  connect(zoomIn, &QAction::triggered, this, [this] { stepZoom(1); });
  connect(zoomOut, &QAction::triggered, this, [this] { stepZoom(-1); });
  connect(zoomReset, &QAction::triggered, this, [this] { setZoom(100); });
  connect(helpKeys, &QAction::triggered, this, [this] {
    if (!helpWindow_) helpWindow_ = new THelpWindow(window_);
    helpWindow_->showHelp(commands());
  });
  view_->listView()->viewport()->installEventFilter(this);
  view_->pageBrowser()->viewport()->installEventFilter(this);

  TControlListView* list = view_->listView();
  // The worker reading the rows for the index is stopped before they go.
  connect(list, &TControlListView::rowsAboutToChange, finder_, &TFinder::reset);
  connect(list, &TControlListView::rowsChanged, finder_, [this] {
    if (findBar_->isVisible()) finder_->refind();
  });
  // Back in the list, the keys go on from the current hit, which stays selected.
  connect(findBar_, &TFindBar::closed, view_, [this, list] {
    list->setHighlightedRow(-1);
    focusView();
  });
  // The number asked for is the payment's in the file, wherever the order puts it.
  connect(goToBar_, &TGoToBar::goTo, list, &TControlListView::setCurrentPayment);
  goToBar_->setShown([list](int payment) { return list->rowOfPayment(payment) >= 0; });
  connect(goToBar_, &TGoToBar::closed, this, &TViewCommands::focusView);
  connect(filterBar_, &TFilterBar::filterChanged, arranger_, &TListArranger::setFilter);
  connect(filterBar_, &TFilterBar::closed, this, &TViewCommands::focusView);

  list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list, &QWidget::customContextMenuRequested, this,
          [this, list](const QPoint& pos) { listMenu(pos)->exec(list->viewport()->mapToGlobal(pos)); });
  TPageBrowser* page = view_->pageBrowser();
  page->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(page, &QWidget::customContextMenuRequested, this, [this, page](const QPoint& pos) {
    const std::unique_ptr<QMenu> menu(page->createStandardContextMenu(pos));
    menu->addSeparator();
    addCommands(*menu);
    menu->exec(page->viewport()->mapToGlobal(pos));
  });
}

TViewCommands::~TViewCommands() {
  finder_->setTarget(nullptr);
  finder_->setShelf(nullptr);
  arranger_->setShelf(nullptr);
  if (copyShare_) {
    copyShare_->Stop.store(true);
    copier_.waitForFinished();
  }
}

QAction* TViewCommands::Add(const char* name, const QString& caption, const QList<QKeySequence>& shortcuts) {
  auto* action = new QAction(caption, window_);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcuts(shortcuts);
  action->setShortcutContext(Qt::WindowShortcut);
  action->setShortcutVisibleInContextMenu(true);
  window_->addAction(action);
  return action;
}

std::unique_ptr<QMenu> TViewCommands::listMenu(const QPoint& viewportPos) {
  menuCell_ = view_->listView()->cellAt(viewportPos);
  auto menu = std::make_unique<QMenu>(view_);
  menu->addAction(editCopy);
  menu->addAction(editCopyCell);
  editCopyCell->setEnabled(menuCell_.first >= 0);
  menu->addAction(editSelectAll);
  menu->addAction(listExport);
  menu->addSeparator();
  addCommands(*menu);
  return menu;
}

void TViewCommands::addCommands(QMenu& menu) const {
  menu.addAction(findOpen);
  menu.addAction(findNext);
  menu.addAction(findPrevious);
  menu.addAction(findSelectAll);
  menu.addAction(goToPayment);
  menu.addAction(filterOpen);
  menu.addSeparator();
  menu.addAction(zoomIn);
  menu.addAction(zoomOut);
  menu.addAction(zoomReset);
  menu.addSeparator();
  menu.addAction(helpKeys);
}

void ShowShortcutInToolTip(QAction* action) {
  QString caption = action->text();
  caption.remove(u'&');
  while (caption.endsWith(u'.') || caption.endsWith(u'…') || caption.endsWith(u' ')) caption.chop(1);
  const QString keys = action->shortcut().toString(QKeySequence::NativeText);
  action->setToolTip(keys.isEmpty() ? caption : QStringLiteral("%1 (%2)").arg(caption, keys));
}

QList<QAction*> TViewCommands::commands() const {
  QList<QAction*> found;
  for (QAction* action : window_->findChildren<QAction*>())
    if (!action->objectName().isEmpty() && !action->text().isEmpty() && action->isVisible() &&
        action->menu() == nullptr)
      found << action;
  return found;
}

bool TViewCommands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
  const auto* wheel = static_cast<QWheelEvent*>(event);
  if (!wheel->modifiers().testFlag(Qt::ControlModifier) || wheel->angleDelta().y() == 0) return false;
  stepZoom(wheel->angleDelta().y() > 0 ? 1 : -1);
  return true;
}

void TViewCommands::copy() {
  if (!view_->showsList()) return view_->pageBrowser()->copy();
  if (isCopying()) return;
  std::vector<TRowSelection::TRange> rows = view_->listView()->selection().rowsToCopy();
  if (rows.empty()) return;
  long long count = 0;
  for (const auto& [first, last] : rows) count += last - first;
  if (count > clipboardLimit) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const QString tooMany = QStringLiteral(
                                "%1 Zahlungen sind zu viele für die Zwischenablage; es lassen sich "
                                "höchstens %2 auf einmal kopieren. Bitte weniger Zeilen auswählen")
                                .arg(german.toString(count), german.toString(clipboardLimit));
    if (!exportRows) return messages_->ShowMessage(tooMany + QStringLiteral("."));
    const std::optional<int> chosen =
        messages_->Choose(tooMany + QStringLiteral(" oder sie in eine Datei exportieren."),
                          {listExport->text()}, QStringLiteral("Schließen"));
    if (chosen == 0) exportRows(rows);
    return;
  }
  if (count > kMaxCopiedRows) return copyInWorker(std::move(rows), count);
  const TSheetRows sheet(view_->listView()->sharedModel());
  QGuiApplication::clipboard()->setMimeData(RowsAsMimeData(sheet, rows, sheet.titles()));
}

// The rows' texts are made in a worker while a dialog shows how far it got and can stop it;
// the window goes on meanwhile. The rows copied are those shown when the copy began.
void TViewCommands::copyInWorker(std::vector<std::pair<int, int>> rows, long long count) {
  auto sheet = std::make_shared<const TSheetRows>(view_->listView()->sharedModel());
  copyShare_ = std::make_shared<TWorkerShare>();
  copyProgress_ = ShowWorkerProgress(
      window_, {QStringLiteral("Kopieren"), QStringLiteral("Zahlungen werden kopiert …"), QStringLiteral("CopyProgress")},
      count, copyShare_);
  copier_.setFuture(QtConcurrent::run([sheet, rows = std::move(rows), share = copyShare_] {
    return CopyRows(*sheet, rows, sheet->titles(), [&share](long long rowsDone) { return share->Report(rowsDone); });
  }));
}

void TViewCommands::stopCopying() {
  if (copyShare_) copyShare_->Stop.store(true);
}

void TViewCommands::copyEnded() {
  const std::optional<TCopiedRows> copied = copier_.result();
  const bool stopped = copyShare_->Stop.load();
  copyShare_.reset();
  if (copyProgress_) copyProgress_->deleteLater();
  if (copied && !stopped) QGuiApplication::clipboard()->setMimeData(AsMimeData(*copied));
  emit copyFinished();
}

void TViewCommands::copyCell() {
  const auto [row, column] = menuCell_;
  if (row < 0 || !view_->showsList()) return;
  QGuiApplication::clipboard()->setText(CellLine(*target_, row, column));
}

void TViewCommands::exportList() {
  if (!view_->showsList()) return;
  TControlListView* list = view_->listView();
  const std::shared_ptr<TPaymentModel>& shown = list->sharedModel();
  const std::shared_ptr<TPaymentModel>& file = list->sharedFileModel();
  if (!shown || !file) return;
  struct TChoice {
    QString Caption;
    std::vector<int> Payments;
  };
  const QLocale german(QLocale::German, QLocale::Germany);
  const auto caption = [&german](const char* what, std::size_t count) {
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(what),
                                         german.toString(static_cast<qulonglong>(count)));
  };
  std::vector<TChoice> choices;
  std::vector<int> all = PaymentsOf(*file, {{0, file->rows()}});
  choices.push_back({caption("Alle Zahlungen", all.size()), std::move(all)});
  const TRowSelection& selection = list->selection();
  if (!selection.isEmpty() && selection.count() < shown->rows()) {
    std::vector<int> selected = PaymentsOf(*shown, selection.ranges());
    choices.push_back({caption("Ausgewählte", selected.size()), std::move(selected)});
  }
  if (!shown->inFileOrder()) {
    std::vector<int> rows = PaymentsOf(*shown, {{0, shown->rows()}});
    choices.push_back({caption("Gezeigte", rows.size()), std::move(rows)});
  }
  if (const TFinder::THits& hits = finder_->hits(); findBar_->isVisible() && hits && !hits->empty()) {
    std::vector<int> found;
    for (const int row : *hits) found.push_back(shown->fileRow(row));
    choices.push_back({caption("Suchtreffer", found.size()), std::move(found)});
  }
  std::size_t chosen = 0;
  if (choices.size() > 1) {
    QStringList captions;
    for (const TChoice& choice : choices) captions << choice.Caption;
    const std::optional<int> answer = messages_->Choose(
        QStringLiteral("Welche Zahlungen sollen exportiert werden?"), captions, QStringLiteral("Abbrechen"));
    if (!answer || *answer < 0 || *answer >= static_cast<int>(choices.size())) return;
    chosen = static_cast<std::size_t>(*answer);
  }
  exporter_->exportRows(*shown, std::move(choices[chosen].Payments));
}

void TViewCommands::exportShown(const std::vector<std::pair<int, int>>& rows) {
  const std::shared_ptr<TPaymentModel>& shown = view_->listView()->sharedModel();
  if (shown) exporter_->exportRows(*shown, PaymentsOf(*shown, rows));
}

void TViewCommands::selectAll() {
  if (view_->showsList())
    view_->listView()->selectAll();
  else
    view_->pageBrowser()->selectAll();
}

void TViewCommands::focusView() {
  QWidget* shown = view_->showsList() ? static_cast<QWidget*>(view_->listView()) : view_->pageBrowser();
  shown->setFocus(Qt::OtherFocusReason);
}

void TViewCommands::openFind() {
  goToBar_->close();
  findBar_->open();
}

void TViewCommands::openGoTo() {
  findBar_->close();
  // Payments are numbered as in the file, also where a filter shows fewer.
  const TPaymentModel* file = view_->listView()->sharedFileModel().get();
  goToBar_->open(file ? file->fileRows() : 0);
}

void TViewCommands::openFilter() {
  if (!view_->showsList()) return;
  filterBar_->open();
}

void TViewCommands::stepZoom(int direction) {
  const auto at = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom_);
  if (direction > 0) {
    const auto next = at != kZoomSteps.end() && *at == zoom_ ? at + 1 : at;
    if (next != kZoomSteps.end()) setZoom(*next);
  } else if (at != kZoomSteps.begin()) {
    setZoom(*(at - 1));
  }
}

void TViewCommands::setZoom(int percent) {
  if (percent == zoom_) return;
  zoom_ = percent;
  QFont font = baseFont_;
  if (baseFont_.pointSizeF() > 0)
    font.setPointSizeF(baseFont_.pointSizeF() * percent / 100.0);
  else
    font.setPixelSize(std::max(1, baseFont_.pixelSize() * percent / 100));
  view_->setFont(font);
}

}  // namespace quandel
