#include "filter_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace quandel {
namespace {

constexpr int kTypingPauseMs = 150;

}  // namespace

TFilterBar::TFilterBar(QWidget* parent)
    : QWidget(parent),
      text_(new QLineEdit(this)),
      amounts_(new QLineEdit(this)),
      flagged_(new QCheckBox(QStringLiteral("nur mit &Befunden"), this)),
      note_(new QLabel(this)) {
  setObjectName(QStringLiteral("FilterBar"));
  text_->setObjectName(QStringLiteral("FilterText"));
  text_->setClearButtonEnabled(true);
  text_->setPlaceholderText(QStringLiteral("Text in einer Spalte"));
  amounts_->setObjectName(QStringLiteral("FilterAmounts"));
  amounts_->setClearButtonEnabled(true);
  amounts_->setPlaceholderText(QStringLiteral("z. B. 100..5000"));
  amounts_->setMaximumWidth(
      amounts_->fontMetrics().horizontalAdvance(QStringLiteral("1.000.000,00..1.000.000,00")));
  flagged_->setObjectName(QStringLiteral("FilterFlagged"));
  note_->setObjectName(QStringLiteral("FilterNote"));
  auto* textLabel = new QLabel(QStringLiteral("&Filter:"), this);
  textLabel->setBuddy(text_);
  auto* amountLabel = new QLabel(QStringLiteral("Be&trag:"), this);
  amountLabel->setBuddy(amounts_);
  auto* closer = new QToolButton(this);
  closer->setObjectName(QStringLiteral("FilterClose"));
  closer->setText(QStringLiteral("×"));
  closer->setToolTip(QStringLiteral("Filter aufheben und Leiste schließen (Esc)"));
  closer->setAutoRaise(true);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 4, 0, 0);
  layout->addWidget(textLabel);
  layout->addWidget(text_, 1);
  layout->addWidget(amountLabel);
  layout->addWidget(amounts_);
  layout->addWidget(flagged_);
  layout->addWidget(note_);
  layout->addStretch(1);
  layout->addWidget(closer);

  pause_.setSingleShot(true);
  pause_.setInterval(kTypingPauseMs);
  connect(&pause_, &QTimer::timeout, this, &TFilterBar::changed);
  connect(text_, &QLineEdit::textChanged, &pause_, qOverload<>(&QTimer::start));
  connect(amounts_, &QLineEdit::textChanged, &pause_, qOverload<>(&QTimer::start));
  connect(text_, &QLineEdit::returnPressed, this, &TFilterBar::changed);
  connect(amounts_, &QLineEdit::returnPressed, this, &TFilterBar::changed);
  connect(flagged_, &QCheckBox::toggled, this, &TFilterBar::changed);
  connect(closer, &QToolButton::clicked, this, &TFilterBar::close);
  hide();
}

void TFilterBar::open() {
  show();
  text_->setFocus(Qt::ShortcutFocusReason);
  text_->selectAll();
}

void TFilterBar::close() {
  if (isHidden()) return;
  pause_.stop();
  hide();
  if (currentFilter().active()) emit filterChanged(TRowFilter{});
  emit closed();
}

TRowFilter TFilterBar::currentFilter() const {
  TRowFilter filter;
  filter.text = text_->text();
  filter.amounts = ParseAmountRange(amounts_->text());
  filter.onlyFlagged = flagged_->isChecked();
  return filter;
}

void TFilterBar::changed() {
  pause_.stop();
  const TRowFilter filter = currentFilter();
  const bool badRange = !amounts_->text().trimmed().isEmpty() && !filter.amounts;
  note_->setText(badRange ? QStringLiteral("Betrag wie „100..5000“ angeben") : QString());
  emit filterChanged(filter);
}

void TFilterBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return close();
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return changed();
  QWidget::keyPressEvent(event);
}

}  // namespace quandel
