#pragma once
#include <string>

#include "regional.h"

namespace ombra {

// A calendar date without time of day; all zero means "no date".
struct TDate {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  bool operator==(const TDate&) const = default;
};

struct TTime {
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

bool IsValidDate(int year, int month, int day);

// Places a one- or two-digit year into the hundred years from 50 before to 49 after currentYear.
int ExpandTwoDigitYear(int year, int currentYear);

// The year at the first call, in the local time zone. Programs call it once on their main
// thread before any worker reads a file.
int CurrentYear();

std::string FormatDate(const TDate& date, const std::string& pattern);
std::string FormatTime(const TTime& time, const std::string& pattern);

// Short date, a blank and the long time; the time is left out at exactly midnight.
std::string FormatDateTime(const TDate& date, const TTime& time, const TRegionalSettings& rs);

}  // namespace ombra
