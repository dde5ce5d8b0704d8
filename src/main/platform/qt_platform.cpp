#include "qt_platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>

#include <algorithm>

#include "open_url.h"
#include "product.h"

namespace quandel {
namespace {

QString QtPattern(const QString& pattern) {
  if (pattern == QStringLiteral("*.*")) return QStringLiteral("*");
  QString out;
  for (const QChar c : pattern) {
    if (c.isLetter() && c.unicode() < 0x80)
      out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
    else
      out += c;
  }
  return out;
}

class TQtMessageBox : public IMessageBox {
 public:
  void ShowMessage(const QString& text) override { Show(QMessageBox::NoIcon, text); }
  void ShowError(const QString& text) override { Show(QMessageBox::Critical, text); }

 private:
  static void Show(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QString::fromUtf8(support::ProductName), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
  }
};

class TQtOpenDialog : public IOpenDialog {
 public:
  std::optional<QString> Execute(const TOpenDialogSettings& settings) override {
    QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Öffnen"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name is taken as it is, also when no such file exists.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = QtNameFilters(settings.Filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
      const bool inRange = settings.FilterIndex >= 1 && settings.FilterIndex <= filters.size();
      dialog.selectNameFilter(filters.at(inRange ? settings.FilterIndex - 1 : 0));
    }
    if (!settings.InitialDir.isEmpty()) dialog.setDirectory(settings.InitialDir);
    // The dialog keeps the name chosen last and offers it again, in its own folder.
    if (!lastChosen_.isEmpty()) dialog.selectFile(lastChosen_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    lastChosen_ = chosen.first();
    return chosen.first();
  }

 private:
  QString lastChosen_;
};

class TQtSaveDialog : public ISaveDialog {
 public:
  std::optional<QString> Execute(const TSaveDialogSettings& settings) override {
    QFileDialog dialog(QApplication::activeWindow(), settings.Title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(settings.Filter));
    dialog.selectFile(settings.FileName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.first();
  }
};

class TQtPrintDialog : public IPrintDialog {
 public:
  bool Execute(QPrinter& printer, bool offerSelection) override {
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, offerSelection);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
  }
};

class TQtPrintProgress : public IPrintProgress {
 public:
  ~TQtPrintProgress() override { Close(); }

  void Show(const QString& text, int value, int maximum) override {
    QProgressDialog* dialog = dialog_.data();
    if (dialog == nullptr) {
      dialog = new QProgressDialog(QApplication::activeWindow());
      dialog->setWindowTitle(QStringLiteral("Drucken"));
      dialog->setCancelButtonText(QStringLiteral("Abbrechen"));
      // The window stays on screen and repaints, but takes no commands while it prints.
      dialog->setWindowModality(Qt::WindowModal);
      dialog->setAutoClose(false);
      dialog->setAutoReset(false);
      dialog->setMinimumDuration(0);
      // Without a window to hang on (none active when the print began) it would count as
      // one, and the program would live on after its window closed.
      dialog->setAttribute(Qt::WA_QuitOnClose, false);
      dialog_ = dialog;
    }
    dialog->setLabelText(text);
    dialog->setMaximum(std::max(1, maximum));
    dialog->setValue(value);
    if (!dialog->isVisible() && !dialog->wasCanceled()) dialog->show();
  }
  bool StopRequested() override { return dialog_ && dialog_->wasCanceled(); }
  void Close() override { delete dialog_.data(); }

 private:
  // Its parent window may close first and take it along.
  QPointer<QProgressDialog> dialog_;
};

}  // namespace

QStringList QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
      patterns << QtPattern(pattern.trimmed());
    // Qt reads the patterns from the last parentheses and, with the details hidden, shows
    // only what stands before them.
    filters << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters;
}

TViewerPlatform QtViewerPlatform() {
  TViewerPlatform platform;
  platform.messages = std::make_shared<TQtMessageBox>();
  platform.openDialog = std::make_shared<TQtOpenDialog>();
  platform.saveDialog = std::make_shared<TQtSaveDialog>();
  platform.printDialog = std::make_shared<TQtPrintDialog>();
  platform.printProgress = std::make_shared<TQtPrintProgress>();
  platform.openUrl = support::OpenUrl;
  return platform;
}

}  // namespace quandel
