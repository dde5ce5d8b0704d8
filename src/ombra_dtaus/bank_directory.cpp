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
    case TAccountVerdict::Passes: return "Kontonummer g\xFCltig";
    case TAccountVerdict::Fails: return "Kontonummer ung\xFCltig";
    case TAccountVerdict::NotImplemented: return "Pr\xFC" "fziffernmethode nicht verf\xFC" "gbar";
    case TAccountVerdict::UnknownBank: return "Bankleitzahl nicht im Verzeichnis";
  }
  return "";
}

}  // namespace ombra
