#include "find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "finder.h"

namespace quandel {
namespace {

QToolButton* Button(const QString& text, const QString& tip, const char* name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolTip(tip);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoRaise(true);
  return button;
}

}  // namespace

TFindBar::TFindBar(TFinder& finder, QWidget* parent)
    : QWidget(parent),
      finder_(finder),
      edit_(new QLineEdit(this)),
      previous_(Button(QStringLiteral("&Vorheriger"), QStringLiteral("Vorheriger Treffer (Umschalt+F3)"),
                       "FindPrevious", this)),
      next_(Button(QStringLiteral("&Nächster"), QStringLiteral("Nächster Treffer (F3)"), "FindNext", this)),
      count_(new QLabel(this)),
      wrapped_(new QLabel(this)) {
  setObjectName(QStringLiteral("FindBar"));
  edit_->setObjectName(QStringLiteral("FindText"));
  edit_->setClearButtonEnabled(true);
  edit_->setPlaceholderText(QStringLiteral("Empfänger, BLZ, Konto, Zweck oder Betrag"));
  count_->setObjectName(QStringLiteral("FindCount"));
  wrapped_->setObjectName(QStringLiteral("FindWrapped"));
  auto* label = new QLabel(QStringLiteral("&Suchen:"), this);
  label->setBuddy(edit_);
  auto* closer = Button(QStringLiteral("×"), QStringLiteral("Suchleiste schließen (Esc)"), "FindClose", this);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 4, 0, 0);
  layout->addWidget(label);
  layout->addWidget(edit_, 1);
  layout->addWidget(previous_);
  layout->addWidget(next_);
  layout->addWidget(count_);
  layout->addWidget(wrapped_);
  layout->addStretch(1);
  layout->addWidget(closer);

  connect(edit_, &QLineEdit::textChanged, &finder_, &TFinder::find);
  connect(next_, &QToolButton::clicked, &finder_, &TFinder::findNext);
  connect(previous_, &QToolButton::clicked, &finder_, &TFinder::findPrevious);
  connect(closer, &QToolButton::clicked, this, &TFindBar::close);
  connect(&finder_, &TFinder::changed, this, &TFindBar::update);
  hide();
}

void TFindBar::open() {
  show();
  finder_.prepare();
  edit_->setFocus(Qt::ShortcutFocusReason);
  edit_->selectAll();
  // Reopened over the same text: its hits are marked again.
  if (!edit_->text().isEmpty() && !finder_.hits()) finder_.find(edit_->text());
}

void TFindBar::close() {
  if (isHidden()) return;
  finder_.stop();
  hide();
  emit closed();
}

void TFindBar::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape: close(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (event->modifiers() & Qt::ShiftModifier)
        finder_.findPrevious();
      else
        finder_.findNext();
      return;
    default: QWidget::keyPressEvent(event);
  }
}

QString TFindBar::CountText(const TFinder& finder) {
  if (finder.text().isEmpty()) return {};
  if (const auto& hits = finder.hits()) {
    if (hits->empty()) return QStringLiteral("Keine Treffer");
    return QStringLiteral("%1 von %2").arg(finder.hitNumber()).arg(hits->size());
  }
  if (!finder.busy()) return {};
  return finder.current() >= 0 ? QStringLiteral("Treffer werden gezählt …") : QStringLiteral("Suche …");
}

void TFindBar::update() {
  count_->setText(CountText(finder_));
  const bool none = finder_.hits() && finder_.hits()->empty();
  wrapped_->setText(finder_.wrapped() == 0  ? QString()
                    : finder_.wrapped() > 0 ? QStringLiteral("Vom Anfang fortgesetzt")
                                            : QStringLiteral("Vom Ende fortgesetzt"));
  previous_->setEnabled(!none);
  next_->setEnabled(!none);
}

}  // namespace quandel
