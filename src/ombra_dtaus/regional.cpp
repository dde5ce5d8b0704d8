#include "regional.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>

#include "cp1252.h"

namespace ombra {
namespace {

// "de_DE.UTF-8@euro" -> "de_DE"
std::string BaseName(const std::string& name) { return name.substr(0, name.find_first_of(".@")); }

// "C.UTF-8" is the plain C locale with UTF-8 text: no conventions of a country either.
bool IsPlainC(const std::string& name) {
  const std::string base = BaseName(name);
  return base.empty() || base == "C" || base == "POSIX";
}

std::string FirstSet(std::initializer_list<const char*> variables) {
  for (const char* variable : variables) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

// One Windows-1252 byte for a separator the platform gives in UTF-8; '\0' when none fits.
char SeparatorByte(const char* text, char fallback) {
  if (text == nullptr) return fallback;
  const std::string s = text;
  if (s.empty()) return '\0';
  if (s == "\xE2\x80\xAF" || s == "\xE2\x80\x89") return '\xA0';  // narrow and thin no-break space
  const std::string converted = support::Utf8ToCp1252OrKeep(s);
  return converted.size() == 1 ? converted[0] : fallback;
}

// strftime pattern ("%d.%m.%Y", "%I:%M:%S %p") to ours ("dd.MM.yyyy", "hh:mm:ss AP").
std::string FromStrftime(const std::string& format) {
  std::string out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out += format[i];
      continue;
    }
    char c = format[++i];
    if ((c == 'E' || c == 'O') && i + 1 < format.size()) c = format[++i];
    switch (c) {
      case 'd': out += "dd"; break;
      case 'e': out += "d"; break;
      case 'm': out += "MM"; break;
      case 'y': out += "yy"; break;
      case 'Y': out += "yyyy"; break;
      case 'F': out += "yyyy-MM-dd"; break;
      case 'D': out += "MM/dd/yy"; break;
      case 'H': out += "HH"; break;
      case 'k': out += "H"; break;
      case 'I': out += "hh"; break;
      case 'l': out += "h"; break;
      case 'M': out += "mm"; break;
      case 'S': out += "ss"; break;
      case 'p': out += "AP"; break;
      case 'P': out += "ap"; break;
      case 'T': out += "HH:mm:ss"; break;
      case 'R': out += "HH:mm"; break;
      case 'r': out += "hh:mm:ss AP"; break;
      case '%': out += '%'; break;
      default: break;  // names of days and months have no place in a short date
    }
  }
  return out;
}

char DateSeparatorOf(const std::string& pattern, char fallback) {
  for (char c : pattern)
    if (c != 'd' && c != 'M' && c != 'y' && c != ' ') return c;
  return fallback;
}

void ApplyNumeric(TRegionalSettings& rs, const std::string& locale) {
  if (IsPlainC(locale)) return;
  if (auto preset = RegionalSettingsByName(locale)) {
    rs.ThousandSeparator = preset->ThousandSeparator;
    rs.DecimalSeparator = preset->DecimalSeparator;
    return;
  }
  locale_t loc = newlocale(LC_NUMERIC_MASK, locale.c_str(), static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return;
  const char decimal = SeparatorByte(nl_langinfo_l(RADIXCHAR, loc), rs.DecimalSeparator);
  const char thousands = SeparatorByte(nl_langinfo_l(THOUSEP, loc), rs.ThousandSeparator);
  freelocale(loc);
  if (decimal != '\0' && decimal != thousands) {
    rs.DecimalSeparator = decimal;
    rs.ThousandSeparator = thousands;
  }
}

void ApplyTime(TRegionalSettings& rs, const std::string& locale) {
  if (IsPlainC(locale)) return;
  if (auto preset = RegionalSettingsByName(locale)) {
    rs.DateSeparator = preset->DateSeparator;
    rs.ShortDateFormat = preset->ShortDateFormat;
    rs.LongTimeFormat = preset->LongTimeFormat;
    return;
  }
  locale_t loc = newlocale(LC_TIME_MASK, locale.c_str(), static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return;
  const std::string date = FromStrftime(nl_langinfo_l(D_FMT, loc));
  const std::string time = FromStrftime(nl_langinfo_l(T_FMT, loc));
  freelocale(loc);
  // A locale of another character set than UTF-8 keeps the German patterns.
  if (!support::DecodeUtf8(date) || !support::DecodeUtf8(time)) return;
  if (date.find('d') != std::string::npos && date.find('M') != std::string::npos) {
    rs.ShortDateFormat = date;
    rs.DateSeparator = DateSeparatorOf(date, rs.DateSeparator);
  }
  if (time.find('m') != std::string::npos) rs.LongTimeFormat = time;
}

}  // namespace

TRegionalSettings TRegionalSettings::de_DE() { return TRegionalSettings{}; }

TRegionalSettings TRegionalSettings::en_US() {
  TRegionalSettings rs;
  rs.ThousandSeparator = ',';
  rs.DecimalSeparator = '.';
  rs.DateSeparator = '/';
  rs.ShortDateFormat = "M/d/yyyy";
  rs.LongTimeFormat = "h:mm:ss AP";
  return rs;
}

std::optional<TRegionalSettings> RegionalSettingsByName(const std::string& name) {
  const std::string base = BaseName(name);
  if (base == "de_DE") return TRegionalSettings::de_DE();
  if (base == "en_US") return TRegionalSettings::en_US();
  return std::nullopt;
}

TRegionalSettings RegionalSettingsForLocales(const std::string& numericLocale,
                                             const std::string& timeLocale) {
  TRegionalSettings rs = TRegionalSettings::de_DE();
  ApplyNumeric(rs, numericLocale);
  ApplyTime(rs, timeLocale);
  return rs;
}

TRegionalSettings RegionalSettingsFromEnvironment() {
  return RegionalSettingsForLocales(FirstSet({"LC_ALL", "LC_NUMERIC", "LANG"}),
                                    FirstSet({"LC_ALL", "LC_TIME", "LANG"}));
}

}  // namespace ombra
