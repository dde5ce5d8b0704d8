#include "open_url.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QString>
#include <QUrl>

namespace support {

void OpenUrl(const std::string& Url) {
  const QString text = QString::fromUtf8(Url.data(), static_cast<qsizetype>(Url.size()));
  // A bare path has no scheme; QUrl would take its first component for one.
  const QUrl url = QFileInfo(text).isAbsolute() ? QUrl::fromLocalFile(text) : QUrl::fromUserInput(text);
  QDesktopServices::openUrl(url);
}

}  // namespace support
