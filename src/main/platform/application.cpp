#include "application.h"

#include <QMessageBox>
#include <QSettings>

#include "cp1252.h"
#include "file_name.h"
#include "product.h"

namespace quandel {

QString ExceptionText(const std::exception& error) {
  return QString::fromStdString(support::Utf8OrCp1252ToUtf8(error.what()));
}

// Qt's dialogs keep their state (a file dialog's history, folder and view) in the user's
// settings and write it when they close; the program writes no file but its page. Settings
// addressed to a folder that cannot be made (a path below a device) are never written, and what
// a dialog keeps stays with the process.
void KeepQtSettingsInMemory() {
  const QString nowhere = QStringLiteral("/dev/null");
  for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(format, QSettings::UserScope, nowhere);
}

TApplication::TApplication(int argc, char** argv) : TQtCommandLine(argv[0]), QApplication(qtArgc, qtArgv) {
  // The bytes as they are: a name from an old archive that is no UTF-8 must still name its file.
  for (int i = 0; i < argc; ++i) arguments_ << FileNameFromBytes(argv[i]);
  KeepQtSettingsInMemory();
  ShowException = [](const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(support::ProductName), text);
  };
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowException(ExceptionText(error));
  } catch (...) {
    ShowException(QStringLiteral("Unbekannter Fehler"));
  }
  return true;
}

}  // namespace quandel
