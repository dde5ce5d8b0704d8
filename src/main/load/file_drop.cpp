#include "file_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace quandel {

TFileDrop::TFileDrop(QWidget* window, std::function<void(const QString&)> show)
    : QObject(window), show_(std::move(show)) {
  window->setAcceptDrops(true);
  window->installEventFilter(this);
}

QString TFileDrop::FirstLocalFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

bool TFileDrop::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (FirstLocalFile(drag->mimeData()).isEmpty()) return false;
      drag->setDropAction(Qt::CopyAction);
      drag->accept();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString file = FirstLocalFile(drop->mimeData());
      if (file.isEmpty()) return false;
      // The file is only read: the source keeps it, whatever the dragging program proposed.
      drop->setDropAction(Qt::CopyAction);
      drop->accept();
      show_(file);
      return true;
    }
    default: return QObject::eventFilter(watched, event);
  }
}

}  // namespace quandel
