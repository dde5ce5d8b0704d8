#include "findings_model.h"

#include <QColor>
#include <QLocale>

#include <algorithm>
#include <functional>
#include <tuple>

#include "sheet_rows.h"

namespace quandel {
namespace {

QColor ToneColor(TTone tone) {
  return tone == TTone::Broken ? QColor(0xda, 0x44, 0x53) : QColor(0xf6, 0x74, 0x00);
}

// Red before amber: the file's own errors first.
int ToneRank(TTone tone) { return tone == TTone::Broken ? 0 : 1; }

// Sorts `order` (indexes of findings) by `key` of each: the keys are taken once, beside their
// index, so the sort compares neither texts made for the eye nor facts gathered anew.
template <typename Key>
void SortBy(const TViewerCheck& check, std::vector<std::uint32_t>& order, Qt::SortOrder direction, Key key) {
  using TKey = decltype(key(FindingAt(check, 0)));
  std::vector<std::pair<TKey, std::uint32_t>> keyed;
  keyed.reserve(order.size());
  for (const std::uint32_t index : order) keyed.emplace_back(key(FindingAt(check, index)), index);
  // Stable: findings equal in the column keep the order they had, in either direction.
  if (direction == Qt::AscendingOrder)
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  else
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return b.first < a.first; });
  for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].second;
}

// Sorts `order` by a text of each finding, byte by byte. A million findings begin alike
// ("Zahlung 12: Kontonummer …"), so whole texts compared again and again cost most of the
// sort; each text gets a number made of its first eight bytes after what all of them share,
// and only texts equal there are compared whole. Equal texts keep the order they had.
void SortByText(const TViewerCheck& check, std::vector<std::uint32_t>& order, Qt::SortOrder direction,
                std::string_view (*text)(const TFindingFacts&)) {
  const std::size_t count = order.size();
  std::vector<std::string_view> texts;
  texts.reserve(count);
  for (const std::uint32_t index : order) texts.push_back(text(FindingAt(check, index)));
  std::size_t shared = count > 0 ? texts[0].size() : 0;
  for (const std::string_view t : texts)
    shared = static_cast<std::size_t>(
        std::mismatch(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(std::min(shared, t.size())),
                      texts[0].begin())
            .first -
        t.begin());
  struct TKeyed {
    std::uint64_t key;
    std::uint32_t position;
  };
  std::vector<TKeyed> keyed(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint64_t key = 0;
    for (std::size_t byte = shared; byte < shared + 8; ++byte)
      key = key << 8 | (byte < texts[i].size() ? static_cast<unsigned char>(texts[i][byte]) : 0U);
    keyed[i] = {key, static_cast<std::uint32_t>(i)};
  }
  const bool ascending = direction == Qt::AscendingOrder;
  std::sort(keyed.begin(), keyed.end(), [&](const TKeyed& a, const TKeyed& b) {
    if (a.key != b.key) return ascending ? a.key < b.key : b.key < a.key;
    const int byBytes = texts[a.position].substr(shared).compare(texts[b.position].substr(shared));
    if (byBytes != 0) return ascending ? byBytes < 0 : byBytes > 0;
    return a.position < b.position;
  });
  std::vector<std::uint32_t> sorted(count);
  for (std::size_t i = 0; i < count; ++i) sorted[i] = order[keyed[i].position];
  order = std::move(sorted);
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
  const auto by = [this, order](auto key) { SortBy(*check_, sorted_, order, key); };
  const auto byText = [this, order](std::string_view (*text)(const TFindingFacts&)) {
    SortByText(*check_, sorted_, order, text);
  };
  switch (column) {
    case kFindSeverity: by([](const TFindingFacts& f) { return ToneRank(f.Tone); }); break;
    case kFindPayment: by([](const TFindingFacts& f) { return f.Payment; }); break;
    case kFindRecord:
      by([](const TFindingFacts& f) { return std::tuple(f.Record, f.Byte.value_or(-1), f.Payment); });
      break;
    case kFindField: byText([](const TFindingFacts& f) { return f.Field; }); break;
    case kFindExpected: byText([](const TFindingFacts& f) { return f.Expected; }); break;
    case kFindFound: byText([](const TFindingFacts& f) { return f.Found; }); break;
    default: byText([](const TFindingFacts& f) { return f.Sentence; }); break;
  }
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
