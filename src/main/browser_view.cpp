#include "browser_view.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QPrinter>
#include <QtConcurrent/QtConcurrentRun>

#include <stdexcept>

#include "control_list_view.h"
#include "page_browser.h"

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
    case TListPrintResult::Failed: break;
  }
  return TPrintOutcome::Failed;
}

QString UnreadableText(const QUrl& url) {
  return QStringLiteral("Die Seite \"%1\" kann nicht angezeigt werden.").arg(url.toLocalFile());
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
  // While the next page is read, the list still shown must not report its own end as that page's.
  connect(listView_, &TControlListView::loadProgress, this, [this](int percent) {
    if (!reading_) emit loadProgress(percent);
  });
  connect(listView_, &TControlListView::loadFinished, this, [this] {
    if (!reading_) emit loadFinished();
  });
  connect(&reader_, &QFutureWatcher<TLoadedPage>::finished, this, &TBrowserView::ReadFinished);
}

// A worker still reading holds no pointer into the view; its result is simply dropped.
TBrowserView::~TBrowserView() = default;

void TBrowserView::Navigate(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile() || !info.isReadable())
    throw std::runtime_error("Die Seite \"" + path.toStdString() + "\" kann nicht angezeigt werden.");
  if (info.size() < backgroundLoadBytes_) {
    TLoadedPage page = LoadPage(path);
    if (!page.read)
      throw std::runtime_error("Die Seite \"" + path.toStdString() + "\" kann nicht angezeigt werden.");
    reading_ = false;
    hasPage_ = true;
    Show(std::move(page));
    return;
  }
  // The page is replaced by renaming a new file over it, so the worker reads either the old
  // page whole or the new one whole; either way a newer Navigate has replaced its future.
  reading_ = true;
  hasPage_ = true;
  reader_.setFuture(QtConcurrent::run(LoadPageInBackground, path));
  emit loadProgress(0);
}

void TBrowserView::ReadFinished() {
  // A finished signal of a future replaced meanwhile must not take the newer one's place.
  if (reading_ && reader_.isFinished()) FinishReading();
}

void TBrowserView::FinishReading() {
  if (!reading_) return;
  reader_.waitForFinished();
  reading_ = false;
  Show(reader_.future().takeResult());
}

void TBrowserView::Show(TLoadedPage page) {
  shownUrl_ = page.url;
  if (page.list) {
    // No stale page stays behind the list, to be printed or copied by mistake.
    pageBrowser_->clear();
    listView_->setPage(std::move(*page.list));
    setCurrentWidget(listView_);
    return;
  }
  listView_->clear();
  if (page.read)
    pageBrowser_->ShowPage(page.url, page.bytes);
  else
    pageBrowser_->setPlainText(UnreadableText(page.url));
  setCurrentWidget(pageBrowser_);
  emit loadProgress(100);
  emit loadFinished();
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
  FinishReading();
  if (showsList()) return Outcome(listView_->print(&PrintSettings()));
  return PrintDocument(*pageBrowser_->document(), PrintSettings());
}

bool TBrowserView::showsList() const { return currentWidget() == listView_; }

QString TBrowserView::toPlainText() const {
  return showsList() ? listView_->toPlainText() : pageBrowser_->toPlainText();
}

void TBrowserView::OpenLink(const QUrl& link) {
  if (openUrl_) openUrl_(shownUrl_.resolved(link).toString(QUrl::FullyEncoded).toStdString());
}

}  // namespace quandel
