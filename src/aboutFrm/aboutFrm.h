#pragma once
// The about box: product name, version and build, the maker's notice and a web link.
#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace quandel {

class TaboutForm : public QDialog {
  Q_OBJECT

 public:
  // A click on the link hands the maker's web address to `openUrl`.
  explicit TaboutForm(std::function<void(const std::string&)> openUrl, QWidget* parent = nullptr);

  // Modal over the active window; Enter, Escape and OK all close it.
  int ShowModal();

  QLabel* Label1 = nullptr;
  QLabel* versionLabel = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* Button1 = nullptr;

 public slots:
  // The one button is both default and cancel button: every way out means OK.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateComponents();
  void FormCreate();
  void Label4Click();

  std::function<void(const std::string&)> openUrl_;
};

}  // namespace quandel
