#pragma once
// The viewer's main window as the benchmarks drive it: a program folder and a current folder
// of its own, dialogs that never come up, a message box that only counts.
#include <QCoreApplication>
#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <string>

#include "browser_view.h"
#include "control_list_view.h"
#include "mainForm.h"
#include "qt_platform.h"

namespace bench {

class TSilentMessages : public quandel::IMessageBox {
 public:
  void ShowMessage(const QString&) override { ++shown; }
  void ShowError(const QString&) override { ++shown; }
  std::optional<int> Choose(const QString&, const QStringList&, const QString&) override {
    ++shown;
    return std::nullopt;
  }
  int shown = 0;
};

class TNoOpenDialog : public quandel::IOpenDialog {
 public:
  std::optional<QString> Execute(const quandel::TOpenDialogSettings&) override { return std::nullopt; }
};

// Cancels, unless told to print to a PDF file.
class TPrintDialog : public quandel::IPrintDialog {
 public:
  bool Execute(QPrinter& printer, bool) override {
    if (pdf.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  }
  QString pdf;
};

struct TViewerWindow {
  TViewerWindow() {
    QDir::setCurrent(work.path());
    quandel::TViewerPlatform platform;
    platform.messages = messages;
    platform.openDialog = std::make_shared<TNoOpenDialog>();
    platform.printDialog = printDialog;
    // The desktop's own progress dialog: its painting is part of what a print costs.
    platform.printProgress = quandel::QtViewerPlatform().printProgress;
    platform.openUrl = [](const std::string&) {};
    form = std::make_unique<quandel::TmainForm>(platform, QStringList{QStringLiteral("quandel")},
                                                program.path());
    form->resize(1000, 700);
    form->show();
    QCoreApplication::processEvents();
  }
  ~TViewerWindow() {
    form.reset();
    QDir::setCurrent(oldCurrent);
  }
  TViewerWindow(const TViewerWindow&) = delete;
  TViewerWindow& operator=(const TViewerWindow&) = delete;

  quandel::TBrowserView& view() const { return *form->WebBrowser1; }
  bool FirstRowsShown() const { return view().showsList() && view().listView()->visibleRows().second > 0; }
  // The page written too, not only the list measured.
  bool Complete() const { return FirstRowsShown() && view().listView()->isComplete() && !form->isLoading(); }

  QString oldCurrent = QDir::currentPath();
  QTemporaryDir program;
  QTemporaryDir work;
  std::shared_ptr<TSilentMessages> messages = std::make_shared<TSilentMessages>();
  std::shared_ptr<TPrintDialog> printDialog = std::make_shared<TPrintDialog>();
  std::unique_ptr<quandel::TmainForm> form;
};

}  // namespace bench
