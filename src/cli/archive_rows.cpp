#include "archive_rows.h"

#include <charconv>
#include <vector>

#include "amounts.h"
#include "byte_scan.h"
#include "check.h"
#include "cp1252.h"
#include "csv_export.h"
#include "datetime.h"
#include "dtaus.h"
#include "json_export.h"
#include "load_observer.h"
#include "umlauts.h"

namespace cli {
namespace {

// The fields the document does not keep, taken from the records as the load reads them.
class TRawFields final : public ombra::TLoadObserver {
 public:
  void OnRecord(char type, std::string_view bytes, std::int64_t offset) override {
    if (type == 'A') {
      A.assign(bytes);
    } else if (type == 'C') {
      C.push_back({std::string(bytes.substr(44, 5)), std::string(bytes.substr(21, 10)), offset});
    } else if (type == 'E') {
      EOffset = offset;
    }
  }
  void OnFieldCheck(const std::string&, char, std::size_t, std::size_t, std::string_view) override {}
  bool OnTail(std::string_view, std::int64_t, std::int64_t) override { return false; }

  struct TC {
    std::string Textschluessel;
    std::string Konto;
    std::int64_t Offset;
  };
  std::string A;
  std::vector<TC> C;
  std::optional<std::int64_t> EOffset;
};

std::string Utf8(std::string_view cp1252) { return support::Cp1252ToUtf8(cp1252); }

// Positions 96-103 of the A record, DDMMYYYY; blank when the bank is to carry out at once.
std::optional<std::string> ExecutionDate(const std::string& a) {
  if (a.size() < 103) return std::nullopt;
  int value[3] = {};
  const std::size_t at[3] = {95, 97, 99}, width[3] = {2, 2, 4};
  for (int i = 0; i < 3; ++i) {
    const char* first = a.data() + at[i];
    const auto [end, ec] = std::from_chars(first, first + width[i], value[i]);
    if (ec != std::errc() || end != first + width[i]) return std::nullopt;
  }
  if (!ombra::IsValidDate(value[2], value[1], value[0])) return std::nullopt;
  return IsoDate({value[2], value[1], value[0]});
}

const char* KindName(ombra::TFindingKind kind) {
  switch (kind) {
    case ombra::TFindingKind::FieldCheck: return "Feldprüfung";
    case ombra::TFindingKind::Count: return "Anzahl";
    case ombra::TFindingKind::Total: return "Summe";
    case ombra::TFindingKind::CheckSum: return "Prüfsumme";
    case ombra::TFindingKind::Trailer: return "Dateiende";
    case ombra::TFindingKind::Account: return "Konto";
  }
  return "";
}

// The last "Byte N" a German message names: the most precise place it gives.
std::optional<std::int64_t> NamedByte(std::string_view text) {
  std::optional<std::int64_t> found;
  for (std::size_t at = text.find("Byte "); at != std::string_view::npos; at = text.find("Byte ", at + 1)) {
    std::int64_t value = 0;
    const char* first = text.data() + at + 5;
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value);
    if (ec == std::errc() && end != first) found = value;
  }
  return found;
}

std::optional<std::int64_t> RecordByte(const ombra::TFinding& f, const TRawFields& raw) {
  if (const auto named = NamedByte(f.Text)) return named;
  if (f.Record == 'A') return 1;
  if (f.Record == 'C' && f.Payment > 0 && static_cast<std::size_t>(f.Payment) <= raw.C.size())
    return raw.C[static_cast<std::size_t>(f.Payment - 1)].Offset + 1;
  if (f.Record == 'E' && raw.EOffset) return *raw.EOffset + 1;
  return std::nullopt;
}

// Appends the payments' texts to one string, in UTF-8.
class TTextWriter {
 public:
  explicit TTextWriter(std::string& out) : out_(out) {}

  std::size_t Start() const { return out_.size(); }
  TTextSpan From(std::size_t start) const { return {start, out_.size() - start}; }

  // As stored.
  void Raw(std::string_view cp1252) { support::AppendCp1252AsUtf8(out_, cp1252); }
  // Trailing blanks removed and DIN codes decoded; false when nothing is left.
  bool Decoded(std::string_view cp1252) {
    decoded_.assign(support::WithoutTrailingBlanks(cp1252));
    if (decoded_.empty()) return false;
    ombra::DecodeUmlautsInPlace(decoded_.data(), decoded_.size());
    support::AppendCp1252AsUtf8(out_, decoded_);
    return true;
  }
  void Char(char c) { out_ += c; }
  void Pop() { out_.pop_back(); }

 private:
  std::string& out_;
  std::string decoded_;
};

TPaymentRow PaymentRow(std::size_t index, const ombra::TSatzC& c, const TRawFields& raw, TTextWriter& texts) {
  TPaymentRow p;
  p.Nr = static_cast<std::int64_t>(index + 1);
  p.Cents = ombra::ToCents(c.Betrag);
  std::size_t start = texts.Start();
  texts.Decoded(c.Name);
  p.Name = texts.From(start);
  start = texts.Start();
  for (const char ch : c.BLZ)
    if (ch != ' ') texts.Char(ch);
  p.Blz = texts.From(start);
  start = texts.Start();
  texts.Raw(c.Konto);
  p.Konto = texts.From(start);
  start = texts.Start();
  texts.Raw(c.Name);
  p.NameRoh = texts.From(start);
  if (index < raw.C.size()) {
    start = texts.Start();
    texts.Raw(raw.C[index].Textschluessel);
    p.Textschluessel = texts.From(start);
    start = texts.Start();
    texts.Raw(raw.C[index].Konto);
    p.KontoRoh = texts.From(start);
  }
  start = texts.Start();
  for (std::size_t i = 0; i < c.Verwendungszweck.size(); ++i) {
    if (i > 0) texts.Char('\n');
    texts.Raw(c.Verwendungszweck[i]);
  }
  p.ZweckRoh = texts.From(start);
  // Lines left empty are skipped; each other one after a line feed, the first one's dropped.
  start = texts.Start();
  for (const std::string_view line : c.Verwendungszweck) {
    texts.Char('\n');
    if (!texts.Decoded(line)) texts.Pop();
  }
  p.Zweck = texts.From(start);
  if (p.Zweck.Size > 0) p.Zweck = {p.Zweck.At + 1, p.Zweck.Size - 1};
  return p;
}

}  // namespace

std::optional<TFileRow> ReadFileRows(const std::string& path, const ombra::TRegionalSettings& rs,
                                     std::string& loadError) {
  ombra::TDtaus doc;
  TRawFields raw;
  const ombra::TFileCheck check = ombra::LoadAndCheck(doc, path, rs, &raw);
  loadError = Utf8(check.LoadError);
  if (raw.A.empty()) return std::nullopt;

  TFileRow f;
  const ombra::TSatzA& a = *doc.SatzA;
  f.Art = Utf8(a.Art);
  f.Kennzeichen = Utf8(raw.A.substr(5, 2));
  if (a.Datum.Year != 0) f.Datum = IsoDate(a.Datum);
  f.Ausfuehrung = ExecutionDate(raw.A);
  f.AbsenderName = DecodedUtf8(a.Name);
  f.AbsenderBlz = Utf8(raw.A.substr(7, 8));
  f.AbsenderKonto = Utf8(a.Konto);
  f.Referenz = Utf8(support::WithoutTrailingBlanks(a.Referenz));
  f.Waehrung = a.Euro ? "EUR" : "DM";
  f.Anzahl = static_cast<std::int64_t>(doc.SatzCList.size());
  f.Stimmig = check.Ok();
  if (!check.Loaded) f.Lesefehler = loadError;

  std::int64_t sum = 0;
  bool summed = true;
  f.Payments.reserve(doc.SatzCList.size());
  TTextWriter texts(f.Texts);
  for (std::size_t i = 0; i < doc.SatzCList.size(); ++i) {
    f.Payments.push_back(PaymentRow(i, doc.SatzCList[i], raw, texts));
    const auto cents = f.Payments.back().Cents;
    summed = summed && cents && ombra::AddCents(sum, *cents);
  }
  if (summed) f.SummeCent = sum;

  for (const ombra::TFinding& finding : check.Findings) {
    if (finding.Severity == ombra::TSeverity::None) continue;
    TFindingRow b;
    if (finding.Payment > 0) b.Nr = finding.Payment;
    b.Schwere = finding.Severity == ombra::TSeverity::Error ? "Fehler" : "Warnung";
    b.Art = KindName(finding.Kind);
    if (finding.Record != 0) b.Satz = std::string(1, finding.Record);
    b.Byte = RecordByte(finding, raw);
    b.Text = Utf8(finding.Text);
    f.Findings.push_back(std::move(b));
  }
  if (!check.Loaded) {
    TFindingRow b;
    b.Schwere = "Fehler";
    b.Art = "Lesefehler";
    b.Byte = NamedByte(check.LoadError);
    b.Text = loadError;
    f.Findings.push_back(std::move(b));
  }
  return f;
}

}  // namespace cli
