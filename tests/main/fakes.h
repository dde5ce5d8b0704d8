#pragma once
// Stand-ins for the modal parts of the desktop, so tests never wait for a user.
#include <QPrinter>
#include <QStringList>

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
  // Notes the question and its choices, and answers with the first choice that starts with
  // `pick` where that is set, with `answer` otherwise.
  std::optional<int> Choose(const QString& text, const QStringList& offered, const QString&) override {
    questions.push_back(text);
    choices.push_back(offered);
    if (pick.isEmpty()) return answer;
    for (int i = 0; i < offered.size(); ++i)
      if (offered.at(i).startsWith(pick)) return i;
    return std::nullopt;
  }

  std::vector<QString> messages;
  std::vector<QString> errors;
  std::vector<QString> questions;
  std::vector<QStringList> choices;
  std::optional<int> answer;
  QString pick;
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

// Answers with the name set last, or cancels.
class FakeSaveDialog : public ISaveDialog {
 public:
  std::optional<QString> Execute(const TSaveDialogSettings& settings) override {
    shown.push_back(settings);
    return next;
  }

  std::optional<QString> next;
  std::vector<TSaveDialogSettings> shown;
};

// Confirms or cancels; when confirming it can send the output to a PDF file, as a user
// choosing "print to file" would, and choose "Auswahl" where it is offered.
class FakePrintDialog : public IPrintDialog {
 public:
  void setNextAnswer(bool confirm) { answer_ = confirm; }
  void setPdfOutput(const QString& path) { pdf_ = path; }
  void setChooseSelection(bool choose) { chooseSelection_ = choose; }

  bool Execute(QPrinter& printer, bool offerSelection) override {
    ++shown;
    selectionOffered = offerSelection;
    if (answer_ && !pdf_.isEmpty()) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf_);
    }
    if (answer_ && offerSelection)
      printer.setPrintRange(chooseSelection_ ? QPrinter::Selection : QPrinter::AllPages);
    return answer_;
  }

  int shown = 0;
  bool selectionOffered = false;

 private:
  bool answer_ = false;
  bool chooseSelection_ = false;
  QString pdf_;
};

// Notes what the progress dialog of a print says, and asks to stop once it has been brought
// up to date `stopAfter` times.
class FakePrintProgress : public IPrintProgress {
 public:
  void Show(const QString& text, int, int) override { shown.push_back(text); }
  bool StopRequested() override { return stopAfter >= 0 && static_cast<int>(shown.size()) >= stopAfter; }
  void Close() override { ++closed; }

  int stopAfter = -1;
  std::vector<QString> shown;
  int closed = 0;
};

struct FakeDesktop {
  std::shared_ptr<FakeMessageBox> messages = std::make_shared<FakeMessageBox>();
  std::shared_ptr<FakeOpenDialog> openDialog = std::make_shared<FakeOpenDialog>();
  std::shared_ptr<FakeSaveDialog> saveDialog = std::make_shared<FakeSaveDialog>();
  std::shared_ptr<FakePrintDialog> printDialog = std::make_shared<FakePrintDialog>();
  std::shared_ptr<FakePrintProgress> printProgress = std::make_shared<FakePrintProgress>();
  std::vector<std::string> openedUrls;
  // Most tests look at the window right after ShowFile; the tests of loading itself do not wait.
  bool waitForLoads = true;

  TViewerPlatform Platform() {
    TViewerPlatform platform;
    platform.messages = messages;
    platform.openDialog = openDialog;
    platform.saveDialog = saveDialog;
    platform.printDialog = printDialog;
    platform.printProgress = printProgress;
    platform.openUrl = [this](const std::string& url) { openedUrls.push_back(url); };
    platform.waitForLoads = waitForLoads;
    return platform;
  }
};

}  // namespace quandel::test
