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

// `name` as the save dialog returns it, the filter `chosen` (counted from 0) in effect: a name
// ending in none of the filter's extensions ("*.csv"; any case) gets the chosen one's first.
QString WithFilterExtension(const QString& name, const QString& filter, int chosen);
// The name offered when the user chooses another filter: a name ending in an extension of
// another filter gets the chosen one's first instead; any other stays.
QString SwitchedFilterExtension(const QString& name, const QString& filter, int chosen);

}  // namespace quandel
