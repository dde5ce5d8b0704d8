#include "check_view.h"

#include <QBoxLayout>
#include <QHelpEvent>
#include <QLocale>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

#include "browser_view.h"
#include "control_list_view.h"
#include "page_text.h"

namespace quandel {
namespace {

// More would push the list out of the window; the command line names them all.
constexpr int kMaxListed = 8;

QString Payments(std::int64_t count) {
  return QLocale(QLocale::German).toString(static_cast<qlonglong>(count)) +
         (count == 1 ? QStringLiteral(" Zahlung") : QStringLiteral(" Zahlungen"));
}

// The trailer's and the reader's findings come first, then failing accounts, then the rest.
int Rank(const ombra::TFinding& finding) {
  if (finding.Kind != ombra::TFindingKind::Account) return 0;
  return finding.Severity == ombra::TSeverity::Error ? 1 : 2;
}

QString LinkFor(const ombra::TFinding& finding) {
  if (finding.Payment > 0) return QStringLiteral("zahlung:%1").arg(finding.Payment);
  if (finding.Record == 'A') return QStringLiteral("anfang:");
  if (finding.Record == 'E' || finding.Kind == ombra::TFindingKind::Trailer) return QStringLiteral("ende:");
  return {};
}

}  // namespace

TCheckMessage CheckMessage(const TViewerCheck& check) {
  std::vector<const ombra::TFinding*> shown;
  for (const ombra::TFinding& finding : check.File.Findings)
    if (finding.Severity != ombra::TSeverity::None) shown.push_back(&finding);
  if (shown.empty()) {
    return {TInfoKind::Information,
            (QStringLiteral("Datei stimmig: ") + Payments(check.Payments) +
             QStringLiteral(", Summen und Prüfsummen passen, ") +
             (check.AccountsChecked ? QStringLiteral("alle Konten gültig")
                                    : QStringLiteral("Konten nicht geprüft (kein Bankverzeichnis)")))
                .toHtmlEscaped()};
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const ombra::TFinding* a, const ombra::TFinding* b) { return Rank(*a) < Rank(*b); });
  const bool errors = std::any_of(shown.begin(), shown.end(), [](const ombra::TFinding* finding) {
    return finding->Severity == ombra::TSeverity::Error;
  });
  QString html =
      errors ? QStringLiteral("<b>Datei nicht stimmig:</b>") : QStringLiteral("<b>Hinweise zur Datei:</b>");
  const int listed = std::min(static_cast<int>(shown.size()), kMaxListed);
  for (int i = 0; i < listed; ++i) {
    const ombra::TFinding& finding = *shown[static_cast<std::size_t>(i)];
    const QString text = DecodeCp1252(finding.Text).toHtmlEscaped();
    const QString link = LinkFor(finding);
    html += QStringLiteral("<br>") +
            (link.isEmpty() ? text : QStringLiteral("<a href=\"%1\">%2</a>").arg(link, text));
  }
  if (static_cast<int>(shown.size()) > listed)
    html += QStringLiteral("<br>… und %1 weitere")
                .arg(QLocale(QLocale::German).toString(static_cast<qlonglong>(shown.size()) - listed));
  return {errors ? TInfoKind::Error : TInfoKind::Warning, html};
}

TCheckView::TCheckView(TBrowserView* view, QBoxLayout* layout, QWidget* parent)
    : QObject(parent),
      view_(view),
      bar_(new TInfoBar(parent)),
      runner_(new TCheckRunner(ombra::OpenSystemBankDirectory, this)) {
  layout->insertWidget(0, bar_);
  connect(bar_, &TInfoBar::linkActivated, this, &TCheckView::openLink);
  connect(runner_, &TCheckRunner::finished, this, &TCheckView::showResult);
  viewport_ = view_->listView()->viewport();
  viewport_->installEventFilter(this);
}

void TCheckView::start(std::shared_ptr<const ombra::TDtaus> document,
                       std::shared_ptr<const ombra::TFileCheck> fileCheck) {
  clear();
  runner_->start(std::move(document), std::move(fileCheck));
}

void TCheckView::clear() {
  runner_->cancel();
  waiting_.reset();
  result_.reset();
  bar_->clearMessage();
  view_->listView()->setFlaggedRows(nullptr);
}

void TCheckView::setLoading(bool loading) {
  loading_ = loading;
  if (!loading_ && waiting_) showResult(std::exchange(waiting_, nullptr));
}

void TCheckView::hideResult() {
  if (!waiting_) waiting_ = std::move(result_);
  result_.reset();
  bar_->clearMessage();
  view_->listView()->setFlaggedRows(nullptr);
}

void TCheckView::showResult(TViewerCheckResult result) {
  // Marks and tooltips go by row: while another file loads, the rows shown may be either
  // file's.
  if (loading_) {
    waiting_ = std::move(result);
    return;
  }
  result_ = std::move(result);
  if (!result_->File.Loaded) return;
  const TCheckMessage message = CheckMessage(*result_);
  bar_->showMessage(message.Kind, message.Html);
  auto flagged = std::make_shared<std::vector<int>>();
  const auto& payments = result_->Accounts.Payments;
  for (std::size_t i = 0; i < payments.size(); ++i)
    if (payments[i].Verdict == ombra::TAccountVerdict::Fails) flagged->push_back(static_cast<int>(i));
  view_->listView()->setFlaggedRows(flagged->empty() ? nullptr : std::move(flagged));
}

QString TCheckView::cellToolTip(int row, int column) const {
  if (!result_ || !result_->AccountsChecked || row < 0 ||
      static_cast<std::size_t>(row) >= result_->Accounts.Payments.size())
    return {};
  const ombra::TAccountCheck& account = result_->Accounts.Payments[static_cast<std::size_t>(row)];
  if (column == kColNumber && account.Verdict == ombra::TAccountVerdict::Fails)
    return QStringLiteral("Kontonummer bei dieser Bank ungültig (Prüfziffer falsch)");
  if (column != kColBlz) return {};
  if (!account.Bank)
    return QStringLiteral("Bankleitzahl steht nicht im ") +
           DecodeCp1252(ombra::DirectoryName(result_->DirectoryDate));
  QString text = DecodeCp1252(account.Bank->Name) + QStringLiteral(", ") + DecodeCp1252(account.Bank->Place);
  if (account.Verdict != ombra::TAccountVerdict::Passes)
    text += QStringLiteral("\nKonto: ") + DecodeCp1252(std::string_view(ombra::VerdictText(account.Verdict)));
  return text;
}

void TCheckView::openLink(const QString& link) {
  if (!view_->showsList()) return;
  TControlListView* list = view_->listView();
  if (link == QLatin1String("anfang:")) return list->verticalScrollBar()->setValue(0);
  if (link == QLatin1String("ende:"))
    return list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
  bool ok = false;
  const int payment = link.startsWith(QLatin1String("zahlung:")) ? link.mid(8).toInt(&ok) : 0;
  if (!ok || payment < 1 || payment > list->rowCount()) return;
  list->setCurrentRow(payment - 1);
  list->setFocus(Qt::OtherFocusReason);
}

bool TCheckView::eventFilter(QObject* watched, QEvent* event) {
  // Only the type first: the view may be going, and its viewport with it.
  if (event->type() != QEvent::ToolTip || watched != viewport_) return QObject::eventFilter(watched, event);
  TControlListView* list = view_->listView();
  const auto* help = static_cast<QHelpEvent*>(event);
  const auto [row, column] = list->cellAt(help->pos());
  const QString tip = cellToolTip(row, column);
  if (tip.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), tip, viewport_, list->cellRect(row, column));
  return true;
}

}  // namespace quandel
