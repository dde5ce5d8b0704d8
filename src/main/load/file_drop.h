#pragma once
// Files dropped on the window: the first one is shown, as if it had been opened.
#include <QObject>
#include <QString>

#include <functional>

class QMimeData;

namespace quandel {

class TFileDrop : public QObject {
  Q_OBJECT

 public:
  // Watches `window` and hands the first dropped local file or folder to `show`.
  TFileDrop(QWidget* window, std::function<void(const QString&)> show);

  // The first local file or folder among dropped data; empty when there is none.
  static QString FirstLocalFile(const QMimeData* data);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const QString&)> show_;
};

}  // namespace quandel
