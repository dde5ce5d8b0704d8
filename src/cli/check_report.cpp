#include "check_report.h"

#include <charconv>

#include "cents.h"
#include "convert.h"
#include "cp1252.h"
#include "json_export.h"
#include "numfmt.h"

namespace cli {
namespace {

const char* Verdict(bool agrees) { return agrees ? " - in Ordnung" : " - ABWEICHUNG"; }

std::optional<std::int64_t> ParseWhole(std::string_view digits) {
  std::int64_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
  if (ec != std::errc() || ptr != end || digits.empty()) return std::nullopt;
  return value;
}

// The document groups the bank code for display ("123 456 78"); the check sum wants the
// number. Nothing when there is no digit, another character or an overflow.
std::optional<std::int64_t> GroupedDigitsValue(std::string_view grouped) {
  std::int64_t value = 0;
  bool any = false;
  for (char ch : grouped) {
    if (ch == ' ') continue;
    if (ch < '0' || ch > '9' || __builtin_mul_overflow(value, 10, &value) ||
        __builtin_add_overflow(value, ch - '0', &value))
      return std::nullopt;
    any = true;
  }
  if (!any) return std::nullopt;
  return value;
}

std::string Quoted(std::string_view cp1252) { return "„" + support::Cp1252ToUtf8(cp1252) + "“"; }

}  // namespace

TCheckSums ComputeCheckSums(const ombra::TDtaus& doc) {
  TCheckSums sums;
  std::size_t number = 0;
  for (const auto& c : doc.SatzCList) {
    ++number;
    const auto which = [number] { return "Zahlung " + std::to_string(number) + ": "; };
    const auto blzValue = GroupedDigitsValue(c.BLZ);
    if (!blzValue)
      sums.Problems.push_back(which() + "Bankleitzahl " + Quoted(c.BLZ) + " ist keine Zahl");
    else if (__builtin_add_overflow(sums.BLZ, *blzValue, &sums.BLZ))
      sums.Problems.push_back(which() + "Prüfsumme der Bankleitzahlen läuft über");

    const auto konto = ParseWhole(c.Konto);
    if (!konto)
      sums.Problems.push_back(which() + "Kontonummer " + Quoted(c.Konto) + " ist keine Zahl");
    else if (__builtin_add_overflow(sums.Konto, *konto, &sums.Konto))
      sums.Problems.push_back(which() + "Prüfsumme der Kontonummern läuft über");
  }
  return sums;
}

std::optional<std::int64_t> SumOfPaymentsInCents(const ombra::TDtaus& doc) {
  std::int64_t total = 0;
  for (const auto& c : doc.SatzCList) {
    const auto cents = ToCents(c.Betrag);
    if (!cents || !AddCents(total, *cents)) return std::nullopt;
  }
  return total;
}

TCheckReport CheckDocument(const std::string& fileName, const ombra::TDtaus& doc,
                           const std::vector<std::string>& fieldMessages,
                           const TTrailerField& trailer, const ombra::TRegionalSettings& rs) {
  TCheckReport report;
  auto& lines = report.Lines;
  const auto discrepancy = [&report](bool agrees) {
    if (!agrees) ++report.Discrepancies;
    return Verdict(agrees);
  };
  lines.push_back("Prüfbericht für " + FileNameToUtf8(fileName));

  for (const auto& message : fieldMessages) {
    lines.push_back("Feldprüfung: " + support::Cp1252ToUtf8(message) + " - ABWEICHUNG");
    ++report.Discrepancies;
  }
  if (!doc.ErrorText.empty()) {
    lines.push_back("Beim Lesen der Datei " + FileNameToUtf8(fileName) +
                    " ist ein Fehler aufgetreten.");
    ++report.Discrepancies;
    lines.push_back("Ergebnis: Die Datei konnte nicht gelesen werden.");
    return report;
  }
  if (fieldMessages.empty()) lines.push_back("Feldprüfungen: keine Beanstandung");

  const auto read = static_cast<std::int64_t>(doc.SatzCList.size());
  std::optional<std::int64_t> fileCount;
  if (trailer.Found) {
    try {
      fileCount = ombra::StrToInt64(trailer.Count);
    } catch (const ombra::EConvertError&) {
    }
  }
  if (fileCount) {
    lines.push_back("Anzahl der Zahlungen: Datei " + std::to_string(*fileCount) + ", gelesen " +
                    std::to_string(read) + discrepancy(*fileCount == read));
  } else if (trailer.Found) {
    lines.push_back("Anzahl der Zahlungen: Feld im E-Satz " + Quoted(trailer.Count) +
                    " ist keine Zahl, gelesen " + std::to_string(read) + discrepancy(false));
  } else {
    lines.push_back("Anzahl der Zahlungen: kein E-Satz hinter dem letzten C-Satz gefunden" +
                    std::string(discrepancy(false)));
  }

  const bool euro = doc.SatzA->Euro;
  const auto fileTotal = ToCents(euro ? doc.SatzE->SummeEuro : doc.SatzE->SummeDM);
  const auto computedTotal = SumOfPaymentsInCents(doc);
  const auto amount = [&rs](const std::optional<std::int64_t>& cents) {
    if (!cents) return std::string("nicht darstellbar");
    return support::Cp1252ToUtf8(ombra::FormatAmount(static_cast<double>(*cents) / 100.0, rs));
  };
  lines.push_back(std::string("Gesamtsumme (") + (euro ? "EUR" : "DM") + "): Datei " +
                  amount(fileTotal) + ", berechnet " + amount(computedTotal) +
                  discrepancy(fileTotal && computedTotal && *fileTotal == *computedTotal));

  const TCheckSums sums = ComputeCheckSums(doc);
  for (const auto& problem : sums.Problems) {
    lines.push_back(problem + " - ABWEICHUNG");
    ++report.Discrepancies;
  }
  lines.push_back("Prüfsumme Kontonummern: Datei " + std::to_string(doc.SatzE->SummeKonto) +
                  ", berechnet " + std::to_string(sums.Konto) +
                  discrepancy(doc.SatzE->SummeKonto == sums.Konto));
  lines.push_back("Prüfsumme Bankleitzahlen: Datei " + std::to_string(doc.SatzE->SummeBLZ) +
                  ", berechnet " + std::to_string(sums.BLZ) +
                  discrepancy(doc.SatzE->SummeBLZ == sums.BLZ));

  if (report.Discrepancies == 0)
    lines.push_back("Ergebnis: keine Abweichungen.");
  else if (report.Discrepancies == 1)
    lines.push_back("Ergebnis: 1 Abweichung gefunden.");
  else
    lines.push_back("Ergebnis: " + std::to_string(report.Discrepancies) + " Abweichungen gefunden.");
  return report;
}

}  // namespace cli
