#pragma once
// The user's regional conventions for numbers, dates and times, as a plain value.
#include <optional>
#include <string>

namespace ombra {

struct TRegionalSettings {
  char ThousandSeparator = '.';
  char DecimalSeparator = ',';
  char DateSeparator = '.';
  // Patterns: d dd M MM yy yyyy for dates; H HH h hh m mm s ss AP ap for times.
  // Every other character is written as it stands. UTF-8, as the system gives them
  // ("yyyy年MM月dd日"); the page writes what Windows-1252 lacks as character references.
  std::string ShortDateFormat = "dd.MM.yyyy";
  std::string LongTimeFormat = "HH:mm:ss";

  static TRegionalSettings de_DE();
  static TRegionalSettings en_US();

  bool operator==(const TRegionalSettings&) const = default;
};

// "de_DE" or "en_US" (also with an encoding suffix such as ".UTF-8"); nothing for other names.
std::optional<TRegionalSettings> RegionalSettingsByName(const std::string& name);

// The user's settings from LC_ALL, LC_NUMERIC / LC_TIME and LANG. C, POSIX or nothing set
// gives de_DE; other installed locales are asked for their conventions.
TRegionalSettings RegionalSettingsFromEnvironment();

// The same mapping for explicit locale names (numbers from one, dates and times from the other).
TRegionalSettings RegionalSettingsForLocales(const std::string& numericLocale, const std::string& timeLocale);

}  // namespace ombra
