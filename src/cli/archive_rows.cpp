#include "archive_rows.h"

#include <vector>

#include "amounts.h"
#include "archive_list.h"
#include "byte_scan.h"
#include "check.h"
#include "cp1252.h"
#include "csv_export.h"
#include "datetime.h"
#include "dtaus.h"
#include "json_export.h"
#include "load_observer.h"
#include "numfmt.h"
#include "umlauts.h"
#include "verdict.h"

namespace cli {
namespace {

// The check, and the C records' fields the document does not keep, taken as the load reads them.
class TRawFields final : public ombra::TFileChecker {
 public:
  void OnRecord(char type, std::string_view bytes, std::int64_t offset) override {
    if (type == 'C') C.push_back({std::string(bytes.substr(44, 5)), std::string(bytes.substr(21, 10))});
    TFileChecker::OnRecord(type, bytes, offset);
  }

  struct TC {
    std::string Textschluessel;
    std::string Konto;
  };
  std::vector<TC> C;
};

std::string Utf8(std::string_view cp1252) { return support::Cp1252ToUtf8(cp1252); }

// 1-based, as people count bytes; nothing for what concerns the file as a whole.
std::optional<std::int64_t> FileByte(std::int64_t offset) {
  if (offset < 0) return std::nullopt;
  return offset + 1;
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
  doc.Load(path, rs, raw);
  const ombra::TFileCheck check = raw.Finish(doc, rs);
  loadError = Utf8(check.LoadError);
  const std::string& satzA = check.SatzABytes;
  if (satzA.empty()) return std::nullopt;

  TFileRow f;
  const ombra::TSatzA& a = *doc.SatzA;
  f.Art = Utf8(a.Art);
  f.Kennzeichen = Utf8(satzA.substr(5, 2));
  if (a.Datum.Year != 0) f.Datum = IsoDate(a.Datum);
  if (const auto date = ExecutionDateOf(satzA)) f.Ausfuehrung = IsoDate(*date);
  f.AbsenderName = DecodedUtf8(a.Name);
  f.AbsenderBlz = Utf8(satzA.substr(7, 8));
  f.AbsenderKonto = Utf8(a.Konto);
  f.Referenz = Utf8(support::WithoutTrailingBlanks(a.Referenz));
  f.Waehrung = ombra::CurrencyText(a.Euro);
  f.Anzahl = static_cast<std::int64_t>(doc.SatzCList.size());
  f.Stimmig = check.Consistent();
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
    b.Art = ombra::KindText(finding.Kind);
    if (finding.Record != 0) b.Satz = std::string(1, finding.Record);
    b.Byte = FileByte(finding.Offset);
    b.Text = Utf8(finding.Text);
    f.Findings.push_back(std::move(b));
  }
  if (!check.Loaded) {
    TFindingRow b;
    b.Schwere = "Fehler";
    b.Art = "Lesefehler";
    b.Byte = FileByte(check.Damage.Offset);
    b.Text = loadError;
    f.Findings.push_back(std::move(b));
  }
  return f;
}

}  // namespace cli
