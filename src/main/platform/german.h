#pragma once
// Qt's own texts in German: dialogs, buttons and the key names of menu shortcuts.
class QCoreApplication;

namespace quandel {

// Loads Qt's German translation when it is installed. The key names used in the menus
// ("Strg+O") come from a small built-in table as well, so they are German even without it.
void InstallGermanTranslations(QCoreApplication& app);

}  // namespace quandel
