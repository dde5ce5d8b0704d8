#include "summary_text.h"

#include <cstdint>
#include <optional>
#include <string>

#include "amounts.h"
#include "numfmt.h"
#include "page_text.h"

namespace quandel {
namespace {

QString Count(std::int64_t count, const ombra::TRegionalSettings& rs) {
  std::string digits;
  ombra::AppendGroupedInt(digits, count, rs);
  return QString::fromLatin1(digits);
}

QString Payments(std::int64_t count) {
  return count == 1 ? QStringLiteral("Zahlung") : QStringLiteral("Zahlungen");
}

}  // namespace

QString SummaryText(const TPaymentModel& shown, const std::vector<std::pair<int, int>>& selected) {
  const ombra::TRegionalSettings& rs = shown.regionalSettings();
  const std::int64_t showing = shown.rows();
  const std::int64_t all = shown.fileRows();
  const bool filtered = showing < all;
  std::int64_t cents = 0;
  bool exact = true;
  std::int64_t count = 0;
  QString text;
  if (selected.empty()) {
    const std::optional<std::int64_t> shownCents = shown.centsOf(0, shown.rows());
    exact = shownCents.has_value();
    cents = shownCents.value_or(0);
    text = filtered ? QStringLiteral("%1 von %2 Zahlungen gezeigt").arg(Count(showing, rs), Count(all, rs))
                    : Count(all, rs) + u' ' + Payments(all);
  } else {
    for (const auto& [first, last] : selected) {
      count += last - first;
      const std::optional<std::int64_t> part = shown.centsOf(first, last);
      exact = exact && part && ombra::AddCents(cents, *part);
    }
    text = filtered ? QStringLiteral("%1 von %2 gezeigten Zahlungen ausgewählt")
                          .arg(Count(count, rs), Count(showing, rs))
                    : QStringLiteral("%1 %2 ausgewählt").arg(Count(count, rs), Payments(count));
  }
  if (!exact) return text + QStringLiteral(" · Summe zu groß für eine genaue Angabe");
  std::string amount;
  ombra::AppendCents(amount, cents, rs);
  amount += ' ';
  amount += shown.document().CurrencyText();
  return text + QStringLiteral(" · Summe ") + DecodeCp1252(amount);
}

}  // namespace quandel
