#include "mark_colors.h"

#include <algorithm>
#include <cmath>

namespace quandel {
namespace {

// The hues the marks always had; on a white base the mixes below give the old marks back.
const QColor kFindTint(255, 224, 44);
const QColor kHitTint(255, 155, 26);
constexpr double kFindShare = 0.5;
constexpr double kHitShare = 0.85;
const QColor kSevereEdge(218, 68, 83);
const QColor kAccountEdge(246, 116, 0);
constexpr double kFlagShare = 70.0 / 255;
constexpr double kSelectedShare = 110.0 / 255;
constexpr double kUnfocusedShare = 60.0 / 255;

double Channel(double value) {
  return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
  return 0.2126 * Channel(c.redF()) + 0.7152 * Channel(c.greenF()) + 0.0722 * Channel(c.blueF());
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// In whole steps of 255, as the screen shows it: the contrast is judged on what is painted.
QColor Mix(const QColor& a, const QColor& b, double share) {
  const auto mix = [share](int x, int y) {
    return static_cast<int>(
        std::lround(static_cast<double>(x) * (1 - share) + static_cast<double>(y) * share));
  };
  return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

double ReadableShare(const QColor& background, const QColor& tint, const QColor& text, double share) {
  // Less tint brings the background's own contrast back; steps of a twentieth are finer than
  // the eye tells apart.
  for (; share > 0; share -= 0.05)
    if (ContrastRatio(Mix(background, tint, share), text) >= kReadableContrast) return share;
  return 0;
}

QColor ReadableTint(const QColor& background, const QColor& tint, const QColor& text, double share) {
  return Mix(background, tint, ReadableShare(background, tint, text, share));
}

QColor FindMarkColor(const QPalette& palette) {
  return ReadableTint(palette.color(QPalette::Base), kFindTint, palette.color(QPalette::Text), kFindShare);
}

QColor FindHitColor(const QPalette& palette) {
  return ReadableTint(palette.color(QPalette::Base), kHitTint, palette.color(QPalette::Text), kHitShare);
}

QColor SelectionColor(const QPalette& palette, const QColor& below, bool focused) {
  return ReadableTint(below, palette.color(QPalette::Highlight), palette.color(QPalette::Text),
                      focused ? kSelectedShare : kUnfocusedShare);
}

QColor FlagTint(const QPalette& palette, bool severe) {
  QColor tint = FlagEdge(severe);
  const double share =
      ReadableShare(palette.color(QPalette::Base), tint, palette.color(QPalette::Text), kFlagShare);
  tint.setAlphaF(static_cast<float>(share));
  return tint;
}

QColor FlagEdge(bool severe) { return severe ? kSevereEdge : kAccountEdge; }

}  // namespace quandel
