#pragma once
// The directory of German banks: which bank a bank code (BLZ) names, and whether an account
// number can exist at that bank under its check-digit method. The check of a file asks
// through this interface, so that tests can give a directory of their own.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ombra {

enum class TAccountVerdict {
  Passes,          // the account number fits the bank's check-digit method
  Fails,           // it cannot exist at that bank
  NotImplemented,  // the bank's method is not known to the directory
  UnknownBank,     // the bank code is not in the directory
};

// Texts in Windows-1252, like every text of the document.
struct TBank {
  std::string Name;
  std::string Place;
  std::string Method;  // the check-digit method's code, "00" to "E4"
};

class TBankDirectory {
 public:
  virtual ~TBankDirectory() = default;
  // `blz` is the bank code's eight digits; anything else is not in the directory.
  virtual std::optional<TBank> FindBank(std::string_view blz) const = 0;
  // `konto` is the account number in digits, leading zeros optional.
  virtual TAccountVerdict CheckAccount(std::string_view blz, std::string_view konto) const = 0;
  // The day the directory's data became valid, "20.04.2020"; empty when unknown.
  virtual std::string DataDate() const = 0;
};

// The directory installed with the system's bank data; nothing when that cannot be loaded.
std::unique_ptr<TBankDirectory> OpenSystemBankDirectory();

// "100 200 30" or "10020030" -> "10020030"; blanks are dropped, nothing else is examined.
std::string BankCodeDigits(std::string_view blz);

// A short German label for a verdict (Windows-1252): "gültig", "ungültig", "nicht prüfbar",
// "Bankleitzahl unbekannt".
const char* VerdictText(TAccountVerdict verdict);

}  // namespace ombra
