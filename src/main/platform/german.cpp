#include "german.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

namespace quandel {
namespace {

class TKeyNameTranslator : public QTranslator {
 public:
  using QTranslator::QTranslator;

  bool isEmpty() const override { return false; }

  QString translate(const char* context, const char* sourceText, const char*, int) const override {
    if (context == nullptr || sourceText == nullptr || std::strcmp(context, "QShortcut") != 0) return {};
    if (std::strcmp(sourceText, "Ctrl") == 0) return QStringLiteral("Strg");
    if (std::strcmp(sourceText, "Shift") == 0) return QStringLiteral("Umschalt");
    // The key's name on German keyboards; Qt's own translation keeps the English word.
    if (std::strcmp(sourceText, "Return") == 0) return QStringLiteral("Eingabe");
    return {};
  }
};

}  // namespace

void InstallGermanTranslations(QCoreApplication& app) {
  auto* qtbase = new QTranslator(&app);
  if (qtbase->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(qtbase);
  else
    delete qtbase;
  // Installed last, so it is asked first: Qt's own translation keeps "Return" in English, and
  // without that translation the modifier keys still read as on a German keyboard.
  app.installTranslator(new TKeyNameTranslator(&app));
}

}  // namespace quandel
