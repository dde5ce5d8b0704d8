#pragma once
// The application object with the program's general error handler.
#include <QApplication>
#include <QStringList>

#include <exception>
#include <functional>

namespace quandel {

// The message of an exception as the user reads it: UTF-8, or else Windows-1252 bytes.
QString ExceptionText(const std::exception& error);

// Settings that Qt itself keeps for the user are never written to a file.
void KeepQtSettingsInMemory();

// What Qt is handed of the command line: the program's name alone.
struct TQtCommandLine {
  explicit TQtCommandLine(char* program) : qtArgv{program != nullptr ? program : fallback, nullptr} {}
  static inline char fallback[] = "quandel";
  int qtArgc = 1;
  char* qtArgv[2];
};

// Qt takes its settings from its environment variables only: every argument is the program's,
// also one that reads like a Qt option ("-reverse" names a file, it does not mirror the window).
class TApplication : private TQtCommandLine, public QApplication {
 public:
  TApplication(int argc, char** argv);

  // The arguments as given, the program's name first, each as FileNameFromBytes gives it.
  const QStringList& programArguments() const { return arguments_; }

  // An exception thrown while an event is handled ends that handling only: its message is
  // shown and the program carries on.
  bool notify(QObject* receiver, QEvent* event) override;

  // Shows a message of the general error handler; a modal box titled with the program's name
  // unless replaced.
  std::function<void(const QString&)> ShowException;

 private:
  QStringList arguments_;
};

}  // namespace quandel
