#pragma once
// A page file read and, when it is a control list, parsed: the part of showing a page that
// may run in a worker thread.
#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

#include "control_list_page.h"

namespace quandel {

struct TLoadedPage {
  QUrl url;
  bool read = false;
  // The page's bytes when it is not a control list.
  QByteArray bytes;
  std::optional<TControlListPage> list;
};

// Reads `path` once; `read` stays false when it cannot be read.
TLoadedPage LoadPage(const QString& path);
// The same for a worker thread, where nothing may be thrown: a page too big for the memory
// left counts as not read.
TLoadedPage LoadPageInBackground(const QString& path) noexcept;

}  // namespace quandel
