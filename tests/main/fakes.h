#pragma once
// Stand-ins for the modal parts of the desktop, so tests never wait for a user.
#include <QPrinter>

#include <optional>
#include <string>
#include <vector>

#include "platform.h"
#include "qstring_print.h"

namespace quandel::test {

class FakeMessageBox : public IMessageBox {
 public:
  void ShowMessage(const QString& text) override { messages.push_back(text); }
  void ShowError(const QString& text) override { errors.push_back(text); }

  std::vector<QString> messages;
  std::vector<QString> errors;
};

class FakeOpenDialog : public IOpenDialog {
 public:
  void setNextFileName(const QString& name) { next_ = name; }
  void setNextCancel() { next_.reset(); }

  std::optional<QString> Execute(const TOpenDialogSettings& settings) override {
    shown.push_back(settings);
    return next_;
  }

  std::vector<TOpenDialogSettings> shown;

 private:
  std::optional<QString> next_;
};

// Confirms or cancels; when confirming it can send the output to a PDF file, as a user
// choosing "print to file" would.
class FakePrintDialog : public IPrintDialog {
 public:
  void setNextAnswer(bool confirm) { answer_ = confirm; }
  void setPdfOutput(const QString& path) { pdf_ = path; }

  bool Execute(QPrinter& printer) override {
    ++shown;
    if (answer_ && !pdf_.isEmpty()) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf_);
    }
    return answer_;
  }

  int shown = 0;

 private:
  bool answer_ = false;
  QString pdf_;
};

struct FakeDesktop {
  std::shared_ptr<FakeMessageBox> messages = std::make_shared<FakeMessageBox>();
  std::shared_ptr<FakeOpenDialog> openDialog = std::make_shared<FakeOpenDialog>();
  std::shared_ptr<FakePrintDialog> printDialog = std::make_shared<FakePrintDialog>();
  std::vector<std::string> openedUrls;
  // Most tests look at the window right after ShowFile; the tests of loading itself do not wait.
  bool waitForLoads = true;

  TViewerPlatform Platform() {
    TViewerPlatform platform;
    platform.messages = messages;
    platform.openDialog = openDialog;
    platform.printDialog = printDialog;
    platform.openUrl = [this](const std::string& url) { openedUrls.push_back(url); };
    platform.waitForLoads = waitForLoads;
    return platform;
  }
};

}  // namespace quandel::test
