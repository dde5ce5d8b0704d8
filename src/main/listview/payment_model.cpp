#include "payment_model.h"

#include <string_view>

#include "amounts.h"
#include "control_list.h"
#include "cp1252.h"
#include "damaged_list.h"
#include "numfmt.h"
#include "page_text.h"
#include "umlauts.h"

namespace quandel {
namespace {

bool IsHtmlBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The 8-bit text of one cell, made by the same routines that write it into the page.
std::string& Scratch() {
  thread_local std::string bytes;
  bytes.clear();
  return bytes;
}

QString DecodeLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) {
    joined += line;
    joined += '\n';
  }
  return DecodeCp1252(joined);
}

}  // namespace

void AppendCellBytes(std::string& out, const ombra::TSatzC& payment, int column, const char* currency,
                     const ombra::TRegionalSettings& rs) {
  switch (column) {
    case kColName: out += payment.Name; break;
    case kColBlz: out += payment.BLZ; break;
    case kColKonto: out += payment.Konto; break;
    case kColAmount: ombra::AppendMoney(out, payment.Betrag, currency, rs); break;
    default: break;
  }
}

int PurposeLineCount(const ombra::TSatzC& payment) {
  const auto& lines = payment.Verwendungszweck;
  const auto count = static_cast<int>(lines.size());
  if (count == 0) return 1;
  return count > 1 && IsBlankText(lines[lines.size() - 1]) ? count - 1 : count;
}

static_assert(kColumnCount == ombra::kControlListColumns.size(), "the list shows the page's columns");

QString ColumnTitle(int column) {
  return DecodeCp1252(ombra::kControlListColumns[static_cast<std::size_t>(column)].Title);
}

bool IsBlankText(std::string_view text) {
  for (const char c : text)
    if (!IsHtmlBlank(c)) return false;
  return true;
}

void BrowserText(std::string_view text, QString& out) {
  out.resize(static_cast<qsizetype>(text.size()));
  char16_t* const begin = reinterpret_cast<char16_t*>(out.data());
  char16_t* end = begin;
  bool blank = false;
  for (const char c : text) {
    if (IsHtmlBlank(c)) {
      blank = true;
      continue;
    }
    if (blank && end != begin) *end++ = u' ';
    blank = false;
    *end++ = static_cast<char16_t>(support::Cp1252ToUnicode(static_cast<unsigned char>(c)));
  }
  out.truncate(end - begin);
}

std::shared_ptr<const TRowLines> CountPurposeLines(const ombra::TDtaus& document) {
  auto lines = std::make_shared<TRowLines>();
  const std::size_t count = TPaymentModel::HasList(document) ? document.SatzCList.size() : 0;
  lines->reserve(count + 1);
  std::int64_t total = 0;
  lines->push_back(0);
  for (std::size_t row = 0; row < count; ++row) {
    total += PurposeLineCount(document.SatzCList[row]);
    lines->push_back(total);
  }
  return lines;
}

TPaymentModel::TPaymentModel(std::shared_ptr<const ombra::TDtaus> document,
                             const ombra::TRegionalSettings& rs, std::string footer,
                             std::shared_ptr<const TRowLines> lines, QObject* parent)
    : QAbstractTableModel(parent),
      document_(std::move(document)),
      rs_(rs),
      footer_(std::move(footer)),
      linesBefore_(lines ? std::move(lines) : CountPurposeLines(*document_)) {
  sumCents();
}

TPaymentModel::TPaymentModel(const TPaymentModel& file, std::shared_ptr<const std::vector<int>> fileRows)
    : document_(file.document_), rs_(file.rs_), footer_(file.footer_), order_(std::move(fileRows)) {
  // A row's lines and cents are the file's for its payment, taken from the file's running
  // totals: nothing is counted twice, and the payments themselves are not visited, which
  // keeps a million rows quick on the thread of the views.
  const TRowLines& fileLines = *file.linesBefore_;
  const std::vector<std::int64_t>& fileCents = file.centsBefore_;
  auto lines = std::make_shared<TRowLines>();
  lines->reserve(order_->size() + 1);
  lines->push_back(0);
  if (!fileCents.empty()) {
    centsBefore_.reserve(order_->size() + 1);
    centsBefore_.push_back(0);
  }
  std::int64_t total = 0;
  std::int64_t cents = 0;
  for (const int row : *order_) {
    const auto at = static_cast<std::size_t>(row);
    total += fileLines[at + 1] - fileLines[at];
    lines->push_back(total);
    if (centsBefore_.empty()) continue;
    if (ombra::AddCents(cents, fileCents[at + 1] - fileCents[at]))
      centsBefore_.push_back(cents);
    else
      centsBefore_ = {};
  }
  linesBefore_ = std::move(lines);
  // The file's total did not fit or held no number: these rows may still sum.
  if (fileCents.empty()) sumCents();
}

void TPaymentModel::sumCents() {
  const auto count = static_cast<std::size_t>(rows());
  centsBefore_.reserve(count + 1);
  centsBefore_.push_back(0);
  std::int64_t cents = 0;
  for (std::size_t row = 0; row < count; ++row) {
    const std::optional<std::int64_t> amount = ShownCents(Payment(static_cast<int>(row)));
    if (!amount || !ombra::AddCents(cents, *amount)) {
      centsBefore_ = {};
      return;
    }
    centsBefore_.push_back(cents);
  }
}

int TPaymentModel::fileRows() const {
  return HasList(*document_) ? static_cast<int>(document_->SatzCList.size()) : 0;
}

std::optional<std::int64_t> TPaymentModel::centsOf(int first, int last) const {
  if (centsBefore_.empty() || first < 0 || last > rows() || first > last) return std::nullopt;
  return centsBefore_[static_cast<std::size_t>(last)] - centsBefore_[static_cast<std::size_t>(first)];
}

std::optional<std::int64_t> ShownCents(const ombra::TSatzC& payment) {
  if (payment.BetragCent != ombra::kNoCents) return payment.BetragCent;
  return ombra::ToCents(payment.Betrag);
}

TPaymentModel::~TPaymentModel() = default;

const ombra::TSatzC& TPaymentModel::Payment(int row) const {
  return document_->SatzCList[static_cast<std::size_t>(fileRow(row))];
}

int TPaymentModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows(); }

int TPaymentModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant TPaymentModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows() || index.column() >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return cellText(index.row(), index.column());
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Alignment(index.column()) | Qt::AlignTop);
  return {};
}

QVariant TPaymentModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= kColumnCount) return {};
  return ColumnTitle(section);
}

Qt::Alignment TPaymentModel::Alignment(int column) {
  return ombra::kControlListColumns[static_cast<std::size_t>(column)].RightAligned ? Qt::AlignRight
                                                                                   : Qt::AlignLeft;
}

QString TPaymentModel::cellText(int row, int column) const {
  QString text;
  if (column != kColPurpose) {
    cellText(row, column, text);
    return text;
  }
  QString line;
  const int lines = purposeLineCount(row);
  for (int i = 0; i < lines; ++i) {
    if (i > 0) text += u'\n';
    text += purposeLine(row, i, line);
  }
  return text;
}

QStringView TPaymentModel::cellText(int row, int column, QString& buffer) const {
  std::string& bytes = Scratch();
  if (column == kColNumber)
    ombra::AppendInt(bytes, std::int64_t{fileRow(row)} + 1);
  else
    AppendCellBytes(bytes, Payment(row), column, document_->CurrencyText(), rs_);
  BrowserText(bytes, buffer);
  return buffer;
}

int TPaymentModel::purposeLineCount(int row) const { return PurposeLineCount(Payment(row)); }

QStringView TPaymentModel::purposeLine(int row, int line, QString& buffer) const {
  const auto& lines = Payment(row).Verwendungszweck;
  std::string& bytes = Scratch();
  if (static_cast<std::size_t>(line) < lines.size())
    ombra::AppendDecodedUmlauts(bytes, lines[static_cast<std::size_t>(line)]);
  BrowserText(bytes, buffer);
  return buffer;
}

bool TPaymentModel::HasList(const ombra::TDtaus& document) {
  return !document.LoadFailed() || (ombra::PartlyRead(document.Damage) && !document.SatzCList.empty());
}

QString TPaymentModel::headHtml() const {
  if (damaged()) return DamagedHead(*document_, rs_);
  std::vector<std::string> lines;
  document_->RenderControlListHead([&lines](std::string&& line) { lines.push_back(std::move(line)); }, rs_);
  return PageForView(DecodeLines(lines));
}

QString TPaymentModel::tailHtml() const {
  if (damaged()) return DamagedTail(*document_);
  std::vector<std::string> lines;
  document_->RenderControlListTail([&lines](std::string&& line) { lines.push_back(std::move(line)); },
                                   footer_, rs_);
  return PageForView(DecodeLines(lines));
}

}  // namespace quandel
