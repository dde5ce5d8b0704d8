#pragma once
// The control-list page read back from its HTML: the payment rows as plain cell texts, the
// parts around the payment table as small HTML fragments. Only pages of exactly the shape
// the control-list renderer writes are recognised; every other page is left to a browser.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

namespace quandel {

enum TListColumn { kColNumber, kColName, kColBlz, kColKonto, kColPurpose, kColAmount, kColumnCount };

// The cell texts of all payment rows, decoded and unescaped, kept in one buffer: a page of
// 100,000 rows would otherwise need a million small strings.
class TPaymentRows {
 public:
  int size() const { return static_cast<int>(rowFirstSpan_.size()) - 1; }
  bool empty() const { return size() == 0; }

  // Any column but kColPurpose.
  QStringView cell(int row, TListColumn column) const;
  int purposeLineCount(int row) const;
  QStringView purposeLine(int row, int line) const;
  // With the row number this fixes where a row starts, whatever the font.
  std::int64_t purposeLinesBefore(int row) const;

 private:
  friend class TRowCollector;
  struct TSpan {
    std::uint32_t offset;
    std::uint32_t length;
  };
  // Per row: number, name, BLZ, Konto, amount, then its purpose lines.
  static constexpr int kFixedCells = 5;

  QString text_;
  std::vector<TSpan> spans_;
  std::vector<std::uint32_t> rowFirstSpan_{0};
};

struct TControlListPage {
  QString title;     // "Datenträger-Kontrolliste vom ..."
  QString headHtml;  // title paragraph and summary table, up to the payment table
  QString tailHtml;  // check sums, closing total and footer
  TPaymentRows rows;
};

// The column header texts of the payment table, as the page has them.
const QStringList& ColumnTitles();

// Nothing unless `page` is a control list exactly as the renderer writes it (Windows-1252,
// lines ended by CR LF or LF).
std::optional<TControlListPage> ParseControlList(const QByteArray& page);

}  // namespace quandel
