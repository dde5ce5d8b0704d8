#include "browser_view.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QPrinter>
#include <QScrollBar>

#include <stdexcept>

#include "page_printer.h"
#include "page_text.h"

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
    switch (PrintDocument(*view_->document(), view_->PrintSettings())) {
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

}  // namespace

TBrowserView::TBrowserView(TUrlOpener openUrl, QWidget* parent)
    : QTextBrowser(parent), openUrl_(std::move(openUrl)) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setUndoRedoEnabled(false);
  // With the bar always there, a page is laid out once instead of twice.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(this, &QTextBrowser::anchorClicked, this, &TBrowserView::OpenLink);
}

TBrowserView::~TBrowserView() = default;

void TBrowserView::Navigate(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile() || !info.isReadable())
    throw std::runtime_error("Die Seite \"" + path.toStdString() + "\" kann nicht angezeigt werden.");
  const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
  // The same address again is a new page: the file has been rewritten.
  if (hasPage_ && source() == url)
    reload();
  else
    setSource(url, QTextDocument::HtmlResource);
  hasPage_ = true;
  clearHistory();
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

QVariant TBrowserView::loadResource(int type, const QUrl& name) {
  if (type != QTextDocument::HtmlResource || !name.isLocalFile())
    return QTextBrowser::loadResource(type, name);
  QFile file(name.toLocalFile());
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString html = DecodeCp1252(file.readAll());
  // Takes effect when the returned text is parsed, right after this call.
  document()->setDefaultStyleSheet(PageStyleRules(html));
  return PageForView(html);
}

void TBrowserView::OpenLink(const QUrl& link) {
  if (openUrl_) openUrl_(source().resolved(link).toString(QUrl::FullyEncoded).toStdString());
}

}  // namespace quandel
