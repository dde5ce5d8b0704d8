#pragma once
// `list`: a catalogue of an archive, one line (JSON object, CSV row) per DTAUS file, sorted by
// path: kind, dates, sender, reference, currency, count and total as counted, the verdicts of
// `check` and the size.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "bank_directory.h"
#include "datetime.h"
#include "options.h"
#include "regional.h"

namespace cli {

// "Gutschriften" for GK and GB, "Lastschriften" for LK and LB, else the code as stored.
std::string KindOfBatch(std::string_view code);

// The execution date of the A record (positions 96-103, TTMMJJJJ), when the field holds a date.
std::optional<ombra::TDate> ExecutionDateOf(std::string_view satzA);

// The execution date as `rs` writes dates; empty when the field is blank, the bytes as stored
// when they are no date.
std::string ExecutionDate(std::string_view satzA, const ombra::TRegionalSettings& rs);

// Given `banks`, each file also gets the verdict on its accounts.
int RunList(const TInvocation& invocation, const ombra::TBankDirectory* banks,
            const ombra::TRegionalSettings& rs, std::ostream& err, bool showProgress);

}  // namespace cli
