#include "page_load.h"

#include <QFile>
#include <QFileInfo>

#include <exception>

namespace quandel {

// Read, not mapped: a file cut short by someone else while it is parsed must not end the
// program.
TLoadedPage LoadPage(const QString& path) {
  TLoadedPage page;
  page.url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return page;
  page.bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    page.bytes.clear();
    return page;
  }
  page.read = true;
  page.list = ParseControlList(page.bytes);
  // The parsed list holds all the page says; the bytes would only double the memory.
  if (page.list) page.bytes = QByteArray();
  return page;
}

TLoadedPage LoadPageInBackground(const QString& path) noexcept {
  try {
    return LoadPage(path);
  } catch (const std::exception&) {
    TLoadedPage page;
    page.url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    return page;
  }
}

}  // namespace quandel
