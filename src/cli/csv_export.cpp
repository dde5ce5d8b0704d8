#include "csv_export.h"

#include "cents.h"
#include "cp1252.h"
#include "umlauts.h"

namespace cli {

char CsvSeparator(const ombra::TRegionalSettings& rs) {
  return rs.DecimalSeparator == ',' ? ';' : ',';
}

void AppendCsvField(std::string& out, std::string_view field, char separator) {
  if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
    out.append(field);
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string TrimTrailingBlanks(std::string_view text) {
  const auto end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
}

std::string JoinPurpose(const ombra::TSatzC& payment) {
  std::string joined;
  for (const auto& line : payment.Verwendungszweck) {
    const std::string text = TrimTrailingBlanks(ombra::DecodeUmlauts(line));
    if (text.empty()) continue;
    if (!joined.empty()) joined += " / ";
    joined += text;
  }
  return joined;
}

std::string PaymentsToCsv(const ombra::TDtaus& doc, const ombra::TRegionalSettings& rs) {
  const char sep = CsvSeparator(rs);
  const std::string currency = doc.SatzA->Euro ? "EUR" : "DM";
  std::string out = "\xEF\xBB\xBF";
  out += "Nr.";
  for (const char* title : {"Empfänger", "BLZ", "Konto", "Verwendungszweck", "Betrag", "Währung"}) {
    out += sep;
    out += title;
  }
  out += "\r\n";

  std::size_t number = 0;
  for (const auto& c : doc.SatzCList) {
    out += std::to_string(++number);
    const std::string fields[] = {
        support::Cp1252ToUtf8(TrimTrailingBlanks(c.Name)),
        support::Cp1252ToUtf8(TrimTrailingBlanks(c.BLZ)),
        support::Cp1252ToUtf8(TrimTrailingBlanks(c.Konto)),
        support::Cp1252ToUtf8(JoinPurpose(c)),
        FormatPlainAmount(c.Betrag, rs.DecimalSeparator),
        currency};
    for (const auto& field : fields) {
      out += sep;
      AppendCsvField(out, field, sep);
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace cli
