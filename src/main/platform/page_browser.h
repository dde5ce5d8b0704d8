#pragma once
// The text browser that shows pages of any shape: the error page, a page written by hand.
#include <QByteArray>
#include <QTextBrowser>
#include <QUrl>

namespace quandel {

class TPageBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  explicit TPageBrowser(QWidget* parent = nullptr);

  // Shows `bytes` (Windows-1252) as the page at `url`, against which its links resolve. The
  // bytes are what the caller read, so the file is not read a second time.
  void ShowPage(const QUrl& url, const QByteArray& bytes);

 protected:
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  QVariant HtmlFor(const QByteArray& bytes);

  QUrl pendingUrl_;
  QByteArray pendingBytes_;
};

}  // namespace quandel
