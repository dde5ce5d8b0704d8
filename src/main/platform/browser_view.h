#pragma once
// The embedded browser view: shows a page and prints what it shows. A control list is shown
// from its document by a view that stays quick at any length; a page of any other shape (the
// error page) by a text browser.
#include <QStackedWidget>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "page_printer.h"
#include "platform.h"
#include "sheet_notes.h"

class QPrinter;

namespace quandel {

class TControlListView;
class TListPrintJob;
class TPageBrowser;
class TPaymentModel;

class TBrowserView : public QStackedWidget, public IWebBrowser {
  Q_OBJECT

 public:
  // Links in the page go to `openUrl`; the view itself keeps showing the page.
  explicit TBrowserView(TUrlOpener openUrl, QWidget* parent = nullptr);
  ~TBrowserView() override;

  // Shows the page at `path` in the text browser.
  void Navigate(const QString& path) override;
  // Shows the control list written to `path` from the model of the document it was rendered
  // from; links resolve against `path`.
  void NavigateToList(const QString& path, std::shared_ptr<TPaymentModel> model);
  std::shared_ptr<IHtmlDocument> Document() override;

  // The printer the shown document is printed on. The print dialog edits it, so the
  // user's choices there are the ones used.
  QPrinter& PrintSettings();
  // Prints the page last navigated to; a list only its selected rows when the printer's
  // range says so. A long list is followed in `progress`, which can stop it.
  TPrintOutcome PrintShown();
  void SetPrintProgress(std::shared_ptr<IPrintProgress> progress) { printProgress_ = std::move(progress); }
  // Asked as a list's print starts: what its sheets say around the page.
  void SetSheetFrame(std::function<TSheetFrame()> frame) { sheetFrame_ = std::move(frame); }
  bool isPrinting() const { return printing_; }
  // Ends a list print running in the event loop as its "Abbrechen" would, leaving no part
  // of it behind: the window that closes takes its print along.
  void stopPrinting();
  // Whether a print may offer "Auswahl".
  bool hasSelectedRows() const;

  QString toPlainText() const;
  TPageBrowser* pageBrowser() const { return pageBrowser_; }
  TControlListView* listView() const { return listView_; }
  bool showsList() const;

  // Shows the list of a document whose page is still being written. Until the next Navigate
  // or NavigateToList, EndPreview goes back to what was shown before, scrolled as it was.
  void PreviewList(std::shared_ptr<TPaymentModel> model);
  void EndPreview();
  // A busy cursor over the view while a file loads.
  void setBusy(bool busy);

 signals:
  // While the rows of a list are measured; 100 and loadFinished at the end.
  void loadProgress(int percent);
  void loadFinished();

 private:
  void OpenLink(const QUrl& link);

  TUrlOpener openUrl_;
  TPageBrowser* pageBrowser_;
  TControlListView* listView_;
  std::unique_ptr<QPrinter> printer_;
  std::shared_ptr<IPrintProgress> printProgress_;
  std::function<TSheetFrame()> sheetFrame_;
  bool printing_ = false;
  TListPrintJob* listPrint_ = nullptr;
  QUrl shownUrl_;
  bool hasPage_ = false;
  struct TShown {
    std::shared_ptr<TPaymentModel> Model;
    QWidget* Current;
    std::pair<int, int> Top;
  };
  std::optional<TShown> beforePreview_;
};

}  // namespace quandel
