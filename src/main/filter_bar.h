#pragma once
// The filter bar under the list (Strg+Umschalt+F): only the rows that hold a text, whose
// amount lies in a range ("100..5000"), or that have findings stay in sight. Closing the bar
// shows all rows again.
#include <QTimer>
#include <QWidget>

#include "list_arranger.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace quandel {

class TFilterBar : public QWidget {
  Q_OBJECT

 public:
  explicit TFilterBar(QWidget* parent = nullptr);

  // Shows the bar, the text field focused and its text selected.
  void open();
  void close();
  // What the fields say now; an amount field that is no range leaves amounts unfiltered.
  TRowFilter currentFilter() const;

  QLineEdit* textEdit() const { return text_; }
  QLineEdit* amountEdit() const { return amounts_; }
  QCheckBox* flaggedBox() const { return flagged_; }
  QLabel* noteLabel() const { return note_; }

 signals:
  // The fields changed (after a short pause in typing), or the bar closed with no filter.
  void filterChanged(const quandel::TRowFilter& filter);
  void closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void changed();

  QLineEdit* text_;
  QLineEdit* amounts_;
  QCheckBox* flagged_;
  QLabel* note_;
  // Typing waits for a pause, so a million rows are not filtered at every letter.
  QTimer pause_;
};

}  // namespace quandel
