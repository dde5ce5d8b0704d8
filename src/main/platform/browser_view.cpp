#include "browser_view.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QPrinter>
#include <QScopeGuard>

#include <stdexcept>

#include "control_list_view.h"
#include "page_browser.h"
#include "print_progress.h"

namespace quandel {
namespace {

class TViewCommandTarget : public IOleCommandTarget {
 public:
  explicit TViewCommandTarget(TBrowserView* view) : view_(view) {}

  HRESULT QueryStatus(OLECMD& cmd) override {
    if (cmd.cmdID != OLECMDID_PRINT) return OLECMDERR_E_NOTSUPPORTED;
    cmd.cmdf = OLECMDF_SUPPORTED | (view_ ? OLECMDF_ENABLED : 0u);
    return S_OK;
  }

  // The view never asks by itself: the print dialog has been shown before, whatever the option.
  HRESULT Exec(std::uint32_t cmdID, std::uint32_t, const TOleVariant&, TOleVariant&) override {
    if (cmdID != OLECMDID_PRINT) return OLECMDERR_E_NOTSUPPORTED;
    if (!view_) return E_FAIL;
    switch (view_->PrintShown()) {
      case TPrintOutcome::Printed: return S_OK;
      case TPrintOutcome::Cancelled: return OLECMDERR_E_CANCELED;
      // The user stopped it in the progress dialog and needs no message about it.
      case TPrintOutcome::Stopped: return S_OK;
      case TPrintOutcome::Failed: break;
    }
    return E_FAIL;
  }

 private:
  QPointer<TBrowserView> view_;
};

class TViewDocument : public IHtmlDocument {
 public:
  explicit TViewDocument(TBrowserView* view) : view_(view) {}
  std::shared_ptr<IOleCommandTarget> QueryCommandTarget() override {
    return std::make_shared<TViewCommandTarget>(view_);
  }

 private:
  TBrowserView* view_;
};

TPrintOutcome Outcome(TListPrintResult result) {
  switch (result) {
    case TListPrintResult::Printed: return TPrintOutcome::Printed;
    case TListPrintResult::Cancelled: return TPrintOutcome::Cancelled;
    case TListPrintResult::Stopped: return TPrintOutcome::Stopped;
    case TListPrintResult::Failed: break;
  }
  return TPrintOutcome::Failed;
}

}  // namespace

TBrowserView::TBrowserView(TUrlOpener openUrl, QWidget* parent)
    : QStackedWidget(parent),
      openUrl_(std::move(openUrl)),
      pageBrowser_(new TPageBrowser(this)),
      listView_(new TControlListView(this)) {
  listView_->setObjectName(QStringLiteral("ListView"));
  addWidget(pageBrowser_);
  addWidget(listView_);
  setCurrentWidget(pageBrowser_);
  connect(pageBrowser_, &QTextBrowser::anchorClicked, this, &TBrowserView::OpenLink);
  connect(listView_, &TControlListView::linkActivated, this, &TBrowserView::OpenLink);
  connect(listView_, &TControlListView::loadProgress, this, &TBrowserView::loadProgress);
  connect(listView_, &TControlListView::loadFinished, this, &TBrowserView::loadFinished);
}

TBrowserView::~TBrowserView() = default;

void TBrowserView::Navigate(const QString& path) {
  const QFileInfo info(path);
  QFile file(path);
  if (!info.isFile() || !file.open(QIODevice::ReadOnly))
    throw std::runtime_error("Die Seite \"" + path.toStdString() + "\" kann nicht angezeigt werden.");
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw std::runtime_error("Die Seite \"" + path.toStdString() + "\" kann nicht angezeigt werden.");
  shownUrl_ = QUrl::fromLocalFile(info.absoluteFilePath());
  hasPage_ = true;
  beforePreview_.reset();
  listView_->clear();
  pageBrowser_->ShowPage(shownUrl_, bytes);
  setCurrentWidget(pageBrowser_);
  emit loadProgress(100);
  emit loadFinished();
}

void TBrowserView::NavigateToList(const QString& path, std::shared_ptr<TPaymentModel> model) {
  shownUrl_ = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
  hasPage_ = true;
  beforePreview_.reset();
  // No stale page stays behind the list, to be printed or copied by mistake.
  pageBrowser_->clear();
  if (listView_->sharedFileModel() != model) listView_->setModel(std::move(model));
  setCurrentWidget(listView_);
}

void TBrowserView::PreviewList(std::shared_ptr<TPaymentModel> model) {
  if (!beforePreview_)
    beforePreview_ = TShown{listView_->sharedFileModel(), currentWidget(), listView_->firstVisibleRow()};
  listView_->setModel(std::move(model));
  setCurrentWidget(listView_);
}

void TBrowserView::EndPreview() {
  if (!beforePreview_) return;
  const TShown before = std::move(*beforePreview_);
  beforePreview_.reset();
  if (before.Model) {
    listView_->setModel(before.Model);
    listView_->scrollToRow(before.Top.first, before.Top.second);
  } else {
    listView_->clear();
  }
  setCurrentWidget(before.Current);
}

void TBrowserView::setBusy(bool busy) {
  if (busy)
    setCursor(Qt::BusyCursor);
  else
    unsetCursor();
}

std::shared_ptr<IHtmlDocument> TBrowserView::Document() {
  if (!hasPage_) return nullptr;
  return std::make_shared<TViewDocument>(this);
}

QPrinter& TBrowserView::PrintSettings() {
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setPageOrientation(QPageLayout::Portrait);
    printer_->setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
    printer_->setDocName(QStringLiteral("Datenträger-Kontrolliste"));
  }
  return *printer_;
}

TPrintOutcome TBrowserView::PrintShown() {
  if (!showsList()) return PrintDocument(*pageBrowser_->document(), PrintSettings());
  QPrinter& printer = PrintSettings();
  const std::unique_ptr<TListPrintJob> job = listView_->printJob(
      printer, printer.printRange() == QPrinter::Selection, sheetFrame_ ? sheetFrame_() : TSheetFrame{});
  if (!job) return TPrintOutcome::Failed;
  printing_ = true;
  listPrint_ = job.get();
  const auto printed = qScopeGuard([this] {
    printing_ = false;
    listPrint_ = nullptr;
  });
  return Outcome(RunListPrint(*job, printProgress_.get()));
}

void TBrowserView::stopPrinting() {
  if (listPrint_ != nullptr) listPrint_->stop();
}

bool TBrowserView::hasSelectedRows() const { return showsList() && !listView_->selection().isEmpty(); }

bool TBrowserView::showsList() const { return currentWidget() == listView_; }

QString TBrowserView::toPlainText() const {
  return showsList() ? listView_->toPlainText() : pageBrowser_->toPlainText();
}

void TBrowserView::OpenLink(const QUrl& link) {
  if (openUrl_) openUrl_(shownUrl_.resolved(link).toString(QUrl::FullyEncoded).toStdString());
}

}  // namespace quandel
