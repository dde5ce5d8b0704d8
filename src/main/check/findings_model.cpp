#include "findings_model.h"

#include <QColor>
#include <QLocale>

#include <algorithm>
#include <bit>
#include <cstdint>
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

// The first sixteen bytes of a text as two numbers, the first byte highest; 0 past its end.
std::pair<std::uint64_t, std::uint64_t> Lead(std::string_view text) {
  std::uint64_t high = 0, low = 0;
  for (std::size_t i = 0; i < 8; ++i)
    high = high << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
  for (std::size_t i = 8; i < 16; ++i)
    low = low << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
  return {high, low};
}

// Sorts `order` by a text of each finding, byte by byte. A million findings begin alike
// ("Zahlung 12: Kontonummer …") and lie apart in memory, so comparing whole texts again and
// again costs most of the sort. Each text is read once: its eight bytes after what all texts
// share (up to eight) make a number to sort by, and only texts equal in those are compared
// whole. Equal texts keep the order they had. Little is allocated: fresh memory costs a
// fault per page.
void SortByText(const TViewerCheck& check, std::vector<std::uint32_t>& order, Qt::SortOrder direction,
                std::string_view (*text)(const TFindingFacts&)) {
  const std::size_t count = order.size();
  if (count < 2) return;
  struct TKeyed {
    std::uint64_t key;  // the text's first eight bytes until `shared` is known
    std::uint32_t position;
    std::uint32_t length;  // at most UINT32_MAX: longer texts count as that long
  };
  std::vector<TKeyed> keyed;
  std::vector<std::uint64_t> next;  // the eight bytes after those
  keyed.reserve(count);
  next.reserve(count);
  std::size_t shared = 8;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view t = text(FindingAt(check, order[i]));
    const auto [high, low] = Lead(t);
    keyed.push_back({high, static_cast<std::uint32_t>(i),
                     static_cast<std::uint32_t>(std::min<std::size_t>(t.size(), UINT32_MAX))});
    next.push_back(low);
    shared = std::min(shared, t.size());
  }
  for (const TKeyed& k : keyed)
    if (const std::uint64_t differs = k.key ^ keyed[0].key; differs != 0)
      shared = std::min(shared, static_cast<std::size_t>(std::countl_zero(differs) / 8));
  if (shared > 0)
    for (std::size_t i = 0; i < count; ++i)
      keyed[i].key = shared == 8 ? next[i] : keyed[i].key << (8 * shared) | next[i] >> (64 - 8 * shared);
  next = {};
  const bool ascending = direction == Qt::AscendingOrder;
  std::sort(keyed.begin(), keyed.end(), [ascending](const TKeyed& a, const TKeyed& b) {
    if (a.key != b.key) return ascending ? a.key < b.key : b.key < a.key;
    return a.position < b.position;
  });
  // Texts equal in their key are equal unless one goes on past it or is shorter: a key pads
  // with 0 bytes.
  const auto whole = [&](const TKeyed& a, const TKeyed& b) {
    const std::string_view first = text(FindingAt(check, order[a.position]));
    const std::string_view second = text(FindingAt(check, order[b.position]));
    const int byBytes = first.substr(shared).compare(second.substr(shared));
    return ascending ? byBytes < 0 : byBytes > 0;
  };
  for (auto run = keyed.begin(); run != keyed.end();) {
    const auto end = std::find_if(run, keyed.end(), [&](const TKeyed& k) { return k.key != run->key; });
    const std::uint32_t length = run->length;
    if (end - run > 1 &&
        std::any_of(run, end, [&](const TKeyed& k) { return k.length != length || length > shared + 8; }))
      std::stable_sort(run, end, whole);
    run = end;
  }
  std::vector<std::uint32_t> sorted;
  sorted.reserve(count);
  for (const TKeyed& k : keyed) sorted.push_back(order[k.position]);
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
