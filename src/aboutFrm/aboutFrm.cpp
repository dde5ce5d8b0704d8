#include "aboutFrm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "product.h"

namespace quandel {
namespace {

QLabel* PlaceLabel(QWidget* parent, const char* name, int left, int top) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->move(left, top);
  return label;
}

}  // namespace

TaboutForm::TaboutForm(std::function<void(const std::string&)> openUrl, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      openUrl_(std::move(openUrl)) {
  setObjectName(QStringLiteral("aboutForm"));
  CreateComponents();
  FormCreate();
}

void TaboutForm::CreateComponents() {
  setFixedSize(331, 205);
  setModal(true);

  Label1 = PlaceLabel(this, "Label1", 32, 24);
  QFont big = font();
  big.setPointSize(18);
  Label1->setFont(big);
  versionLabel = PlaceLabel(this, "versionLabel", 32, 56);
  Label2 = PlaceLabel(this, "Label2", 32, 88);
  Label2->setText(QStringLiteral("Datenträger-Kontrollisten für DTAUS-Dateien"));
  Label3 = PlaceLabel(this, "Label3", 32, 120);
  Label3->setText(QStringLiteral("Ein Programm der %1-Reihe").arg(QString::fromUtf8(support::FamilyName)));

  Label4 = PlaceLabel(this, "Label4", 32, 136);
  Label4->setCursor(Qt::PointingHandCursor);
  QFont underlined = font();
  underlined.setUnderline(true);
  Label4->setFont(underlined);
  QPalette linkColours = Label4->palette();
  linkColours.setColor(QPalette::WindowText, linkColours.color(QPalette::Highlight));
  Label4->setPalette(linkColours);
  Label4->installEventFilter(this);

  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(136, 168, 75, 25);
  Button1->setDefault(true);
  Button1->setFocus();
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TaboutForm::FormCreate() {
  setWindowTitle(QStringLiteral("Info über %1").arg(QString::fromUtf8(support::ProductName)));
  Label4->setText(QStringLiteral("Internet ") + QString::fromUtf8(support::WebHost));
  Label1->setText(QString::fromUtf8(support::ProductName));
  versionLabel->setText(QStringLiteral("%1 (Build %2)")
                            .arg(QString::fromUtf8(support::Version), QString::fromUtf8(support::Build)));
  for (QLabel* label : {Label1, versionLabel, Label2, Label3, Label4}) label->adjustSize();
}

int TaboutForm::ShowModal() { return exec(); }

void TaboutForm::reject() { accept(); }

bool TaboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label4 && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && Label4->rect().contains(mouse->position().toPoint())) {
      Label4Click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TaboutForm::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
  QDialog::showEvent(event);
}

void TaboutForm::Label4Click() {
  if (openUrl_) openUrl_(support::WebAddress);
}

}  // namespace quandel
