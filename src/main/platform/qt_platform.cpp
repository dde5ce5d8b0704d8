#include "qt_platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>

#include <algorithm>
#include <vector>

#include "open_dialog.h"
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

// The extensions each filter of "Description|pattern|..." names (".csv" for "*.csv"); masks
// such as "*.*" name none.
std::vector<QStringList> FilterExtensions(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  std::vector<QStringList> extensions;
  for (qsizetype i = 1; i < parts.size(); i += 2) {
    QStringList offered;
    for (const QString& pattern : parts.at(i).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString trimmed = pattern.trimmed();
      if (trimmed.startsWith(QStringLiteral("*.")) && trimmed.indexOf(u'*', 1) < 0 && !trimmed.contains(u'?'))
        offered << trimmed.mid(1);
    }
    extensions.push_back(offered);
  }
  return extensions;
}

class TQtMessageBox : public IMessageBox {
 public:
  void ShowMessage(const QString& text) override { Show(QMessageBox::NoIcon, text); }
  void ShowError(const QString& text) override { Show(QMessageBox::Critical, text); }
  std::optional<int> Choose(const QString& text, const QStringList& choices,
                            const QString& dismiss) override {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(support::ProductName), text,
                    QMessageBox::NoButton, QApplication::activeWindow());
    std::vector<QPushButton*> buttons;
    for (const QString& choice : choices) buttons.push_back(box.addButton(choice, QMessageBox::AcceptRole));
    box.setEscapeButton(box.addButton(dismiss, QMessageBox::RejectRole));
    if (!buttons.empty()) box.setDefaultButton(buttons.front());
    box.exec();
    const auto taken = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    if (taken == buttons.end()) return std::nullopt;
    return static_cast<int>(taken - buttons.begin());
  }

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
    TOpenFileDialog dialog(QApplication::activeWindow());
    dialog.setNameFilters(settings.Filter);
    const int count = static_cast<int>(dialog.nameFilters().size());
    dialog.selectNameFilter(
        settings.FilterIndex >= 1 && settings.FilterIndex <= count ? settings.FilterIndex - 1 : 0);
    // The current folder first: a start folder that cannot be listed leaves it shown, with the reason.
    dialog.setDirectory(QStringLiteral("."));
    if (!settings.InitialDir.isEmpty()) dialog.setDirectory(settings.InitialDir);
    // The dialog keeps the name chosen last and offers it again, in its own folder.
    if (!lastChosen_.isEmpty()) dialog.selectFile(lastChosen_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QString chosen = dialog.selectedFile();
    if (chosen.isEmpty()) return std::nullopt;
    lastChosen_ = chosen;
    return chosen;
  }

 private:
  QString lastChosen_;
};

class TQtSaveDialog : public ISaveDialog {
 public:
  std::optional<QString> Execute(const TSaveDialogSettings& settings) override {
    QFileDialog dialog(QApplication::activeWindow(), settings.Title);
    // Qt's own dialog, whose state stays with the program: the desktop's dialogs keep theirs in
    // files of their own.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = QtNameFilters(settings.Filter);
    dialog.setNameFilters(filters);
    dialog.selectFile(settings.FileName);
    // Another type chosen, the name offered changes its extension with it.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& picked) {
      const QStringList typed = dialog.selectedFiles();
      if (typed.isEmpty()) return;
      const QString name = QFileInfo(typed.first()).fileName();
      const QString switched =
          SwitchedFilterExtension(name, settings.Filter, static_cast<int>(filters.indexOf(picked)));
      if (switched != name) dialog.selectFile(switched);
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return WithFilterExtension(chosen.first(), settings.Filter,
                               static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
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

QString WithFilterExtension(const QString& name, const QString& filter, int chosen) {
  const std::vector<QStringList> extensions = FilterExtensions(filter);
  for (const QStringList& offered : extensions)
    for (const QString& extension : offered)
      if (name.endsWith(extension, Qt::CaseInsensitive)) return name;
  const bool known = chosen >= 0 && static_cast<std::size_t>(chosen) < extensions.size();
  return known && !extensions[static_cast<std::size_t>(chosen)].isEmpty()
             ? name + extensions[static_cast<std::size_t>(chosen)].first()
             : name;
}

QString SwitchedFilterExtension(const QString& name, const QString& filter, int chosen) {
  const std::vector<QStringList> extensions = FilterExtensions(filter);
  if (chosen < 0 || static_cast<std::size_t>(chosen) >= extensions.size()) return name;
  const QStringList& wanted = extensions[static_cast<std::size_t>(chosen)];
  if (wanted.isEmpty()) return name;
  for (const QString& extension : wanted)
    if (name.endsWith(extension, Qt::CaseInsensitive)) return name;
  for (const QStringList& offered : extensions)
    for (const QString& extension : offered)
      if (name.endsWith(extension, Qt::CaseInsensitive))
        return name.chopped(extension.size()) + wanted.first();
  return name;
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
