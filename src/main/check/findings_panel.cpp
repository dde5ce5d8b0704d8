#include "findings_panel.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <stdexcept>

#include "application.h"
#include "html_file.h"
#include "row_copy.h"
#include "sheet_rows.h"

namespace quandel {
namespace {

// Takes Strg+C from the window while it has the focus: there it copies findings, not payments.
class TFindingsTable : public QTableView {
 public:
  TFindingsTable(TFindingsPanel* panel, QWidget* parent) : QTableView(parent), panel_(panel) {}

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
      event->accept();
      return true;
    }
    return QTableView::event(event);
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Copy)) return panel_->copySelected();
    QTableView::keyPressEvent(event);
  }

 private:
  TFindingsPanel* panel_;
};

QString German(long long n) { return QLocale(QLocale::German).toString(n); }

}  // namespace

TFindingsPanel::TFindingsPanel(std::shared_ptr<IMessageBox> messages, std::shared_ptr<ISaveDialog> saveDialog,
                               QWidget* parent)
    : QDockWidget(QStringLiteral("Befunde"), parent),
      messages_(std::move(messages)),
      saveDialog_(std::move(saveDialog)),
      model_(new TFindingsModel(this)),
      table_(new TFindingsTable(this, this)),
      filter_(new QComboBox(this)),
      save_(new QPushButton(QStringLiteral("Als CSV speichern …"), this)) {
  setObjectName(QStringLiteral("findingsPanel"));
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* top = new QHBoxLayout;
  top->addWidget(filter_);
  top->addStretch(1);
  top->addWidget(save_);
  layout->addLayout(top);
  layout->addWidget(table_, 1);
  setWidget(body);

  filter_->setObjectName(QStringLiteral("findingsFilter"));
  filter_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  connect(filter_, &QComboBox::activated, this, [this](int item) {
    const QVariant kind = filter_->itemData(item);
    model_->setKindFilter(kind.isValid() ? std::optional(static_cast<ombra::TFindingKind>(kind.toInt()))
                                         : std::nullopt);
  });
  save_->setObjectName(QStringLiteral("findingsSave"));
  save_->setEnabled(false);
  connect(save_, &QPushButton::clicked, this, &TFindingsPanel::saveCsv);

  table_->setObjectName(QStringLiteral("findingsTable"));
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setWordWrap(false);
  table_->setAlternatingRowColors(true);
  // Every row as high as the next: the view never measures a million rows.
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  QHeaderView* header = table_->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(true);
  const int digit = table_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
  for (const auto& [column, chars] :
       {std::pair{kFindSeverity, 10}, std::pair{kFindPayment, 9}, std::pair{kFindRecord, 10},
        std::pair{kFindField, 16}, std::pair{kFindExpected, 16}, std::pair{kFindFound, 16}})
    header->resizeSection(column, chars * digit);
  // Sorted only once the user asks; until then in the check's order.
  header->setSortIndicator(-1, Qt::AscendingOrder);
  table_->setSortingEnabled(true);
  connect(table_, &QTableView::clicked, this, &TFindingsPanel::showPaymentOf);
  connect(table_, &QTableView::activated, this, &TFindingsPanel::showPaymentOf);
  fillFilter();
}

void TFindingsPanel::setCheck(TViewerCheckResult check) {
  if (check != check_) ranks_.reset();
  check_ = std::move(check);
  taken_ = false;
  if (isVisible()) takeCheck();
}

void TFindingsPanel::setRanks(const TViewerCheckResult& check, std::shared_ptr<const TFindingRanks> ranks) {
  if (!check || check != check_ || !ranks) return;
  ranks_ = std::move(ranks);
  // A model still on an older check ignores them; it takes them with the check.
  model_->setRanks(check_, ranks_);
}

void TFindingsPanel::showEvent(QShowEvent* event) {
  takeCheck();
  QDockWidget::showEvent(event);
}

void TFindingsPanel::takeCheck() {
  if (taken_) return;
  taken_ = true;
  model_->setCheck(check_);
  model_->setRanks(check_, ranks_);
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  fillFilter();
  save_->setEnabled(saveDialog_ && model_->rowCount() > 0);
}

// "Alle Befunde (12)" and one entry per kind found, each with its count.
void TFindingsPanel::fillFilter() {
  filter_->clear();
  const TViewerCheckResult& check = model_->check();
  const TVerdictSummary summary = check ? Summarize(*check) : TVerdictSummary{};
  filter_->addItem(QStringLiteral("Alle Befunde (%1)").arg(German(summary.Findings)));
  for (int kind = 0; kind < ombra::kFindingKinds; ++kind)
    if (const std::int64_t count = summary.PerKind[static_cast<std::size_t>(kind)]; count > 0)
      filter_->addItem(
          QStringLiteral("%1 (%2)").arg(KindName(static_cast<ombra::TFindingKind>(kind)), German(count)),
          kind);
  const std::optional<ombra::TFindingKind> kept = model_->kindFilter();
  const int at = kept ? filter_->findData(static_cast<int>(*kept)) : 0;
  filter_->setCurrentIndex(std::max(at, 0));
  // A kind the new check did not find shows all.
  if (at < 0) model_->setKindFilter(std::nullopt);
}

void TFindingsPanel::showPaymentOf(const QModelIndex& index) {
  if (!index.isValid()) return;
  const std::int64_t payment = model_->factsAt(index.row()).Payment;
  if (payment > 0) emit paymentRequested(payment);
}

void TFindingsPanel::copySelected() {
  std::vector<std::pair<int, int>> rows;
  long long count = 0;
  for (const QItemSelectionRange& range : table_->selectionModel()->selection()) {
    rows.emplace_back(range.top(), range.bottom() + 1);
    count += range.height();
  }
  if (rows.empty()) return;
  std::sort(rows.begin(), rows.end());
  if (count > kMaxCopiedRows) {
    messages_->ShowMessage(QStringLiteral("%1 Befunde sind zu viele für die Zwischenablage; es lassen sich "
                                          "höchstens %2 auf einmal kopieren. Bitte weniger Zeilen auswählen "
                                          "oder als CSV speichern.")
                               .arg(German(count), German(kMaxCopiedRows)));
    return;
  }
  QGuiApplication::clipboard()->setMimeData(RowsAsMimeData(TSheetCells(*model_), rows, model_->titles()));
}

void TFindingsPanel::saveCsv() {
  if (!saveDialog_ || model_->rowCount() == 0) return;
  TSaveDialogSettings settings;
  settings.Title = QStringLiteral("Befunde speichern");
  settings.Filter = QStringLiteral("CSV-Datei (*.csv)|*.csv");
  settings.FileName = QStringLiteral("befunde.csv");
  const std::optional<QString> name = saveDialog_->Execute(settings);
  if (!name) return;
  try {
    // Private, written beside the name and renamed over it: a failed save leaves what was there.
    TPageFile file(*name);
    WriteFindingsCsv(*model_, model_->titles(), [&file](const QByteArray& line) {
      file.Write(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    });
    file.Commit();
  } catch (const std::exception& error) {
    messages_->ShowError(ExceptionText(error));
  }
}

}  // namespace quandel
