#include "datetime.h"

#include <chrono>
#include <ctime>

namespace ombra {
namespace {

// Length of the run of `c` starting at `i`.
std::size_t RunLength(const std::string& s, std::size_t i, char c) {
  std::size_t n = 0;
  while (i + n < s.size() && s[i + n] == c) ++n;
  return n;
}

void AppendNumber(std::string& out, int value, std::size_t minDigits) {
  std::string digits = std::to_string(value);
  if (digits.size() < minDigits) out.append(minDigits - digits.size(), '0');
  out += digits;
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

int ExpandTwoDigitYear(int year, int currentYear) {
  const int low = currentYear - 50;
  int full = low / 100 * 100 + year;
  if (full < low) full += 100;
  return full;
}

int CurrentYear() {
  // Read once: the time zone comes from the environment, which must not be read by workers
  // while another thread may change it.
  static const int year = [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
  }();
  return year;
}

std::string FormatDate(const TDate& date, const std::string& pattern) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    const std::size_t n = RunLength(pattern, i, c);
    if (c == 'd' || c == 'D') {
      AppendNumber(out, date.Day, n >= 2 ? 2 : 1);
    } else if (c == 'M' || c == 'm') {
      AppendNumber(out, date.Month, n >= 2 ? 2 : 1);
    } else if (c == 'y' || c == 'Y') {
      if (n <= 2)
        AppendNumber(out, date.Year % 100, 2);
      else
        AppendNumber(out, date.Year, 4);
    } else {
      out.append(n, c);
    }
    i += n;
  }
  return out;
}

std::string FormatTime(const TTime& time, const std::string& pattern) {
  const bool twelveHour = pattern.find("AP") != std::string::npos || pattern.find("ap") != std::string::npos;
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if ((c == 'A' || c == 'a') && i + 1 < pattern.size() &&
        (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) {
      const bool pm = time.Hour >= 12;
      out += c == 'A' ? (pm ? "PM" : "AM") : (pm ? "pm" : "am");
      i += 2;
      continue;
    }
    const std::size_t n = RunLength(pattern, i, c);
    if (c == 'H' || (c == 'h' && !twelveHour)) {
      AppendNumber(out, time.Hour, n >= 2 ? 2 : 1);
    } else if (c == 'h') {
      const int h = time.Hour % 12 == 0 ? 12 : time.Hour % 12;
      AppendNumber(out, h, n >= 2 ? 2 : 1);
    } else if (c == 'm') {
      AppendNumber(out, time.Minute, n >= 2 ? 2 : 1);
    } else if (c == 's') {
      AppendNumber(out, time.Second, n >= 2 ? 2 : 1);
    } else {
      out.append(n, c);
    }
    i += n;
  }
  return out;
}

std::string FormatDateTime(const TDate& date, const TTime& time, const TRegionalSettings& rs) {
  std::string out = FormatDate(date, rs.ShortDateFormat);
  if (time.Hour != 0 || time.Minute != 0 || time.Second != 0) {
    out += ' ';
    out += FormatTime(time, rs.LongTimeFormat);
  }
  return out;
}

}  // namespace ombra
