#include "info_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace quandel {
namespace {

// The tints of the usual desktop message bars; the background is the window's, tinted.
QColor KindColor(TInfoKind kind) {
  switch (kind) {
    case TInfoKind::Information: return QColor(0x3d, 0xae, 0xe9);
    case TInfoKind::Warning: return QColor(0xf6, 0x74, 0x00);
    case TInfoKind::Error: return QColor(0xda, 0x44, 0x53);
  }
  return {};
}

QStyle::StandardPixmap KindIcon(TInfoKind kind) {
  switch (kind) {
    case TInfoKind::Information: return QStyle::SP_MessageBoxInformation;
    case TInfoKind::Warning: return QStyle::SP_MessageBoxWarning;
    case TInfoKind::Error: return QStyle::SP_MessageBoxCritical;
  }
  return QStyle::SP_MessageBoxInformation;
}

QColor Mix(const QColor& a, const QColor& b, double share) {
  const auto mix = [share](float x, float y) {
    return static_cast<float>(static_cast<double>(x) * (1 - share) + static_cast<double>(y) * share);
  };
  return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()), mix(a.blueF(), b.blueF()));
}

}  // namespace

TInfoBar::TInfoBar(QWidget* parent)
    : QFrame(parent), icon_(new QLabel(this)), text_(new QLabel(this)), close_(new QToolButton(this)) {
  setObjectName(QStringLiteral("infoBar"));
  setFrameShape(QFrame::StyledPanel);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 4, 4, 4);
  layout->addWidget(icon_, 0, Qt::AlignTop);
  layout->addWidget(text_, 1);
  layout->addWidget(close_, 0, Qt::AlignTop);
  text_->setObjectName(QStringLiteral("infoText"));
  text_->setTextFormat(Qt::RichText);
  text_->setWordWrap(true);
  text_->setTextInteractionFlags(Qt::TextBrowserInteraction);
  text_->setOpenExternalLinks(false);
  connect(text_, &QLabel::linkActivated, this, &TInfoBar::linkActivated);
  close_->setObjectName(QStringLiteral("infoClose"));
  close_->setAutoRaise(true);
  close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close_->setToolTip(QStringLiteral("Schließen"));
  connect(close_, &QToolButton::clicked, this, &QWidget::hide);
  hide();
}

void TInfoBar::showMessage(TInfoKind kind, const QString& html) {
  kind_ = kind;
  text_->setText(html);
  applyKind();
  show();
}

void TInfoBar::clearMessage() {
  hide();
  text_->clear();
}

QString TInfoBar::text() const { return text_->text(); }

void TInfoBar::applyKind() {
  const QColor tint = KindColor(kind_);
  const QColor window =
      parentWidget() ? parentWidget()->palette().color(QPalette::Window) : palette().color(QPalette::Window);
  setStyleSheet(QStringLiteral("#infoBar { background: %1; border: 1px solid %2; border-radius: 4px; }")
                    .arg(Mix(window, tint, 0.2).name(), tint.name()));
  const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
  icon_->setPixmap(style()->standardIcon(KindIcon(kind_), nullptr, this).pixmap(size, size));
}

}  // namespace quandel
