#pragma once
// The help behind F1: every key of the list and every command with its shortcut, in German.
// The commands are read from the window's actions, so the help says what the keys really do.
#include <QDialog>
#include <QList>
#include <QString>

class QAction;
class QTextBrowser;

namespace quandel {

// The help as HTML: the list's keys, then `commands` (without separators) with their shortcuts.
QString KeysHelpHtml(const QList<QAction*>& commands);

class THelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit THelpWindow(QWidget* parent = nullptr);
  // Fills in the help anew and brings the window up.
  void showHelp(const QList<QAction*>& commands);
  QTextBrowser* text() const { return text_; }

 private:
  QTextBrowser* text_;
};

}  // namespace quandel
