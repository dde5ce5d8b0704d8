#pragma once
// The embedded browser view: shows a page and prints what it shows. A control list goes to a
// view that stays quick at any length; a page of any other shape to a text browser.
#include <QFutureWatcher>
#include <QStackedWidget>
#include <QUrl>

#include <memory>

#include "page_load.h"
#include "page_printer.h"
#include "platform.h"

class QPrinter;

namespace quandel {

class TControlListView;
class TPageBrowser;

class TBrowserView : public QStackedWidget, public IWebBrowser {
  Q_OBJECT

 public:
  // Links in the page go to `openUrl`; the view itself keeps showing the page.
  explicit TBrowserView(TUrlOpener openUrl, QWidget* parent = nullptr);
  ~TBrowserView() override;

  // Pages of kBackgroundLoadBytes and more are read and parsed in a worker thread: until then
  // the view shows what it showed before, and a newer page always wins over an older one.
  void Navigate(const QString& path) override;
  std::shared_ptr<IHtmlDocument> Document() override;

  // The printer the shown document is printed on. The print dialog edits it, so the
  // user's choices there are the ones used.
  QPrinter& PrintSettings();
  // Prints the page last navigated to, complete: a page still being read is waited for.
  TPrintOutcome PrintShown();

  QString toPlainText() const;
  TPageBrowser* pageBrowser() const { return pageBrowser_; }
  TControlListView* listView() const { return listView_; }
  bool showsList() const;
  // A page is being read and parsed in the background.
  bool isReading() const { return reading_; }
  // Blocks until a page being read is shown.
  void FinishReading();

  // About 13,000 payments: what is read and parsed in some 30 ms.
  static constexpr qint64 kBackgroundLoadBytes = 4 << 20;
  void setBackgroundLoadBytes(qint64 bytes) { backgroundLoadBytes_ = bytes; }

 signals:
  // While a page is read, parsed and its rows measured; 100 and loadFinished at the end.
  void loadProgress(int percent);
  void loadFinished();

 private:
  void Show(TLoadedPage page);
  void ReadFinished();
  void OpenLink(const QUrl& link);

  TUrlOpener openUrl_;
  TPageBrowser* pageBrowser_;
  TControlListView* listView_;
  std::unique_ptr<QPrinter> printer_;
  QFutureWatcher<TLoadedPage> reader_;
  QUrl shownUrl_;
  qint64 backgroundLoadBytes_ = kBackgroundLoadBytes;
  bool hasPage_ = false;
  bool reading_ = false;
};

}  // namespace quandel
