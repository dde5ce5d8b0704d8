#pragma once
// The bar above the list that gives the check's verdict, as desktop message bars do: an icon,
// the verdict in one line, the findings per kind in a second, and a third with the buttons
// that lead to them; a close button. Lines that do not fit are cut short, never wrapped, so
// the bar keeps its height at any window size, also while the check still runs.
#include <QFrame>

class QLabel;
class QPushButton;
class QToolButton;

namespace quandel {

enum class TInfoKind { Information, Warning, Error };

class TInfoBar : public QFrame {
  Q_OBJECT

 public:
  explicit TInfoBar(QWidget* parent = nullptr);

  // `headline` and `details` as plain text; with `findings` the buttons are offered.
  void showMessage(TInfoKind kind, const QString& headline, const QString& details, bool findings);
  // "Prüfe … 37 %" where the verdict will stand; a negative percent for none yet.
  void showProgress(int percent);
  void clearMessage();

  TInfoKind kind() const { return kind_; }
  // The lines shown, uncut, separated by "\n"; empty when there is no message.
  QString text() const;
  bool showsProgress() const { return progress_; }
  QPushButton* findingsButton() const { return findings_; }
  QPushButton* nextButton() const { return next_; }

 signals:
  void findingsRequested();
  void nextRequested();
  // The user closed the bar.
  void closed();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void applyKind();
  void elide();

  QLabel* icon_;
  QLabel* headline_;
  QLabel* details_;
  QPushButton* findings_;
  QPushButton* next_;
  QToolButton* close_;
  QString headlineText_;
  QString detailsText_;
  TInfoKind kind_ = TInfoKind::Information;
  bool progress_ = false;
};

}  // namespace quandel
