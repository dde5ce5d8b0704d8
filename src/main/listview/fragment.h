#pragma once
// The parts of the page around the payment table, as small laid-out HTML documents.
#include <QFont>
#include <QString>
#include <QTextDocument>

#include <memory>

namespace quandel {

// Laid out `width` pixels wide, without a margin of its own: the view places it.
std::unique_ptr<QTextDocument> MakeFragment(const QString& html, const QFont& font, int width);

// The page's text face, Arial or the nearest the system has, at the size of `base` in pixels,
// so that screen and printer lay it out alike.
QFont PageFont(const QFont& base);

}  // namespace quandel
