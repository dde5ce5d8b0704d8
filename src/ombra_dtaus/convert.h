#pragma once
// Conversions of fixed-width fields; each throws EConvertError on a field it cannot read.
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "datetime.h"

namespace ombra {

class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

[[noreturn]] void ThrowConvertError(std::string_view field);

// Leading blanks, optional sign, decimal digits, or hexadecimal after "$", "x", "0x".
// A NUL byte ends the field; anything else after the digits fails.
std::int64_t StrToInt64(std::string_view field);
std::int32_t StrToInt32(std::string_view field);

// A decimal number with the given decimal separator and an optional exponent;
// blanks around it are ignored. Thousands separators are not allowed.
double StrToFloat(std::string_view field, char decimalSeparator);

// "ddmmyy" read by position; the two-digit year is placed around currentYear.
TDate DateFromDDMMYY(std::string_view field, int currentYear);

}  // namespace ombra
