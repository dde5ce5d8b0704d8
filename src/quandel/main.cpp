// Program entry of the viewer.
#include <QIcon>

#include "aboutFrm.h"
#include "application.h"
#include "german.h"
#include "mainForm.h"
#include "open_url.h"
#include "qt_platform.h"

int main(int argc, char* argv[]) {
  quandel::TApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quandel"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quandel"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/quandel/quandel.svg")));
  quandel::InstallGermanTranslations(app);

  quandel::TmainForm mainForm(quandel::QtViewerPlatform(), app.programArguments(),
                              QCoreApplication::applicationDirPath());
  quandel::TaboutForm aboutForm(support::OpenUrl, &mainForm);
  mainForm.SetAboutBox([&aboutForm] { aboutForm.ShowModal(); });
  mainForm.show();
  QApplication::exec();
  return 0;
}
