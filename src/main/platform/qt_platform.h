#pragma once
// The desktop implementations of the platform interfaces.
#include <QStringList>

#include "platform.h"

namespace quandel {

// Qt's own dialogs and message boxes; links open through the desktop's default browser.
TViewerPlatform QtViewerPlatform();

// "Description|pattern|..." as Qt name filters. The description stays what the user reads;
// the patterns match regardless of case, and "*.*" matches names without a dot too.
QStringList QtNameFilters(const QString& filter);

}  // namespace quandel
