#include "dtaus.h"

#include "amounts.h"
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

TSatzC& TDtaus::AddSatzC(double Betrag, std::string_view BLZ, std::string_view Konto, std::string_view Name,
                         std::span<const std::string_view> Verwendungszweck) {
  TSatzC& c = SatzCList.emplace_back();
  c.Betrag = Betrag;
  c.BetragCent = WholeCents(Betrag);
  c.BLZ = texts_.Copy(BLZ);
  c.Konto = texts_.Copy(Konto);
  c.Name = texts_.Copy(Name);
  c.Verwendungszweck = texts_.Copy(Verwendungszweck);
  return c;
}

TSatzC& TDtaus::AddSatzC(double Betrag, std::string_view BLZ, std::string_view Konto, std::string_view Name,
                         std::initializer_list<std::string_view> Verwendungszweck) {
  return AddSatzC(Betrag, BLZ, Konto, Name,
                  std::span<const std::string_view>(Verwendungszweck.begin(), Verwendungszweck.size()));
}

TSatzC& TDtaus::AddSatzC(double Betrag, std::string_view BLZ, std::string_view Konto, std::string_view Name,
                         const std::vector<std::string>& Verwendungszweck) {
  const std::vector<std::string_view> lines(Verwendungszweck.begin(), Verwendungszweck.end());
  return AddSatzC(Betrag, BLZ, Konto, Name, lines);
}

std::string FormatBLZ(const std::string& Text) {
  std::string s = Text;
  if (s.size() >= 6) s.insert(6, 1, ' ');
  if (s.size() >= 3) s.insert(3, 1, ' ');
  return s;
}

std::string NormalizeKonto(const std::string& Text) { return std::to_string(StrToInt64(Text)); }

}  // namespace ombra
