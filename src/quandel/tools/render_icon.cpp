// Build-time tool: renders the scalable icon into the fixed sizes the hicolor theme keeps, so
// the SVG stays the icon's only source.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fprintf(stderr, "Aufruf: render_icon SVG PIXEL PNG\n");
    return 2;
  }
  const QString svg = QString::fromLocal8Bit(argv[1]);
  const int size = QString::fromLocal8Bit(argv[2]).toInt();
  const QString png = QString::fromLocal8Bit(argv[3]);
  QSvgRenderer renderer(svg);
  if (!renderer.isValid() || size <= 0) {
    std::fprintf(stderr, "render_icon: %s nicht lesbar\n", argv[1]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
  }
  if (!image.save(png, "PNG")) {
    std::fprintf(stderr, "render_icon: %s nicht schreibbar\n", argv[3]);
    return 1;
  }
  return 0;
}
