#include "bank_directory.h"

namespace ombra {

std::string BankCodeDigits(std::string_view blz) {
  std::string digits;
  digits.reserve(8);
  for (char c : blz)
    if (c != ' ') digits += c;
  return digits;
}

const char* VerdictText(TAccountVerdict verdict) {
  switch (verdict) {
    case TAccountVerdict::Passes: return "g\xFCltig";
    case TAccountVerdict::Fails: return "ung\xFCltig";
    case TAccountVerdict::NotImplemented:
      return "nicht pr\xFC"
             "fbar";
    case TAccountVerdict::UnknownBank: return "Bankleitzahl unbekannt";
  }
  return "";
}

}  // namespace ombra
