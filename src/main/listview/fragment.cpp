#include "fragment.h"

#include <QFontInfo>

namespace quandel {

std::unique_ptr<QTextDocument> MakeFragment(const QString& html, const QFont& font, int width) {
  auto document = std::make_unique<QTextDocument>();
  document->setUndoRedoEnabled(false);
  document->setDocumentMargin(0);
  document->setDefaultFont(font);
  document->setHtml(html);
  document->setTextWidth(width);
  return document;
}

QFont PageFont(const QFont& base) {
  QFont font = base;
  // Arial alone: where it is missing, the system's font matcher picks its stand-in (a metric
  // twin where there is one). A style hint or a second family would be taken first.
  font.setFamily(QStringLiteral("Arial"));
  font.setPixelSize(QFontInfo(base).pixelSize());
  return font;
}

}  // namespace quandel
