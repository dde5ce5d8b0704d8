#include "info_bar.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "mark_colors.h"

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

// A line that takes what width there is and never asks the window for more.
QLabel* Line(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(false);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  label->setMinimumHeight(label->fontMetrics().height());
  return label;
}

// Hidden, but its room kept (or not): the bar is as high while the check runs as after it.
void KeepRoom(QWidget* widget, bool keep) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(keep);
  widget->setSizePolicy(policy);
}

}  // namespace

TInfoBar::TInfoBar(QWidget* parent)
    : QFrame(parent),
      icon_(new QLabel(this)),
      headline_(Line(this, "infoHeadline")),
      details_(Line(this, "infoDetails")),
      findings_(new QPushButton(QStringLiteral("Befunde anzeigen"), this)),
      next_(new QPushButton(QStringLiteral("Nächster Befund (F8)"), this)),
      close_(new QToolButton(this)) {
  setObjectName(QStringLiteral("infoBar"));
  setFrameShape(QFrame::StyledPanel);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(6, 4, 4, 4);
  layout->setVerticalSpacing(2);
  layout->addWidget(icon_, 0, 0, Qt::AlignTop);
  layout->addWidget(headline_, 0, 1);
  layout->addWidget(close_, 0, 2, Qt::AlignTop);
  layout->addWidget(details_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->addWidget(findings_);
  buttons->addWidget(next_);
  buttons->addStretch(1);
  layout->addLayout(buttons, 2, 1);
  layout->setColumnStretch(1, 1);
  // Not bold: the verdicts of both checks fit in a window of the usual size; the tint and the
  // icon say how grave they are.
  for (QPushButton* button : {findings_, next_}) {
    KeepRoom(button, true);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    // The list keeps the focus; F8 is the key.
    button->setFocusPolicy(Qt::TabFocus);
  }
  findings_->setObjectName(QStringLiteral("infoFindings"));
  next_->setObjectName(QStringLiteral("infoNext"));
  connect(findings_, &QPushButton::clicked, this, &TInfoBar::findingsRequested);
  connect(next_, &QPushButton::clicked, this, &TInfoBar::nextRequested);
  close_->setObjectName(QStringLiteral("infoClose"));
  close_->setAutoRaise(true);
  close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close_->setToolTip(QStringLiteral("Schließen"));
  connect(close_, &QToolButton::clicked, this, [this] {
    hide();
    emit closed();
  });
  hide();
}

void TInfoBar::showMessage(TInfoKind kind, const QString& headline, const QString& details, bool findings) {
  // A verdict keeps the height the bar had while its check ran; a message no check went
  // before (a damaged or unreadable file) has no room for buttons it never shows.
  for (QPushButton* button : {findings_, next_}) KeepRoom(button, findings || progress_);
  kind_ = kind;
  progress_ = false;
  headlineText_ = headline;
  detailsText_ = details;
  findings_->setVisible(findings);
  next_->setVisible(findings);
  applyKind();
  elide();
  show();
}

void TInfoBar::showProgress(int percent) {
  kind_ = TInfoKind::Information;
  progress_ = true;
  headlineText_ = percent < 0 ? QStringLiteral("Prüfe …") : QStringLiteral("Prüfe … %1 %").arg(percent);
  for (QPushButton* button : {findings_, next_}) KeepRoom(button, true);
  detailsText_.clear();
  findings_->hide();
  next_->hide();
  applyKind();
  elide();
  show();
}

void TInfoBar::clearMessage() {
  hide();
  progress_ = false;
  headlineText_.clear();
  detailsText_.clear();
  elide();
}

QString TInfoBar::text() const {
  if (headlineText_.isEmpty()) return {};
  return detailsText_.isEmpty() ? headlineText_ : headlineText_ + QLatin1Char('\n') + detailsText_;
}

void TInfoBar::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  elide();
}

void TInfoBar::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) elide();
}

// What does not fit ends in "…"; the whole line is the tooltip.
void TInfoBar::elide() {
  for (auto [label, text] : {std::pair{headline_, &headlineText_}, std::pair{details_, &detailsText_}}) {
    const QString shown = label->fontMetrics().elidedText(*text, Qt::ElideRight, std::max(0, label->width()));
    label->setText(shown);
    label->setToolTip(shown == *text ? QString() : *text);
  }
}

void TInfoBar::applyKind() {
  const QColor tint = KindColor(kind_);
  const QPalette& colours = parentWidget() ? parentWidget()->palette() : palette();
  const QColor background =
      ReadableTint(colours.color(QPalette::Window), tint, colours.color(QPalette::WindowText), 0.2);
  setStyleSheet(QStringLiteral("#infoBar { background: %1; border: 1px solid %2; border-radius: 4px; }")
                    .arg(background.name(), tint.name()));
  const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
  icon_->setPixmap(style()->standardIcon(KindIcon(kind_), nullptr, this).pixmap(size, size));
}

}  // namespace quandel
