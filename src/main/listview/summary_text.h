#pragma once
// The line under the list's rows that answers how many payments are selected or shown and
// what they add up to, summed exactly in cents.
#include <QString>

#include <utility>
#include <vector>

#include "payment_model.h"

namespace quandel {

// "37 Zahlungen ausgewählt · Summe 12.395,66 EUR", or without a selection the rows shown:
// "100.000 Zahlungen · Summe …", "1.204 von 100.000 Zahlungen gezeigt · Summe …".
// `selected` are [first, last) ranges of the shown rows, ascending.
QString SummaryText(const TPaymentModel& shown, const std::vector<std::pair<int, int>>& selected);

}  // namespace quandel
