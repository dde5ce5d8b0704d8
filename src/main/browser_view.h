#pragma once
// The embedded browser view: shows the control-list page and prints it.
#include <QTextBrowser>

#include <memory>

#include "platform.h"

class QPrinter;

namespace quandel {

class TBrowserView : public QTextBrowser, public IWebBrowser {
  Q_OBJECT

 public:
  // Links in the page go to `openUrl`; the view itself keeps showing the page.
  explicit TBrowserView(TUrlOpener openUrl, QWidget* parent = nullptr);
  ~TBrowserView() override;

  void Navigate(const QString& path) override;
  std::shared_ptr<IHtmlDocument> Document() override;

  // The printer the shown document is printed on. The print dialog edits it, so the
  // user's choices there are the ones used.
  QPrinter& PrintSettings();

 protected:
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  void OpenLink(const QUrl& link);

  TUrlOpener openUrl_;
  std::unique_ptr<QPrinter> printer_;
  bool hasPage_ = false;
};

}  // namespace quandel
