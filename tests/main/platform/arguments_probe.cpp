// Starts the viewer's application object and window with the command line it is given, as the
// program does, and prints what they made of it: each argument's bytes on a line, whether the
// window is mirrored, and its status text.
#include <QDir>

#include <cstdio>
#include <string>

#include "application.h"
#include "file_name.h"
#include "mainForm.h"
#include "qt_platform.h"

int main(int argc, char* argv[]) {
  quandel::TApplication app(argc, argv);
  quandel::TViewerPlatform platform = quandel::QtViewerPlatform();
  platform.waitForLoads = true;
  std::string out;
  {
    quandel::TmainForm form(platform, app.programArguments(), QDir::currentPath());
    for (const QString& argument : app.programArguments()) out += quandel::FileNameToBytes(argument) + '\n';
    out += form.layoutDirection() == Qt::RightToLeft || QGuiApplication::isRightToLeft()
               ? "gespiegelt\n"
               : "links nach rechts\n";
    out += form.StatusText().toStdString() + '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
