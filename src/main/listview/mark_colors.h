#pragma once
// The colours that mark rows, find hits and bars, drawn from the palette the widget shows, so
// that a dark theme keeps the text on them readable.
#include <QColor>
#include <QPalette>

namespace quandel {

// The contrast of two colours as the accessibility guidelines measure it: 1 (none) to 21
// (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// What body text needs at least on its background, by those guidelines.
inline constexpr double kReadableContrast = 4.5;

// `b` mixed into `a` by `share` (0: a, 1: b), opaque, in the steps a screen shows.
QColor Mix(const QColor& a, const QColor& b, double share);
// How much of `tint` may go into `background`, up to `share`, with `text` still readable on
// it: in a light theme the full share, in a dark one less, down to none.
double ReadableShare(const QColor& background, const QColor& tint, const QColor& text, double share);
QColor ReadableTint(const QColor& background, const QColor& tint, const QColor& text, double share);

// Behind the rows a find marked, and behind the hit the find stands on.
QColor FindMarkColor(const QPalette& palette);
QColor FindHitColor(const QPalette& palette);
// Behind a selected row, over `below` (the row's base or its find mark); paler when the list
// has no focus.
QColor SelectionColor(const QPalette& palette, const QColor& below, bool focused);
// The check's mark in the number cell: a translucent tint over the row, and its edge.
QColor FlagTint(const QPalette& palette, bool severe);
QColor FlagEdge(bool severe);

}  // namespace quandel
