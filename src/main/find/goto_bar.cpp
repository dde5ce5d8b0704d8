#include "goto_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace quandel {

TGoToBar::TGoToBar(QWidget* parent) : QWidget(parent), edit_(new QLineEdit(this)), note_(new QLabel(this)) {
  setObjectName(QStringLiteral("GoToBar"));
  edit_->setObjectName(QStringLiteral("GoToNumber"));
  edit_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), edit_));
  edit_->setMaximumWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) * 2);
  note_->setObjectName(QStringLiteral("GoToNote"));
  auto* label = new QLabel(QStringLiteral("&Gehe zu Zahlung:"), this);
  label->setBuddy(edit_);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 4, 0, 0);
  layout->addWidget(label);
  layout->addWidget(edit_);
  layout->addWidget(note_);
  layout->addStretch(1);
  connect(edit_, &QLineEdit::returnPressed, this, &TGoToBar::accept);
  hide();
}

void TGoToBar::open(int count) {
  count_ = count;
  note_->setText(QStringLiteral("von %1").arg(count));
  show();
  edit_->setFocus(Qt::ShortcutFocusReason);
  edit_->selectAll();
}

void TGoToBar::close() {
  if (isHidden()) return;
  hide();
  emit closed();
}

void TGoToBar::accept() {
  bool ok = false;
  const qlonglong number = edit_->text().toLongLong(&ok);
  if (!ok || number < 1 || number > count_) {
    note_->setText(count_ == 0 ? QStringLiteral("Keine Zahlungen")
                               : QStringLiteral("Nur Zahlungen 1 bis %1").arg(count_));
    return;
  }
  const int row = static_cast<int>(number - 1);
  if (shown_ && !shown_(row)) {
    note_->setText(QStringLiteral("Zahlung %1 ist durch den Filter ausgeblendet").arg(number));
    return;
  }
  emit goTo(row);
  close();
}

void TGoToBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return close();
  QWidget::keyPressEvent(event);
}

}  // namespace quandel
