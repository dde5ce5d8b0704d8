#include "findings_model.h"

#include <QColor>
#include <QLocale>

#include <cstdint>
#include <functional>

#include "sheet_rows.h"

namespace quandel {
namespace {

QColor ToneColor(TTone tone) {
  return tone == TTone::Broken ? QColor(0xda, 0x44, 0x53) : QColor(0xf6, 0x74, 0x00);
}

QString CsvField(const QString& cell) {
  // Found values come from the file: "=1+2" stays a text in a spreadsheet.
  const QString text = NeutraliseFormula(cell);
  if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
    return text;
  return QLatin1Char('"') + QString(text).replace(u'"', QStringLiteral("\"\"")) + QLatin1Char('"');
}

}  // namespace

void TFindingsModel::setCheck(TViewerCheckResult check) {
  beginResetModel();
  if (check != check_) ranks_.reset();
  check_ = std::move(check);
  sorted_.clear();
  if (check_) {
    const std::size_t count = FindingCount(*check_);
    sorted_.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
      if (FindingAt(*check_, i).Tone != TTone::Good) sorted_.push_back(static_cast<std::uint32_t>(i));
  }
  applyFilter();
  endResetModel();
}

void TFindingsModel::setRanks(const TViewerCheckResult& check, std::shared_ptr<const TFindingRanks> ranks) {
  // Ranks made by a sort already are the same.
  if (check && check == check_ && !ranks_) ranks_ = std::move(ranks);
}

void TFindingsModel::setKindFilter(std::optional<ombra::TFindingKind> kind) {
  if (kind == filter_) return;
  beginResetModel();
  filter_ = kind;
  applyFilter();
  endResetModel();
}

void TFindingsModel::applyFilter() {
  if (!filter_ || !check_) {
    rows_ = sorted_;
    return;
  }
  rows_.clear();
  for (const std::uint32_t index : sorted_)
    if (FindingAt(*check_, index).Kind == *filter_) rows_.push_back(index);
}

int TFindingsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TFindingsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kFindColumnCount;
}

TFindingFacts TFindingsModel::factsAt(int row) const {
  return FindingAt(*check_, rows_[static_cast<std::size_t>(row)]);
}

QString TFindingsModel::cellText(int row, int column) const {
  const TFindingFacts facts = factsAt(row);
  switch (column) {
    case kFindSeverity: return ToneName(facts.Tone);
    case kFindPayment:
      return facts.Payment > 0 ? QLocale(QLocale::German).toString(static_cast<qlonglong>(facts.Payment))
                               : QString();
    case kFindRecord: return RecordAndByte(facts);
    case kFindField: return Text(facts.Field);
    case kFindExpected: return Text(facts.Expected);
    case kFindFound: return Text(facts.Found);
    case kFindSentence: return Text(facts.Sentence);
    default: return {};
  }
}

QVariant TFindingsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  switch (role) {
    case Qt::DisplayRole: return cellText(index.row(), index.column());
    case Qt::ToolTipRole:
      return index.column() == kFindSentence ? cellText(index.row(), kFindSentence) : QVariant();
    case Qt::DecorationRole:
      return index.column() == kFindSeverity ? QVariant(ToneColor(factsAt(index.row()).Tone)) : QVariant();
    case Qt::TextAlignmentRole:
      return index.column() == kFindPayment ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default: return {};
  }
}

QStringList TFindingsModel::titles() const {
  return {QStringLiteral("Schwere"), QStringLiteral("Zahlung"),  QStringLiteral("Satz, Byte"),
          QStringLiteral("Feld"),    QStringLiteral("Erwartet"), QStringLiteral("Gefunden"),
          QStringLiteral("Befund")};
}

QVariant TFindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kFindColumnCount)
    return QAbstractTableModel::headerData(section, orientation, role);
  return titles().at(section);
}

void TFindingsModel::sort(int column, Qt::SortOrder order) {
  if (!check_ || column < 0 || column >= kFindColumnCount) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  if (!ranks_) ranks_ = RankFindings(*check_);
  // Stable: findings equal in the column keep the order they had, in either direction.
  SortByRank(sorted_, ranks_->ByColumn[static_cast<std::size_t>(column)], order == Qt::AscendingOrder);
  applyFilter();
  // The view's selection and current cell go by row; after a sort they would name others.
  changePersistentIndexList(persistentIndexList(), QModelIndexList(persistentIndexList().size()));
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void WriteFindingsCsv(const IRowTexts& rows, const QStringList& titles,
                      const std::function<void(const QByteArray&)>& line) {
  QStringList cells;
  for (const QString& title : titles) cells << CsvField(title);
  // A byte order mark, so spreadsheets take the umlauts as UTF-8.
  line("\xEF\xBB\xBF" + cells.join(u';').toUtf8());
  for (int row = 0; row < rows.rowCount(); ++row) {
    cells.clear();
    for (int column = 0; column < rows.columnCount(); ++column) cells << CsvField(rows.cellText(row, column));
    line(cells.join(u';').toUtf8());
  }
}

}  // namespace quandel
