#pragma once
// The payments of one shown document as a table: a row per payment, the control list's six
// columns, each cell the text the page shows (purpose lines joined by "\n"). The texts are
// made on request from the document with the core's own formatting, so that the page and
// every view of the list say the same.
#include <QAbstractTableModel>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dtaus.h"
#include "regional.h"

namespace quandel {

enum TListColumn { kColNumber, kColName, kColBlz, kColKonto, kColPurpose, kColAmount, kColumnCount };

// Shown purpose lines before each row of a document, and their total at the end. Counting
// them takes a while for a long file, so the thread that read the file counts them once.
using TRowLines = std::vector<std::int64_t>;
std::shared_ptr<const TRowLines> CountPurposeLines(const ombra::TDtaus& document);

class TPaymentModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `rs` and `footer` are the ones the page was rendered with; `lines` is what
  // CountPurposeLines says of the document (counted here when not given). Made, used and
  // destroyed on the thread of its views.
  TPaymentModel(std::shared_ptr<const ombra::TDtaus> document, const ombra::TRegionalSettings& rs,
                std::string footer, std::shared_ptr<const TRowLines> lines = nullptr,
                QObject* parent = nullptr);
  // The payments of `file` (a model in file order) in the order `fileRows` gives, which may
  // leave some out: a sorted or filtered list. The page around the rows stays the file's.
  TPaymentModel(const TPaymentModel& file, std::shared_ptr<const std::vector<int>> fileRows);
  ~TPaymentModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Whether a list is shown for the document: one that loaded, and one damaged after its
  // payments began, with the payments read before the damage.
  static bool HasList(const ombra::TDtaus& document);
  // The document is damaged: its page is the error page, the list says so above and below.
  bool damaged() const { return document_->LoadFailed(); }

  int rows() const { return static_cast<int>(linesBefore_->size()) - 1; }
  // What data() shows for the cell.
  QString cellText(int row, int column) const;
  // A cell other than the purpose, written into `buffer`, which is reused: measuring a
  // million rows makes no million strings. Valid until `buffer` changes.
  QStringView cellText(int row, int column, QString& buffer) const;
  // The purpose cell's lines as the page shows them: a line break at the very end of the cell
  // starts no line of its own.
  int purposeLineCount(int row) const;
  QStringView purposeLine(int row, int line, QString& buffer) const;
  // With the row number this fixes where a row starts, whatever the font.
  std::int64_t purposeLinesBefore(int row) const { return (*linesBefore_)[static_cast<std::size_t>(row)]; }

  // The payment a row shows, counted from 0 in the file; rows are in file order unless the
  // model was made with an order.
  int fileRow(int row) const { return order_ ? (*order_)[static_cast<std::size_t>(row)] : row; }
  bool inFileOrder() const { return order_ == nullptr; }
  // The file row of each row; null in the file's order.
  const std::shared_ptr<const std::vector<int>>& fileRowOrder() const { return order_; }
  // How many payments the file has, shown or not.
  int fileRows() const;
  // The amounts of rows [first, last) in cents, exactly; nothing when a sum would not fit.
  std::optional<std::int64_t> centsOf(int first, int last) const;

  static Qt::Alignment Alignment(int column);

  // The page above and below the payment table, as HTML for Qt's text documents.
  QString headHtml() const;
  QString tailHtml() const;

  const ombra::TDtaus& document() const { return *document_; }
  const std::shared_ptr<const ombra::TDtaus>& sharedDocument() const { return document_; }
  const ombra::TRegionalSettings& regionalSettings() const { return rs_; }

 private:
  const ombra::TSatzC& Payment(int row) const;

  std::shared_ptr<const ombra::TDtaus> document_;
  ombra::TRegionalSettings rs_;
  std::string footer_;
  void sumCents();

  // Null for the file's order.
  std::shared_ptr<const std::vector<int>> order_;
  // Shown purpose lines before each row, and their total at the end.
  std::shared_ptr<const TRowLines> linesBefore_;
  // The amounts of the rows before each row in cents, so that any run of rows sums in one
  // subtraction (of the shown amounts, as a clerk adds them); empty when an amount is not a
  // number or the total does not fit 64 bits.
  std::vector<std::int64_t> centsBefore_;
};

// The Windows-1252 bytes of a payment's name, bank code, account or amount cell, before
// BrowserText makes them the shown text; nothing for the other columns. `currency` is the
// document's CurrencyText().
void AppendCellBytes(std::string& out, const ombra::TSatzC& payment, int column, const char* currency,
                     const ombra::TRegionalSettings& rs);

// The purpose lines the page shows for a payment: a line break at the very end of the cell
// starts no line of its own.
int PurposeLineCount(const ombra::TSatzC& payment);

// The payment's amount in cents as the list shows it: the hundredths the file held, or the
// amount rounded to them when it had finer parts; nothing for what is not a number.
std::optional<std::int64_t> ShownCents(const ombra::TSatzC& payment);

// The column's title as the page's table header has it.
QString ColumnTitle(int column);

// Windows-1252 text as a browser shows it in a cell: runs of blanks, tabs and line breaks
// become one blank, none stands at either end. Written into `out`.
void BrowserText(std::string_view text, QString& out);
bool IsBlankText(std::string_view text);

}  // namespace quandel
