#include "numfmt.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace ombra {
namespace {

void AppendGrouped(std::string& out, const char* digits, std::size_t count, char separator) {
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0 && (count - i) % 3 == 0 && separator != '\0') out += separator;
    out += digits[i];
  }
}

// Sign and grouped digits of a whole number.
void AppendGroupedInteger(std::string& out, std::int64_t value, char separator) {
  if (value < 0) out += '-';
  const std::uint64_t magnitude =
      value < 0 ? 0ULL - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  AppendGrouped(out, digits, static_cast<std::size_t>(end - digits), separator);
}

}  // namespace

void AppendAmount(std::string& out, double value, const TRegionalSettings& rs) {
  if (std::isnan(value)) {
    out += "NAN";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-INF" : "INF";
    return;
  }
  // Exact integer cents while they fit a double's mantissa (every amount a file can hold);
  // rounding half away from zero on the cents, as a clerk would.
  if (std::fabs(value) < 9.0e13) return AppendCents(out, std::llround(value * 100.0), rs);
  char buffer[400];
  const int n = std::snprintf(buffer, sizeof buffer, "%.2f", std::fabs(value));
  const std::string_view text(buffer, static_cast<std::size_t>(n));
  const std::size_t point = text.find('.');
  if (value < 0) out += '-';
  AppendGrouped(out, buffer, point, rs.ThousandSeparator);
  out += rs.DecimalSeparator;
  out.append(text.substr(point + 1));
}

void AppendCents(std::string& out, std::int64_t cents, const TRegionalSettings& rs) {
  if (cents < 0) out += '-';
  const std::uint64_t magnitude =
      cents < 0 ? 0ULL - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude / 100).ptr;
  AppendGrouped(out, digits, static_cast<std::size_t>(end - digits), rs.ThousandSeparator);
  out += rs.DecimalSeparator;
  out += static_cast<char>('0' + magnitude % 100 / 10);
  out += static_cast<char>('0' + magnitude % 10);
}

void AppendGroupedInt(std::string& out, std::int64_t value, const TRegionalSettings& rs) {
  AppendGroupedInteger(out, value, rs.ThousandSeparator);
}

const char* CurrencyText(bool euro) { return euro ? "EUR" : "DM"; }

void AppendMoney(std::string& out, double value, const char* currency, const TRegionalSettings& rs) {
  AppendAmount(out, value, rs);
  out += ' ';
  out += currency;
}

std::string FormatAmount(double value, const TRegionalSettings& rs) {
  std::string out;
  AppendAmount(out, value, rs);
  return out;
}

void AppendInt(std::string& out, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

std::string GroupedNumber(std::int64_t value) {
  std::string out;
  AppendGroupedInteger(out, value, '.');
  return out;
}

}  // namespace ombra
