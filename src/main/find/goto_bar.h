#pragma once
// "Gehe zu Zahlung": a number typed at the bottom of the view jumps to that payment.
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;

namespace quandel {

class TGoToBar : public QWidget {
  Q_OBJECT

 public:
  explicit TGoToBar(QWidget* parent = nullptr);

  // Opens the bar for payments 1 to `count`.
  void open(int count);
  // Asks whether a payment's row is shown (a filter may hide it); unset, all are.
  void setShown(std::function<bool(int row)> shown) { shown_ = std::move(shown); }
  void close();
  QLineEdit* edit() const { return edit_; }
  QLabel* noteLabel() const { return note_; }

 signals:
  // The row of the payment asked for, counted from 0.
  void goTo(int row);
  void closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void accept();

  QLineEdit* edit_;
  QLabel* note_;
  int count_ = 0;
  std::function<bool(int row)> shown_;
};

}  // namespace quandel
