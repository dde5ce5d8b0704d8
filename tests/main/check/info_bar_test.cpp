// The verdict bar under light and dark palettes: its lines stay readable on its tint.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QScopeGuard>
#include <QVBoxLayout>

#include "info_bar.h"
#include "listview/test_palettes.h"
#include "mark_colors.h"

namespace quandel::test {
namespace {

// A bar atop a window of `size`, shown; the window owns it.
TInfoBar* ShowBarIn(QWidget& window, QSize size) {
  auto* layout = new QVBoxLayout(&window);
  auto* bar = new TInfoBar(&window);
  layout->addWidget(bar);
  window.resize(size);
  window.show();
  return bar;
}

TEST(InfoBarColours, EveryKindKeepsItsLinesReadableInLightAndDarkPalettes) {
  for (const listview_test::PaletteCase& c : listview_test::kPalettes) {
    SCOPED_TRACE(c.name);
    // A theme sets the palette of the whole application.
    const QPalette before = QApplication::palette();
    QApplication::setPalette(listview_test::MakePalette(c));
    const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
    QWidget window;
    TInfoBar* bar = ShowBarIn(window, QSize(500, 120));
    for (const auto& [kind, name] :
         {std::pair{TInfoKind::Information, "information"}, std::pair{TInfoKind::Warning, "warning"},
          std::pair{TInfoKind::Error, "error"}}) {
      SCOPED_TRACE(name);
      bar->showMessage(kind, QStringLiteral("Urteil"), QStringLiteral("Befunde"), false);
      QCoreApplication::processEvents();
      const QImage image = bar->grab().toImage();
      const QColor background = listview_test::Background(image, image.rect().adjusted(2, 2, -2, -2));
      const QColor text =
          bar->findChild<QLabel*>(QStringLiteral("infoHeadline"))->palette().color(QPalette::WindowText);
      EXPECT_EQ(text, c.windowText);
      EXPECT_GE(ContrastRatio(background, text), kReadableContrast) << background.name().toStdString();
      // Still a tint: the bar stands apart from the window.
      EXPECT_NE(background, c.window);
    }
  }
}

// The bar is as high while a check runs as after its verdict, with or without findings; a
// damaged file's message, which no check goes before, leaves out the row of their buttons.
TEST(InfoBarHeight, KeepsTheButtonsRowOnlyWhereACheckWentBefore) {
  QWidget window;
  TInfoBar* bar = ShowBarIn(window, QSize(696, 480));
  const auto height = [bar] {
    QCoreApplication::processEvents();
    return bar->sizeHint().height();
  };
  bar->showMessage(TInfoKind::Error, QStringLiteral("Datei beschädigt"), QStringLiteral("gelesen"), false);
  const int damaged = height();
  bar->showProgress(40);
  const int running = height();
  bar->showMessage(TInfoKind::Information, QStringLiteral("Urteil"), QStringLiteral("Konten"), false);
  EXPECT_EQ(height(), running);
  bar->showProgress(40);
  bar->showMessage(TInfoKind::Warning, QStringLiteral("Urteil"), QStringLiteral("Befunde"), true);
  EXPECT_EQ(height(), running);
  EXPECT_LT(damaged, running);
  bar->showMessage(TInfoKind::Error, QStringLiteral("Datei beschädigt"), QStringLiteral("gelesen"), false);
  EXPECT_EQ(height(), damaged);
}

}  // namespace
}  // namespace quandel::test
