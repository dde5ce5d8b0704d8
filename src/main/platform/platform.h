#pragma once
// What the main window needs from the desktop, each behind a small interface so that tests
// can stand in for the modal parts.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "olecmd.h"

class QPrinter;

namespace quandel {

class IHtmlDocument {
 public:
  virtual ~IHtmlDocument() = default;
  // Null when the document offers no command target.
  virtual std::shared_ptr<IOleCommandTarget> QueryCommandTarget() = 0;
};

class IWebBrowser {
 public:
  virtual ~IWebBrowser() = default;
  // Shows the page at a local path. Throws when the page cannot be read.
  virtual void Navigate(const QString& path) = 0;
  // Null while nothing has been shown.
  virtual std::shared_ptr<IHtmlDocument> Document() = 0;
};

class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // A modal box with an OK button, titled with the program's name.
  virtual void ShowMessage(const QString& text) = 0;
  // The general error handler's box: like ShowMessage, marked as an error.
  virtual void ShowError(const QString& text) = 0;
  // A modal question with a button for each of `choices` and one that closes the box,
  // `dismiss`; the index of the choice taken, nothing when the box was closed.
  virtual std::optional<int> Choose(const QString& text, const QStringList& choices,
                                    const QString& dismiss) = 0;
};

struct TOpenDialogSettings {
  // Pairs of description and pattern, all separated by "|".
  QString Filter;
  // Counted from 1; a value outside the list selects the first filter.
  int FilterIndex = 1;
  QString InitialDir;
};

class IOpenDialog {
 public:
  virtual ~IOpenDialog() = default;
  // The chosen name, which need not exist; nothing when the user cancels.
  virtual std::optional<QString> Execute(const TOpenDialogSettings& settings) = 0;
};

struct TSaveDialogSettings {
  QString Title;
  // Pairs of description and pattern, as for the open dialog.
  QString Filter;
  // The name offered.
  QString FileName;
};

class ISaveDialog {
 public:
  virtual ~ISaveDialog() = default;
  // The name the user chose to save under, an existing file's only when the user agreed to
  // replace it; nothing when the user cancels. A name without any extension of the filter
  // gets the first of the filter chosen.
  virtual std::optional<QString> Execute(const TSaveDialogSettings& settings) = 0;
};

class IPrintDialog {
 public:
  virtual ~IPrintDialog() = default;
  // Shows the dialog on `printer`; what the user chooses is written into it. With
  // `offerSelection` the user may print only the selected rows ("Auswahl").
  virtual bool Execute(QPrinter& printer, bool offerSelection) = 0;
};

// Follows a long print ("Seite n von m") and lets the user stop it.
class IPrintProgress {
 public:
  virtual ~IPrintProgress() = default;
  // Brings the dialog up, or up to date: `text` over a bar at `value` of `maximum`.
  virtual void Show(const QString& text, int value, int maximum) = 0;
  // Whether the user has asked to stop since the dialog came up.
  virtual bool StopRequested() = 0;
  virtual void Close() = 0;
};

using TUrlOpener = std::function<void(const std::string& url)>;

struct TViewerPlatform {
  std::shared_ptr<IMessageBox> messages;
  std::shared_ptr<IOpenDialog> openDialog;
  // Null where nothing may be saved.
  std::shared_ptr<ISaveDialog> saveDialog;
  std::shared_ptr<IPrintDialog> printDialog;
  std::shared_ptr<IPrintProgress> printProgress;
  TUrlOpener openUrl;
  // ShowFile returns only when its load has ended, as headless tests want it; the window
  // itself never waits.
  bool waitForLoads = false;
};

}  // namespace quandel
