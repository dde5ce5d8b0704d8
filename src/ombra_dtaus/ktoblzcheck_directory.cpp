// The bank directory on the system's ktoblzcheck library and its data.
#include <ktoblzcheck.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <mutex>
#include <set>
#include <sstream>
#include <unordered_map>

#include "bank_directory.h"

namespace ombra {
namespace {

// The library's texts are ISO-8859-15; it differs from Windows-1252 in eight letters (and the
// Euro sign) and in the C1 controls, which Windows-1252 fills with other characters.
std::string Latin9ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    switch (static_cast<unsigned char>(ch)) {
      case 0xA4: out += '\x80'; break;  // €
      case 0xA6: out += '\x8A'; break;  // Š
      case 0xA8: out += '\x9A'; break;  // š
      case 0xB4: out += '\x8E'; break;  // Ž
      case 0xB8: out += '\x9E'; break;  // ž
      case 0xBC: out += '\x8C'; break;  // Œ
      case 0xBD: out += '\x9C'; break;  // œ
      case 0xBE: out += '\x9F'; break;  // Ÿ
      default:
        if (static_cast<unsigned char>(ch) >= 0x80 && static_cast<unsigned char>(ch) < 0xA0)
          out += '?';
        else
          out += ch;
    }
  }
  return out;
}

std::string TrimRight(std::string text) {
  const auto end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

bool IsDigits(std::string_view text, std::size_t minLength, std::size_t maxLength) {
  if (text.size() < minLength || text.size() > maxLength) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The library makes the day of its data a time at local midnight (mktime); read back in UTC it
// is the day before east of Greenwich. Noon of that local day is the same day in every zone,
// whatever daylight saving time the library assumed.
std::string FormatLocalDay(std::time_t time) {
  std::tm day{};
  constexpr std::time_t kHalfDay = 12 * 60 * 60;
  const std::time_t noon = time + kHalfDay;
  if (time <= 0 || ::localtime_r(&noon, &day) == nullptr) return {};
  char text[40];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", day.tm_mday, day.tm_mon + 1, day.tm_year + 1900);
  return text;
}

// "…/bankdata_20200420.txt" -> "20.04.2020": the day the directory's data file names itself.
std::string DayFromFileName(const std::string& path) {
  const auto at = path.rfind('_');
  if (at == std::string::npos || at + 9 > path.size()) return {};
  const std::string_view day = std::string_view(path).substr(at + 1, 8);
  if (!IsDigits(day, 8, 8)) return {};
  return std::string(day.substr(6, 2)) + "." + std::string(day.substr(4, 2)) + "." +
         std::string(day.substr(0, 4));
}

class TKtoBlzCheckDirectory final : public TBankDirectory {
 public:
  TKtoBlzCheckDirectory() {
    // The data file's own name states its day; the library's time of it depends on the zone.
    date_ = DayFromFileName(check_.getFilenameClosestDateToday());
    if (date_.empty()) date_ = FormatLocalDay(check_.dataValidStartDate());
    FindUnknownMethods();
  }

  bool Loaded() const { return check_.bankCount() > 0; }

  std::optional<TBank> FindBank(std::string_view blz) const override {
    if (!IsDigits(blz, 8, 8)) return std::nullopt;
    const std::lock_guard lock(mutex_);
    return Lookup(blz);
  }

  TAccountVerdict CheckAccount(std::string_view blz, std::string_view konto) const override {
    if (!IsDigits(blz, 8, 8)) return TAccountVerdict::UnknownBank;
    const std::lock_guard lock(mutex_);
    const std::optional<TBank>& bank = Lookup(blz);
    if (!bank) return TAccountVerdict::UnknownBank;
    if (unknownMethods_.count(bank->Method) != 0) return TAccountVerdict::NotImplemented;
    // Ten digits at most fit the field; a negative or longer number is no account there.
    if (!IsDigits(konto, 1, 10)) return TAccountVerdict::Fails;
    // With the method given, the library skips its own look-up of the bank.
    switch (check_.check(std::string(blz), std::string(konto), bank->Method)) {
      case AccountNumberCheck::OK: return TAccountVerdict::Passes;
      case AccountNumberCheck::ERROR: return TAccountVerdict::Fails;
      case AccountNumberCheck::BANK_NOT_KNOWN: return TAccountVerdict::UnknownBank;
      case AccountNumberCheck::UNKNOWN: break;
    }
    return TAccountVerdict::NotImplemented;
  }

  std::string DataDate() const override { return date_; }

 private:
  // The library answers an unknown bank code with an exception, which costs more than the
  // check itself; every code is asked once and remembered, converted. Called under mutex_.
  const std::optional<TBank>& Lookup(std::string_view blz) const {
    const std::string key(blz);
    if (const auto it = banks_.find(key); it != banks_.end()) return it->second;
    std::optional<TBank> bank;
    try {
      const auto& record = check_.findBank(key);
      bank = TBank{Latin9ToCp1252(TrimRight(record.bankName)), Latin9ToCp1252(TrimRight(record.location)),
                   record.method};
    } catch (int) {  // the library's way of saying "no such bank"
    }
    // Codes of no bank are remembered too, but not without bound.
    if (!bank && banks_.size() >= kMaxRemembered) {
      lastMiss_.reset();
      return lastMiss_;
    }
    return banks_.emplace(key, std::move(bank)).first->second;
  }

  // The library writes a line to std::cerr for every check under a method it lacks. Which
  // methods those are is learnt once, here, with its output caught, so that a check never
  // prints into the program's own output.
  void FindUnknownMethods() {
    static constexpr char kSigns[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::ostringstream caught;
    std::streambuf* const previous = std::cerr.rdbuf(caught.rdbuf());
    for (char first : std::string_view(kSigns))
      for (char second : std::string_view(kSigns)) {
        const std::string method{first, second};
        caught.str({});
        check_.check("10000000", "1234567890", method);
        if (!caught.str().empty()) unknownMethods_.insert(method);
      }
    std::cerr.rdbuf(previous);
  }

  AccountNumberCheck check_;
  std::set<std::string> unknownMethods_;
  static constexpr std::size_t kMaxRemembered = 100000;
  mutable std::unordered_map<std::string, std::optional<TBank>> banks_;
  mutable std::optional<TBank> lastMiss_;
  std::string date_;
  // The library promises nothing about threads; files are checked in parallel.
  mutable std::mutex mutex_;
};

}  // namespace

std::unique_ptr<TBankDirectory> OpenSystemBankDirectory() {
  auto directory = std::make_unique<TKtoBlzCheckDirectory>();
  if (!directory->Loaded()) return nullptr;
  return directory;
}

}  // namespace ombra
