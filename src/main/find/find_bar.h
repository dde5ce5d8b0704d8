#pragma once
// The find bar at the bottom of the view, as in a browser: typing finds, Enter goes on,
// Umschalt+Enter goes back, Esc closes it and leaves the current hit where it is.
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace quandel {

class TFinder;

class TFindBar : public QWidget {
  Q_OBJECT

 public:
  explicit TFindBar(TFinder& finder, QWidget* parent = nullptr);

  // Shows the bar with its text selected, so typing replaces it.
  void open();
  void close();

  // "3 von 17", "Keine Treffer", or what is still going on.
  static QString CountText(const TFinder& finder);

  QLineEdit* edit() const { return edit_; }
  QLabel* countLabel() const { return count_; }

 signals:
  // The bar was closed; the view takes the focus back.
  void closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void update();

  TFinder& finder_;
  QLineEdit* edit_;
  QToolButton* previous_;
  QToolButton* next_;
  QLabel* count_;
  QLabel* wrapped_;
};

}  // namespace quandel
