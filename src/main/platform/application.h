#pragma once
// The application object with the program's general error handler.
#include <QApplication>

#include <exception>
#include <functional>

namespace quandel {

// The message of an exception as the user reads it: UTF-8, or else Windows-1252 bytes.
QString ExceptionText(const std::exception& error);

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);

  // An exception thrown while an event is handled ends that handling only: its message is
  // shown and the program carries on.
  bool notify(QObject* receiver, QEvent* event) override;

  // Shows a message of the general error handler; a modal box titled with the program's name
  // unless replaced.
  std::function<void(const QString&)> ShowException;
};

}  // namespace quandel
