#pragma once
// `duplicates`: the classic audit test for double payments over a whole archive. Files that are
// one batch twice (the same bytes, or the same A and E records), and payments made more than
// once within a file or across files: same bank code and account of the payee, same amount and
// currency and the same purpose (blanks and case ignored; without it when loose).
#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "dtaus.h"
#include "options.h"
#include "regional.h"

namespace cli {

// What makes two payments (or two batches) the same, hashed to 128 bits: memory grows with
// the distinct payments, not with the files' size, and two different payments collide with a
// chance of about 2^-128 per pair.
struct TSameKey {
  std::uint64_t High = 0;
  std::uint64_t Low = 0;
  bool operator==(const TSameKey&) const = default;
};
TSameKey HashKey(std::string_view bytes);

// The bytes hashed for a payment: bank code digits, account, currency, cents and, unless
// `loose`, the purpose lines folded without blanks. Nothing when the amount is not a number
// of cents.
bool PaymentKeyBytes(std::string& out, const ombra::TSatzC& c, bool euro, bool loose);
// The bytes hashed for a batch: every field of the A and the E record the document keeps.
std::string BatchKeyBytes(const ombra::TDtaus& doc);

// Whether two files hold the same bytes (false when either cannot be read).
bool SameBytes(const std::string& a, const std::string& b);

int RunDuplicates(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err,
                  bool showProgress);

}  // namespace cli
