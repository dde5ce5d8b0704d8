#include "check_view.h"

#include <QAction>
#include <QBoxLayout>
#include <QHelpEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <limits>

#include "browser_view.h"
#include "control_list_view.h"
#include "findings_panel.h"
#include "page_text.h"
#include "verdict.h"

namespace quandel {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
// Often enough that the percentage moves, seldom enough to cost nothing.
constexpr int kProgressIntervalMs = 200;

TInfoKind KindFor(TTone tone) {
  switch (tone) {
    case TTone::Good: return TInfoKind::Information;
    case TTone::Accounts: return TInfoKind::Warning;
    case TTone::Broken: return TInfoKind::Error;
  }
  return TInfoKind::Information;
}

QAction* WindowAction(QMainWindow* window, const char* name, const QString& caption,
                      const QKeySequence& key) {
  auto* action = new QAction(caption, window);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(key);
  action->setShortcutContext(Qt::WindowShortcut);
  window->addAction(action);
  return action;
}

}  // namespace

TCheckView::TCheckView(QMainWindow* window, TBrowserView* view, QBoxLayout* layout,
                       const TViewerPlatform& platform)
    : QObject(window),
      view_(view),
      bar_(new TInfoBar(layout->parentWidget())),
      marker_(new QToolButton(layout->parentWidget())),
      panel_(new TFindingsPanel(platform.messages, platform.saveDialog, window)),
      runner_(new TCheckRunner(ombra::OpenSystemBankDirectory, this)),
      progressTimer_(new QTimer(this)) {
  layout->insertWidget(0, bar_);
  // The marker stands to the right of the view, at its top.
  const int at = layout->indexOf(view_);
  layout->removeWidget(view_);
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(view_, 1);
  row->addWidget(marker_, 0, Qt::AlignTop);
  layout->insertLayout(at, row, 1);
  marker_->setObjectName(QStringLiteral("checkMarker"));
  marker_->setAutoRaise(true);
  marker_->setToolTip(QStringLiteral("Prüfergebnis wieder anzeigen (F8)"));
  marker_->hide();
  connect(marker_, &QToolButton::clicked, this, &TCheckView::showBar);
  connect(bar_, &TInfoBar::closed, this, [this] {
    if (!result_) return;
    marker_->setIcon(marker_->style()->standardIcon(
        bar_->kind() == TInfoKind::Error     ? QStyle::SP_MessageBoxCritical
        : bar_->kind() == TInfoKind::Warning ? QStyle::SP_MessageBoxWarning
                                             : QStyle::SP_MessageBoxInformation));
    marker_->show();
  });

  window->addDockWidget(Qt::BottomDockWidgetArea, panel_);
  panel_->hide();
  // The dock's own toggle would appear in the menu the tool bar's context brings up; the
  // window's bars stay as they are.
  panel_->toggleViewAction()->setVisible(false);
  showFindings = WindowAction(window, "showFindings", QStringLiteral("Befunde"),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
  connect(showFindings, &QAction::triggered, this, [this] { panel_->setVisible(panel_->isHidden()); });
  connect(bar_, &TInfoBar::findingsRequested, this, [this] {
    panel_->show();
    panel_->raise();
  });
  connect(panel_, &TFindingsPanel::paymentRequested, this, &TCheckView::showPayment);

  nextFinding =
      WindowAction(window, "nextFinding", QStringLiteral("Nächster Befund"), QKeySequence(Qt::Key_F8));
  previousFinding = WindowAction(window, "previousFinding", QStringLiteral("Voriger Befund"),
                                 QKeySequence(Qt::SHIFT | Qt::Key_F8));
  connect(nextFinding, &QAction::triggered, this, [this] { stepFinding(false); });
  connect(previousFinding, &QAction::triggered, this, [this] { stepFinding(true); });
  connect(bar_, &TInfoBar::nextRequested, this, [this] { stepFinding(false); });

  connect(runner_, &TCheckRunner::finished, this, &TCheckView::showResult);
  connect(runner_, &TCheckRunner::ranked, this, &TCheckView::takeRanks);
  progressTimer_->setInterval(kProgressIntervalMs);
  connect(progressTimer_, &QTimer::timeout, this, &TCheckView::showProgress);
  viewport_ = view_->listView()->viewport();
  viewport_->installEventFilter(this);
}

void TCheckView::start(std::shared_ptr<const ombra::TDtaus> document,
                       std::shared_ptr<const ombra::TFileCheck> fileCheck) {
  clear();
  runner_->start(std::move(document), std::move(fileCheck));
  showProgress();
  progressTimer_->start();
}

void TCheckView::showProgress() {
  if (!runner_->isBusy()) return progressTimer_->stop();
  bar_->showProgress(runner_->progress());
}

void TCheckView::clear() {
  runner_->cancel();
  progressTimer_->stop();
  waiting_.reset();
  waitingRanks_.reset();
  result_.reset();
  rowFinding_.clear();
  bar_->clearMessage();
  marker_->hide();
  panel_->setCheck(nullptr);
  view_->listView()->setFlaggedRows(nullptr);
}

void TCheckView::setLoading(bool loading) {
  loading_ = loading;
  if (loading_) return;
  if (waiting_) return showResult(std::exchange(waiting_, nullptr));
  // A load cancelled before any check had reported: no check is to come.
  if (bar_->showsProgress() && !runner_->isBusy()) bar_->clearMessage();
}

void TCheckView::hideResult(bool checkComes) {
  if (!waiting_) waiting_ = std::move(result_);
  result_.reset();
  rowFinding_.clear();
  marker_->hide();
  if (checkComes)
    bar_->showProgress(-1);
  else
    bar_->clearMessage();
  view_->listView()->setFlaggedRows(nullptr);
}

void TCheckView::showDamage(const ombra::TDtaus& document) {
  clear();
  bar_->showMessage(TInfoKind::Error, QStringLiteral("Datei beschädigt: ") + DecodeCp1252(document.LoadError),
                    DecodeCp1252(ombra::ReadSoFarText(document.Damage)), false);
}

void TCheckView::showFailure(const ombra::TDtaus& document) {
  clear();
  const QString verdict = QString::fromStdString(ombra::FileVerdictText(ombra::TFileVerdict::Unreadable));
  bar_->showMessage(TInfoKind::Error, verdict + QStringLiteral(": ") + DecodeCp1252(document.LoadError),
                    QString(), false);
}

void TCheckView::showResult(TViewerCheckResult result) {
  // Marks and tooltips go by row: while another file loads, the rows shown may be either
  // file's.
  if (loading_) {
    waiting_ = std::move(result);
    waitingRanks_.reset();
    return;
  }
  std::shared_ptr<const TFindingRanks> ranks = std::exchange(waitingRanks_, nullptr);
  progressTimer_->stop();
  result_ = std::move(result);
  if (!WasChecked(*result_)) {
    bar_->clearMessage();
    return;
  }
  const TVerdictSummary summary = Summarize(*result_);
  bar_->showMessage(KindFor(summary.Tone), summary.Headline, summary.Counts, summary.Findings > 0);
  marker_->hide();
  markRows();
  panel_->setCheck(result_);
  panel_->setRanks(result_, std::move(ranks));
}

void TCheckView::takeRanks(const TViewerCheckResult& check, std::shared_ptr<const TFindingRanks> ranks) {
  if (check == waiting_) waitingRanks_ = ranks;
  panel_->setRanks(check, std::move(ranks));
}

// One pass over the findings and the accounts: a million of each marks its rows without a
// sort.
void TCheckView::markRows() {
  const auto rows = static_cast<std::size_t>(std::max<std::int64_t>(result_->Payments, 0));
  rowFinding_.assign(rows, kNone);
  std::vector<std::uint8_t> tone(rows, 0);  // 0 none, 1 amber, 2 red
  for (std::size_t i = 0; i < FindingCount(*result_); ++i) {
    const TFindingFacts facts = FindingAt(*result_, i);
    if (facts.Tone == TTone::Good || facts.Payment < 1 || static_cast<std::size_t>(facts.Payment) > rows)
      continue;
    const auto row = static_cast<std::size_t>(facts.Payment - 1);
    if (rowFinding_[row] == kNone) rowFinding_[row] = static_cast<std::uint32_t>(i);
    tone[row] = std::max<std::uint8_t>(tone[row], facts.Tone == TTone::Broken ? 2 : 1);
  }
  // Payments to a bank the check names once, at its first payment, are marked each.
  const auto& accounts = result_->Accounts.Payments;
  for (std::size_t row = 0; row < std::min(rows, accounts.size()); ++row)
    if (accounts[row].Verdict != ombra::TAccountVerdict::Passes && tone[row] == 0) tone[row] = 1;
  auto flags = std::make_shared<std::vector<TRowFlag>>();
  for (std::size_t row = 0; row < rows; ++row)
    if (tone[row] != 0) flags->push_back({static_cast<int>(row), tone[row] == 2});
  view_->listView()->setFlaggedRows(flags->empty() ? nullptr : std::move(flags));
}

void TCheckView::showBar() {
  if (!result_) return;
  marker_->hide();
  bar_->show();
}

void TCheckView::stepFinding(bool backwards) {
  if (!result_) return;
  if (bar_->isHidden()) showBar();
  if (!view_->showsList()) return;
  TControlListView* list = view_->listView();
  const int cursor = list->selection().cursor();
  // In the order shown, so that a sorted list is walked from top to bottom.
  const int row = list->nextFlaggedRow(cursor < 0 ? (backwards ? list->rowCount() : -1) : cursor, backwards);
  if (row >= 0) list->setCurrentRow(row);
}

void TCheckView::showPayment(std::int64_t payment) {
  if (!view_->showsList()) return;
  TControlListView* list = view_->listView();
  // Findings name payments by their number in the file, wherever the list's order puts them;
  // one the filter hides is not stepped to.
  if (payment < 1 || payment > list->model()->fileRows()) return;
  list->setCurrentPayment(static_cast<int>(payment - 1));
}

QString TCheckView::cellToolTip(int row, int column) const {
  if (!result_ || row < 0) return {};
  const auto at = static_cast<std::size_t>(row);
  if (column == kColNumber && at < rowFinding_.size() && rowFinding_[at] != kNone)
    return Text(FindingAt(*result_, rowFinding_[at]).Sentence);
  if (!result_->File.Accounts.Checked || at >= result_->Accounts.Payments.size()) return {};
  const ombra::TAccountCheck& account = result_->Accounts.Payments[at];
  const QString directory = DecodeCp1252(ombra::DirectoryName(result_->File.Accounts.DirectoryDate));
  if (column == kColKonto)
    return QStringLiteral("Konto: ") + DecodeCp1252(std::string_view(ombra::VerdictText(account.Verdict))) +
           QStringLiteral(" (nach ") + directory + QLatin1Char(')');
  if (column != kColBlz) return {};
  if (!account.Bank) return QStringLiteral("Bankleitzahl steht nicht im ") + directory;
  QString text = DecodeCp1252(account.Bank->Name) + QStringLiteral(", ") + DecodeCp1252(account.Bank->Place);
  if (account.Verdict != ombra::TAccountVerdict::Passes)
    text += QStringLiteral("\nKonto: ") + DecodeCp1252(std::string_view(ombra::VerdictText(account.Verdict)));
  return text;
}

bool TCheckView::eventFilter(QObject* watched, QEvent* event) {
  // Only the type first: the view may be going, and its viewport with it.
  if (event->type() != QEvent::ToolTip || watched != viewport_) return QObject::eventFilter(watched, event);
  TControlListView* list = view_->listView();
  const auto* help = static_cast<QHelpEvent*>(event);
  const auto [row, column] = list->cellAt(help->pos());
  const QString tip = row >= 0 ? cellToolTip(list->model()->fileRow(row), column) : QString();
  if (tip.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), tip, viewport_, list->cellRect(row, column));
  return true;
}

}  // namespace quandel
