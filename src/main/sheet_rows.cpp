#include "sheet_rows.h"

#include <string>

#include "amounts.h"
#include "control_list.h"
#include "formula_guard.h"
#include "numfmt.h"
#include "page_text.h"

namespace quandel {

TSheetRows::TSheetRows(std::shared_ptr<const TPaymentModel> rows)
    : rows_(std::move(rows)), currency_(DecodeCp1252(std::string_view(rows_->document().CurrencyText()))) {}

int TSheetRows::rowCount() const { return rows_->rows(); }

QString TSheetRows::cellText(int row, int column) const {
  if (column == kCurrencyColumn) return currency_;
  if (column == kColAmount) {
    const std::optional<std::int64_t> cents =
        ShownCents(rows_->document().SatzCList[static_cast<std::size_t>(rows_->fileRow(row))]);
    if (!cents) return rows_->cellText(row, column);
    // The user's decimal separator, and no grouping: a spreadsheet reads it as a number.
    ombra::TRegionalSettings plain = rows_->regionalSettings();
    plain.ThousandSeparator = '\0';
    std::string text;
    ombra::AppendCents(text, *cents, plain);
    return QString::fromLatin1(text);
  }
  // The number is the list's own; every other text comes from the file.
  return column == kColNumber ? rows_->cellText(row, column)
                              : NeutraliseFormula(rows_->cellText(row, column));
}

QString NeutraliseFormula(QString text) {
  if (!text.isEmpty() && support::StartsLikeFormula(text.front().unicode())) text.prepend(u'\'');
  return text;
}

QStringList TSheetRows::titles() const {
  QStringList titles;
  for (const std::string& title : ombra::SheetColumnTitles()) titles << QString::fromStdString(title);
  return titles;
}

}  // namespace quandel
