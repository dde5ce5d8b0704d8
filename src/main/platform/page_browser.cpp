#include "page_browser.h"

#include <QFile>

#include <utility>

#include "page_text.h"

namespace quandel {

TPageBrowser::TPageBrowser(QWidget* parent) : QTextBrowser(parent) {
  setObjectName(QStringLiteral("PageBrowser"));
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setUndoRedoEnabled(false);
  // With the bar always there, a page is laid out once instead of twice.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TPageBrowser::ShowPage(const QUrl& url, const QByteArray& bytes) {
  pendingUrl_ = url;
  pendingBytes_ = bytes;
  // The same address again is a new page: the file has been rewritten.
  if (source() == url)
    reload();
  else
    setSource(url, QTextDocument::HtmlResource);
  pendingUrl_.clear();
  pendingBytes_.clear();
  clearHistory();
}

QVariant TPageBrowser::loadResource(int type, const QUrl& name) {
  if (type != QTextDocument::HtmlResource || !name.isLocalFile())
    return QTextBrowser::loadResource(type, name);
  if (!pendingUrl_.isEmpty() && name == pendingUrl_) return HtmlFor(std::exchange(pendingBytes_, {}));
  QFile file(name.toLocalFile());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return HtmlFor(file.readAll());
}

QVariant TPageBrowser::HtmlFor(const QByteArray& bytes) {
  const QString html = DecodeCp1252(bytes);
  // Takes effect when the returned text is parsed, right after this call.
  document()->setDefaultStyleSheet(PageStyleRules(html));
  return PageForView(html);
}

}  // namespace quandel
