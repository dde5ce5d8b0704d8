#pragma once
// A message bar above a view, as desktop programs show one: an icon, a text with links, a
// close button, in a frame tinted after what it says.
#include <QFrame>

class QLabel;
class QToolButton;

namespace quandel {

enum class TInfoKind { Information, Warning, Error };

class TInfoBar : public QFrame {
  Q_OBJECT

 public:
  explicit TInfoBar(QWidget* parent = nullptr);

  // Shows `html` (rich text; its links are reported, never followed).
  void showMessage(TInfoKind kind, const QString& html);
  void clearMessage();

  TInfoKind kind() const { return kind_; }
  QString text() const;
  QLabel* label() const { return text_; }

 signals:
  void linkActivated(const QString& link);

 private:
  void applyKind();

  QLabel* icon_;
  QLabel* text_;
  QToolButton* close_;
  TInfoKind kind_ = TInfoKind::Information;
};

}  // namespace quandel
