#pragma once
// The consistency check of a loaded file: the reader's field checks, the trailer's count,
// total and both check sums against what the payments give.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dtaus.h"
#include "record_walker.h"
#include "regional.h"

namespace cli {

struct TCheckSums {
  std::int64_t Konto = 0;
  std::int64_t BLZ = 0;
  // German descriptions of fields that could not be summed (not numeric, overflow).
  std::vector<std::string> Problems;
};

// Receiver accounts and receiver bank codes of all payments, summed as integers.
TCheckSums ComputeCheckSums(const ombra::TDtaus& doc);

// The payments' total in whole hundredths; nothing when an amount or the sum leaves 64 bits.
std::optional<std::int64_t> SumOfPaymentsInCents(const ombra::TDtaus& doc);

struct TCheckReport {
  std::vector<std::string> Lines;  // UTF-8
  int Discrepancies = 0;
};

// `fieldMessages` are the reader's reports (Windows-1252) of the load of `doc`.
TCheckReport CheckDocument(const std::string& fileName, const ombra::TDtaus& doc,
                           const std::vector<std::string>& fieldMessages,
                           const TTrailerField& trailer, const ombra::TRegionalSettings& rs);

}  // namespace cli
