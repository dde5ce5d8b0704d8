#include "application.h"

#include <QMessageBox>

#include "cp1252.h"
#include "product.h"

namespace quandel {

QString ExceptionText(const std::exception& error) {
  return QString::fromStdString(support::Utf8OrCp1252ToUtf8(error.what()));
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
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
