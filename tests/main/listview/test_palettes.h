#pragma once
// Light and dark palettes for the tests of colours, and how to read a colour off a widget.
#include <QColor>
#include <QImage>
#include <QMap>
#include <QPalette>
#include <QRect>

#include <vector>

namespace listview_test {

struct PaletteCase {
  const char* name;
  QColor base, text, highlight, window, windowText;
};

inline const std::vector<PaletteCase> kPalettes{
    {"light", Qt::white, Qt::black, QColor(48, 140, 198), QColor(239, 239, 239), Qt::black},
    {"dark", QColor(30, 30, 30), QColor(230, 230, 230), QColor(42, 130, 218), QColor(53, 53, 53),
     QColor(230, 230, 230)},
    {"dark with grey text", QColor(45, 45, 48), QColor(200, 200, 200), QColor(61, 174, 233),
     QColor(49, 54, 59), QColor(200, 200, 200)},
    {"mid grey", QColor(70, 70, 70), QColor(200, 200, 200), QColor(90, 120, 160), QColor(80, 80, 80),
     QColor(200, 200, 200)},
    {"black and white", Qt::black, Qt::white, QColor(0, 0, 160), Qt::black, Qt::white},
};

inline QPalette MakePalette(const PaletteCase& c) {
  QPalette palette;
  palette.setColor(QPalette::Base, c.base);
  palette.setColor(QPalette::Text, c.text);
  palette.setColor(QPalette::Highlight, c.highlight);
  palette.setColor(QPalette::Window, c.window);
  palette.setColor(QPalette::WindowText, c.windowText);
  return palette;
}

// The colour most of `area` is painted in: its background, whatever text stands on it.
inline QColor Background(const QImage& image, const QRect& area) {
  QMap<QRgb, int> counts;
  const QRect inside = area.adjusted(4, 2, -2, -2).intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) ++counts[image.pixel(x, y)];
  QRgb most = 0;
  int best = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > best) {
      most = it.key();
      best = it.value();
    }
  return QColor::fromRgb(most);
}

}  // namespace listview_test
