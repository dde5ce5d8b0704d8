// Program entry of the viewer.
#include <QIcon>

#include "aboutFrm.h"
#include "application.h"
#include "file_name.h"
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

  // The bytes of the arguments as they are (Qt's own options already taken out): a name from
  // an old archive that is no UTF-8 must still name its file.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << quandel::FileNameFromBytes(argv[i]);
  quandel::TmainForm mainForm(quandel::QtViewerPlatform(), arguments, QCoreApplication::applicationDirPath());
  quandel::TaboutForm aboutForm(support::OpenUrl, &mainForm);
  mainForm.SetAboutBox([&aboutForm] { aboutForm.ShowModal(); });
  mainForm.show();
  QApplication::exec();
  return 0;
}
