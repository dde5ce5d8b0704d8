#include "application.h"

#include <QMessageBox>
#include <QStringDecoder>

#include "page_text.h"
#include "product.h"

namespace quandel {

QString ExceptionText(const std::exception& error) {
  const QByteArray bytes(error.what());
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8.decode(bytes);
  return utf8.hasError() ? DecodeCp1252(bytes) : text;
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
