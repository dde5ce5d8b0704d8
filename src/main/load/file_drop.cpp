#include "file_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <optional>
#include <string>

#include "file_name.h"

namespace quandel {

namespace {

// The bytes of the local file a line of a "text/uri-list" names; nothing for a line that names
// no local file. The percent escapes are decoded to bytes, not to text: a name that is no UTF-8
// keeps its bytes, which QUrl::toLocalFile would replace.
std::optional<std::string> LocalFileBytes(const QByteArray& line) {
  // Bytes a sender left unescaped are escaped first, so that QUrl sees them as they are.
  QByteArray escaped;
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F)
      escaped += c;
    else
      escaped += '%' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
  }
  const QUrl url(QString::fromLatin1(escaped));
  if (!url.isValid() || !url.isLocalFile()) return std::nullopt;
  QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  if (path.isEmpty()) return std::nullopt;
  // Another host's file is named as QUrl names it, "//host/path".
  if (const QString host = url.host(); !host.isEmpty() && host != u"localhost")
    path.prepend("//" + host.toUtf8());
  return path.toStdString();
}

}  // namespace

TFileDrop::TFileDrop(QWidget* window, std::function<void(const QString&)> show)
    : QObject(window), show_(std::move(show)) {
  window->setAcceptDrops(true);
  window->installEventFilter(this);
}

QString TFileDrop::FirstLocalFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  const QByteArray list = data->data(QStringLiteral("text/uri-list"));
  for (QByteArray line : list.split('\n')) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (const std::optional<std::string> bytes = LocalFileBytes(line)) return FileNameFromBytes(*bytes);
  }
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
