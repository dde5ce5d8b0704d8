#include "dtaus.h"

#include "convert.h"

namespace ombra {

TDtaus::TDtaus() : SatzA(std::make_unique<TSatzA>()), SatzE(std::make_unique<TSatzE>()) {}

TDtaus::~TDtaus() = default;

void TDtaus::Report(int Level, const std::string& Message) const {
  if (reportHandler_) reportHandler_(Level, Message);
}

void TDtaus::Check(bool Condition, const std::string& Message) const {
  if (!Condition) Report(2, Message);
}

std::string FormatBLZ(const std::string& Text) {
  std::string s = Text;
  if (s.size() >= 6) s.insert(6, 1, ' ');
  if (s.size() >= 3) s.insert(3, 1, ' ');
  return s;
}

std::string NormalizeKonto(const std::string& Text) { return std::to_string(StrToInt64(Text)); }

}  // namespace ombra
