#pragma once
// `find`: the payments of a whole archive that meet every condition given, one line (or one
// JSON object) each, in the order of the walk.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "datetime.h"
#include "dtaus.h"
#include "options.h"
#include "regional.h"

namespace cli {

// The conditions as compared: texts folded (search_fold.h), numbers as digits, amounts in
// cents, dates as yyyymmdd; an empty optional holds everywhere.
struct TFindConditions {
  std::optional<std::string> Name;
  std::optional<std::string> Purpose;
  std::optional<std::string> Blz;    // digits
  std::optional<std::string> Konto;  // digits without leading zeros
  std::optional<std::int64_t> MinCents;
  std::optional<std::int64_t> MaxCents;
  std::optional<int> FromDate;
  std::optional<int> ToDate;
};

// Reads the conditions of `invocation` (UTF-8 as typed). Returns a German message when one
// cannot be understood.
std::optional<std::string> ParseFindConditions(const TInvocation& invocation, TFindConditions& conditions);

// Whether the file's date passes; checked once per file.
bool FileDateMatches(const TFindConditions& conditions, const ombra::TDate& date);
// Whether payment `c` meets every condition but the date.
bool PaymentMatches(const TFindConditions& conditions, const ombra::TSatzC& c, std::string& scratch);

int RunFind(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err,
            bool showProgress);

}  // namespace cli
