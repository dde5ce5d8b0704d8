#include "check.h"

#include <charconv>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "amounts.h"
#include "convert.h"
#include "load_observer.h"
#include "numfmt.h"
#include "record_layout.h"

namespace ombra {
namespace {

// Bytes that pad a file after its trailer without meaning anything: blanks, NULs, line ends
// and the old end-of-file mark.
constexpr std::string_view kPadding{" \0\r\n\x1A", 5};

// Distinct unknown bank codes counted at most; a file of garbage names one per payment.
constexpr std::size_t kMaxCodesCounted = 1000000;

std::string Quoted(std::string_view text) { return "\x84" + std::string(text) + "\x93"; }

std::string Number(std::int64_t value) { return std::to_string(value); }

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

// The field a reader check looks at, and what it wants there.
struct TCheckedField {
  const char* Name;
  const char* Expected;
};
TCheckedField CheckedField(char record, std::size_t first) {
  switch (first) {
    case 1: return {"Satzl\xE4nge", "0128"};
    case 5: return {"Satzart", record == 'A' ? "A" : "E"};
    case 6: return {"Kennzeichen", "GK, LK, GB oder LB"};
    case 128: return {"W\xE4hrung", "1 oder Leerzeichen"};
    default: return {"Feld", ""};
  }
}

// Whether `bytes` at `at` begin like an A record: a length field of digits, the type "A" and
// one of the kinds.
bool StartsARecord(std::string_view bytes, std::size_t at) {
  if (bytes.size() - at < layout::kTypeOffset + 3) return false;
  for (std::size_t i = 0; i < layout::kTypeOffset; ++i)
    if (bytes[at + i] < '0' || bytes[at + i] > '9') return false;
  const std::string_view kind = bytes.substr(at + layout::kTypeOffset, 3);
  return kind == "AGK" || kind == "ALK" || kind == "AGB" || kind == "ALB";
}

}  // namespace

// Collects, while the load reads, what only the file's bytes tell: the reader's failed field
// checks, the trailer's own count field and what follows the trailer.
class TCheckObserver final : public TLoadObserver {
 public:
  void OnRecord(char type, std::string_view bytes, std::int64_t offset) override {
    if (type == 'A') Header = std::string(bytes);
    recordOffset_ = offset;
    if (type != 'E') return;
    countField_ = std::string(bytes.substr(layout::kECountOffset, layout::kECountLength));
    trailerOffset_ = offset;
  }

  void OnFieldCheck(const std::string& message, char record, std::size_t first, std::size_t,
                    std::string_view found) override {
    const TCheckedField field = CheckedField(record, first);
    FieldChecks.push_back({.Severity = TSeverity::Error,
                           .Kind = TFindingKind::FieldCheck,
                           .Record = record,
                           .Field = field.Name,
                           .Expected = field.Expected,
                           .Found = std::string(found),
                           .Text = message,
                           .Offset = recordOffset_ + static_cast<std::int64_t>(first) - 1,
                           .ExpectedValue = std::string(field.Expected),
                           .FoundValue = std::string(found)});
  }

  // Reads on to the end unless another A record turns up: it may stand anywhere, behind a
  // stray byte or a page of text.
  bool OnTail(std::string_view bytes, std::int64_t offset, std::int64_t fileSize) override {
    fileSize_ = fileSize;
    if (tailStart_ < 0) {
      const auto at = bytes.find_first_not_of(kPadding);
      if (at == std::string_view::npos) return true;
      tailStart_ = offset + static_cast<std::int64_t>(at);
    }
    // The last bytes of the piece before: an A record may begin across two pieces.
    const std::string window = carry_ + std::string(bytes);
    const std::int64_t windowStart = offset - static_cast<std::int64_t>(carry_.size());
    for (std::size_t at = window.find('A', layout::kTypeOffset); at != std::string::npos;
         at = window.find('A', at + 1)) {
      const std::size_t start = at - layout::kTypeOffset;
      if (window.size() - start < layout::kTypeOffset + 3) break;  // decided by the next piece
      if (StartsARecord(window, start)) {
        nextBatch_ = windowStart + static_cast<std::int64_t>(start);
        return false;
      }
    }
    constexpr std::size_t kKeep = layout::kTypeOffset + 2;
    carry_ = window.substr(window.size() > kKeep ? window.size() - kKeep : 0);
    return true;
  }

  const std::string& CountField() const { return countField_; }
  std::int64_t TrailerOffset() const { return trailerOffset_; }

  // What follows the trailer, when it is more than padding.
  std::optional<TFinding> Tail() const {
    if (tailStart_ < 0) return std::nullopt;
    if (nextBatch_ >= 0)
      return TFinding{.Severity = TSeverity::Error,
                      .Kind = TFindingKind::Trailer,
                      .Field = "Dateiende",
                      .Expected = "E-Satz",
                      .Found = "A-Satz",
                      .Text = "Hinter dem E-Satz beginnt ab Byte " + Number(nextBatch_ + 1) +
                              " ein weiterer Datentr\xE4ger (A-Satz); seine Zahlungen werden "
                              "nirgends gezeigt und nicht gepr\xFC"
                              "ft",
                      .Offset = nextBatch_,
                      .ExpectedValue = std::string("E"),
                      .FoundValue = std::string("A")};
    const std::int64_t extra = fileSize_ - tailStart_;
    return TFinding{.Severity = TSeverity::Warning,
                    .Kind = TFindingKind::Trailer,
                    .Field = "Dateiende",
                    .Expected = "E-Satz",
                    .Found = Number(extra) + " Bytes",
                    .Text = "Hinter dem E-Satz stehen ab Byte " + Number(tailStart_ + 1) + " weitere " +
                            Number(extra) + " Bytes, die nicht gelesen werden",
                    .Offset = tailStart_,
                    .ExpectedValue = std::int64_t{0},
                    .FoundValue = extra};
  }

  std::vector<TFinding> FieldChecks;
  std::string Header;

 private:
  std::string countField_;
  std::int64_t recordOffset_ = 0;
  std::int64_t trailerOffset_ = 0;
  std::int64_t tailStart_ = -1;
  std::int64_t nextBatch_ = -1;
  std::int64_t fileSize_ = 0;
  std::string carry_;
};

namespace {

TFinding Comparison(TFindingKind kind, const std::string& what, const std::string& inFile,
                    const std::string& computed, bool agrees, std::int64_t offset, TFindingValue inFileValue,
                    TFindingValue computedValue, const char* how = "berechnet") {
  return {.Severity = agrees ? TSeverity::None : TSeverity::Error,
          .Kind = kind,
          .Record = 'E',
          .Field = what,
          .Expected = computed,
          .Found = inFile,
          .Text = what + ": Datei " + inFile + ", " + how + " " + computed,
          .Offset = offset,
          .ExpectedValue = std::move(computedValue),
          .FoundValue = std::move(inFileValue)};
}

void CheckCount(TFileCheck& check, const TDtaus& doc, const std::string& field, std::int64_t trailer) {
  const auto read = static_cast<std::int64_t>(doc.SatzCList.size());
  const std::int64_t offset = trailer + static_cast<std::int64_t>(layout::kECountOffset);
  std::optional<std::int64_t> inFile;
  try {
    inFile = StrToInt64(field);
  } catch (const EConvertError&) {
  }
  if (inFile) {
    check.Findings.push_back(Comparison(TFindingKind::Count, "Anzahl der Zahlungen", Number(*inFile),
                                        Number(read), *inFile == read, offset, *inFile, read, "gelesen"));
    return;
  }
  check.Findings.push_back({.Severity = TSeverity::Error,
                            .Kind = TFindingKind::Count,
                            .Record = 'E',
                            .Field = "Anzahl der Zahlungen",
                            .Expected = Number(read),
                            .Found = field,
                            .Text = "Anzahl der Zahlungen: Feld im E-Satz " + Quoted(field) +
                                    " ist keine Zahl, gelesen " + Number(read),
                            .Offset = offset,
                            .ExpectedValue = read,
                            .FoundValue = field});
}

TFindingValue CentsValue(const std::optional<std::int64_t>& cents) {
  if (cents) return *cents;
  return {};
}

void CheckTotal(TFileCheck& check, const TDtaus& doc, const TRegionalSettings& rs, std::int64_t trailer) {
  const bool euro = doc.SatzA->Euro;
  const auto inFile = ToCents(euro ? doc.SatzE->SummeEuro : doc.SatzE->SummeDM);
  TExactSum sum;
  for (const TSatzC& c : doc.SatzCList) sum.Add(c.Betrag, c.BetragCent);
  const std::optional<std::int64_t> computed = sum.Cents() ? sum.Cents() : ToCents(sum.Value());
  const auto amount = [&rs](const std::optional<std::int64_t>& cents) {
    return cents ? FormatAmount(static_cast<double>(*cents) / 100.0, rs) : std::string("nicht darstellbar");
  };
  check.Findings.push_back(Comparison(TFindingKind::Total,
                                      std::string("Gesamtsumme (") + CurrencyText(euro) + ")", amount(inFile),
                                      amount(computed), inFile && computed && *inFile == *computed,
                                      trailer + (euro ? 64 : 17), CentsValue(inFile), CentsValue(computed)));
}

// The bank code field as stored: the document groups it ("123 456 78") for display.
std::string StoredBankCode(std::string_view grouped) {
  if (grouped.size() == 10 && grouped[3] == ' ' && grouped[7] == ' ')
    return std::string(grouped.substr(0, 3)) + std::string(grouped.substr(4, 3)) +
           std::string(grouped.substr(8));
  return std::string(grouped);
}

bool IsEightDigits(std::string_view code) {
  return code.size() == 8 && code.find_first_not_of("0123456789") == std::string_view::npos;
}

// A bank code is eight digits; a blank inside, a letter or a short code names no bank, though
// a check sum that skips the blanks may still agree.
std::optional<TFinding> BankCodeFinding(std::string_view grouped, char record, std::int64_t payment,
                                        std::int64_t offset) {
  // The common case without a copy: eight digits grouped "123 456 78".
  const auto digit = [&grouped](std::size_t at) { return grouped[at] >= '0' && grouped[at] <= '9'; };
  if (grouped.size() == 10 && grouped[3] == ' ' && grouped[7] == ' ' && digit(0) && digit(1) && digit(2) &&
      digit(4) && digit(5) && digit(6) && digit(8) && digit(9))
    return std::nullopt;
  const std::string stored = StoredBankCode(grouped);
  if (IsEightDigits(stored)) return std::nullopt;
  const std::string who = payment > 0 ? "Zahlung " + Number(payment) : std::string("Absender");
  const bool digitsAndBlanks = stored.find_first_not_of("0123456789 ") == std::string::npos &&
                               stored.find_first_not_of(' ') != std::string::npos;
  return TFinding{.Severity = TSeverity::Error,
                  .Kind = TFindingKind::BankCode,
                  .Record = record,
                  .Payment = payment,
                  .Field = "Bankleitzahl",
                  .Expected = "8 Ziffern",
                  .Found = std::string(grouped),
                  .Text = who + ": Bankleitzahl " + Quoted(digitsAndBlanks ? stored : std::string(grouped)) +
                          (digitsAndBlanks ? " hat nicht acht Ziffern" : " ist keine Zahl"),
                  .Offset = offset,
                  .ExpectedValue = {},
                  .FoundValue = stored};
}

// Where each payment's record begins: the reader kept as many extension texts as it read,
// and they tell how many blocks the record fills.
class TPaymentOffsets {
 public:
  std::int64_t Next(const TSatzC& c) {
    const std::int64_t at = next_;
    const auto slots = static_cast<int>(c.Verwendungszweck.empty() ? 0 : c.Verwendungszweck.size() - 1);
    next_ += static_cast<std::int64_t>(layout::CRecordBlocksForSlots(slots) * layout::kBlock);
    return at;
  }

 private:
  std::int64_t next_ = layout::kBlock;
};

constexpr std::int64_t kCBlzOffset = 13;    // positions 14-21
constexpr std::int64_t kCKontoOffset = 21;  // positions 22-31
constexpr std::int64_t kABlzOffset = 7;     // positions 8-15
constexpr std::int64_t kAKontoOffset = 60;  // positions 61-70

void CheckSums(TFileCheck& check, const TDtaus& doc, std::int64_t trailer) {
  std::int64_t konto = 0;
  std::int64_t blz = 0;
  std::int64_t number = 0;
  std::int64_t record = 0;
  const auto problem = [&](const std::string& field, std::string_view found, const std::string& text,
                           std::int64_t offset) {
    check.Findings.push_back({.Severity = TSeverity::Error,
                              .Kind = TFindingKind::CheckSum,
                              .Record = 'C',
                              .Payment = number,
                              .Field = field,
                              .Expected = "Ziffern",
                              .Found = std::string(found),
                              .Text = "Zahlung " + Number(number) + ": " + text,
                              .Offset = record + offset,
                              .ExpectedValue = {},
                              .FoundValue = std::string(found)});
  };
  if (auto sender = BankCodeFinding(doc.SatzA->BLZ, 'A', 0, kABlzOffset)) check.Findings.push_back(*sender);
  TPaymentOffsets offsets;
  for (const TSatzC& c : doc.SatzCList) {
    ++number;
    record = offsets.Next(c);
    if (auto code = BankCodeFinding(c.BLZ, 'C', number, record + kCBlzOffset))
      check.Findings.push_back(std::move(*code));
    if (const auto blzValue = GroupedDigitsValue(c.BLZ);
        blzValue && __builtin_add_overflow(blz, *blzValue, &blz))
      problem("Bankleitzahl", c.BLZ,
              "Pr\xFC"
              "fsumme der Bankleitzahlen l\xE4uft \xFC"
              "ber",
              kCBlzOffset);

    const auto kontoValue = ParseWhole(c.Konto);
    if (!kontoValue)
      problem("Kontonummer", c.Konto, "Kontonummer " + Quoted(c.Konto) + " ist keine Zahl", kCKontoOffset);
    else if (__builtin_add_overflow(konto, *kontoValue, &konto))
      problem("Kontonummer", c.Konto,
              "Pr\xFC"
              "fsumme der Kontonummern l\xE4uft \xFC"
              "ber",
              kCKontoOffset);
  }
  check.Findings.push_back(Comparison(TFindingKind::CheckSum,
                                      "Pr\xFC"
                                      "fsumme Kontonummern",
                                      Number(doc.SatzE->SummeKonto), Number(konto),
                                      doc.SatzE->SummeKonto == konto, trailer + 30, doc.SatzE->SummeKonto,
                                      konto));
  check.Findings.push_back(Comparison(TFindingKind::CheckSum,
                                      "Pr\xFC"
                                      "fsumme Bankleitzahlen",
                                      Number(doc.SatzE->SummeBLZ), Number(blz), doc.SatzE->SummeBLZ == blz,
                                      trailer + 47, doc.SatzE->SummeBLZ, blz));
}


std::string BankText(std::string_view blz, const std::shared_ptr<const TBank>& bank) {
  std::string text = "Bank " + std::string(blz);
  if (bank) text += " (" + bank->Name + ", " + bank->Place + ")";
  return text;
}

// Where a finding about an account points: the field it concerns.
struct TAccountPlace {
  char Record;
  std::int64_t Payment;
  std::int64_t RecordOffset;
};

void AddAccountFinding(TFileCheck& check, const TAccountCheck& account, const TAccountPlace& place,
                       std::string_view blz, std::string_view konto, const std::string& directory) {
  const std::string who = place.Payment > 0 ? "Zahlung " + Number(place.Payment) : std::string("Absender");
  const std::int64_t blzAt = place.RecordOffset + (place.Record == 'A' ? kABlzOffset : kCBlzOffset);
  const std::int64_t kontoAt = place.RecordOffset + (place.Record == 'A' ? kAKontoOffset : kCKontoOffset);
  TFinding finding{.Severity = TSeverity::Warning,
                   .Kind = TFindingKind::Account,
                   .Record = place.Record,
                   .Payment = place.Payment,
                   .Field = "Kontonummer",
                   .Expected = "g\xFCltige Kontonummer",
                   .Found = std::string(konto),
                   .Text = {},
                   .Offset = kontoAt,
                   .ExpectedValue = {},
                   .FoundValue = std::string(konto)};
  switch (account.Verdict) {
    case TAccountVerdict::Passes: return;
    case TAccountVerdict::Fails:
      finding.Text = who + ": Kontonummer " + std::string(konto) + " ist bei der " +
                     BankText(blz, account.Bank) +
                     " nicht g\xFCltig (Pr\xFC"
                     "fziffer falsch)";
      break;
    case TAccountVerdict::NotImplemented:
      finding.Kind = TFindingKind::AccountNotChecked;
      finding.Text = who + ": Kontonummer " + std::string(konto) +
                     " nicht gepr\xFC"
                     "ft, denn die Pr\xFC"
                     "fziffernmethode " +
                     (account.Bank ? account.Bank->Method + " " : std::string()) + "der " +
                     BankText(blz, account.Bank) +
                     " ist nicht verf\xFC"
                     "gbar (" +
                     directory + ")";
      break;
    case TAccountVerdict::UnknownBank:
      finding.Kind = TFindingKind::UnknownBank;
      finding.Field = "Bankleitzahl";
      finding.Expected = "Bankleitzahl im Verzeichnis";
      finding.Found = std::string(blz);
      finding.Offset = blzAt;
      finding.FoundValue = BankCodeDigits(blz);
      finding.Text = who + ": Bankleitzahl " + std::string(blz) + " steht nicht im " + directory +
                     " (eine Bankleitzahl einer alten Datei kann seither aufgehoben sein)";
      break;
  }
  check.Findings.push_back(std::move(finding));
}

// "20.04.2020" -> the day; nothing for another text.
std::optional<TDate> ParseDay(const std::string& text) {
  if (text.size() != 10 || text[2] != '.' || text[5] != '.') return std::nullopt;
  const auto day = ParseWhole(std::string_view(text).substr(0, 2));
  const auto month = ParseWhole(std::string_view(text).substr(3, 2));
  const auto year = ParseWhole(std::string_view(text).substr(6, 4));
  if (!day || !month || !year) return std::nullopt;
  return TDate{static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day)};
}

bool Before(const TDate& a, const TDate& b) {
  return std::tie(a.Year, a.Month, a.Day) < std::tie(b.Year, b.Month, b.Day);
}

}  // namespace

std::string DirectoryName(const std::string& dataDate) {
  return "Bankverzeichnis" + (dataDate.empty() ? std::string() : " vom " + dataDate);
}

bool DirectoryNewerThan(const TSatzA& a, const std::string& dataDate) {
  if (!a.Euro) return true;
  const auto directory = ParseDay(dataDate);
  return directory && a.Datum.Year != 0 && Before(a.Datum, *directory);
}

bool TFileCheck::Consistent() const {
  if (!Loaded) return false;
  for (const auto& finding : Findings)
    if (finding.Severity == TSeverity::Error && !IsAccountKind(finding.Kind)) return false;
  return true;
}

bool TFileCheck::Ok() const { return Consistent() && Accounts.WrongCheckDigit == 0; }

const TFinding* TFileCheck::FirstProblem() const {
  const auto first = [this](auto&& wanted) -> const TFinding* {
    for (const auto& finding : Findings)
      if (wanted(finding)) return &finding;
    return nullptr;
  };
  if (const auto* error = first([](const TFinding& f) { return f.Severity == TSeverity::Error; }))
    return error;
  if (const auto* wrong = first([](const TFinding& f) { return f.Kind == TFindingKind::Account; }))
    return wrong;
  return first([](const TFinding& f) { return f.Severity == TSeverity::Warning; });
}

TFileChecker::TFileChecker() : observer_(std::make_unique<TCheckObserver>()) {}
TFileChecker::~TFileChecker() = default;

void TFileChecker::OnRecord(char type, std::string_view bytes, std::int64_t offset) {
  observer_->OnRecord(type, bytes, offset);
}

void TFileChecker::OnFieldCheck(const std::string& message, char record, std::size_t first, std::size_t last,
                                std::string_view found) {
  observer_->OnFieldCheck(message, record, first, last, found);
}

bool TFileChecker::OnTail(std::string_view bytes, std::int64_t offset, std::int64_t fileSize) {
  return observer_->OnTail(bytes, offset, fileSize);
}

TFileCheck TFileChecker::Finish(const TDtaus& doc, const TRegionalSettings& rs) {
  TFileCheck check;
  check.Findings = std::move(observer_->FieldChecks);
  check.SatzABytes = std::move(observer_->Header);
  if (!doc.LoadError.empty()) {
    check.LoadError = doc.LoadError;
    check.Damage = doc.Damage;
    return check;
  }
  check.Loaded = true;
  CheckCount(check, doc, observer_->CountField(), observer_->TrailerOffset());
  CheckTotal(check, doc, rs, observer_->TrailerOffset());
  CheckSums(check, doc, observer_->TrailerOffset());
  if (auto tail = observer_->Tail()) check.Findings.push_back(std::move(*tail));
  return check;
}

TFileCheck LoadAndCheck(TDtaus& doc, const std::string& fileName, const TRegionalSettings& rs) {
  TFileChecker checker;
  doc.Load(fileName, rs, checker);
  return checker.Finish(doc, rs);
}

TAccountCheck TBankCache::Check(std::string_view blz, std::string_view konto) {
  const std::string digits = BankCodeDigits(blz);
  const auto verdict = banks_.CheckAccount(digits, konto);
  if (verdict == TAccountVerdict::UnknownBank) return {verdict, nullptr};
  auto [it, fresh] = known_.try_emplace(digits);
  if (fresh) {
    if (auto bank = banks_.FindBank(digits)) it->second = std::make_shared<const TBank>(*bank);
  }
  return {verdict, it->second};
}

TAccountChecks CheckAccounts(const TDtaus& doc, const TBankDirectory& banks,
                             const std::function<void(std::size_t checked)>& checked) {
  // Often enough for a moving figure, seldom enough to cost nothing beside the check.
  constexpr std::size_t kPaymentsPerReport = 4096;
  TBankCache cache(banks);
  TAccountChecks checks;
  checks.Sender = cache.Check(doc.SatzA->BLZ, doc.SatzA->Konto);
  checks.Payments.reserve(doc.SatzCList.size());
  for (const TSatzC& c : doc.SatzCList) {
    checks.Payments.push_back(cache.Check(c.BLZ, c.Konto));
    const std::size_t done = checks.Payments.size();
    if (checked && (done % kPaymentsPerReport == 0 || done == doc.SatzCList.size())) checked(done);
  }
  return checks;
}

void AddAccountFindings(TFileCheck& check, const TDtaus& doc, const TAccountChecks& accounts,
                        const std::string& dataDate) {
  const std::string directory = DirectoryName(dataDate);
  TAccountTally& tally = check.Accounts;
  tally = {};
  tally.Checked = true;
  tally.DirectoryDate = dataDate;
  tally.Accounts = 1 + static_cast<std::int64_t>(accounts.Payments.size());
  tally.DirectoryNewer = DirectoryNewerThan(*doc.SatzA, dataDate);
  std::unordered_set<std::string> unknownCodes;
  const auto count = [&](const TAccountCheck& account, std::string_view blz) {
    switch (account.Verdict) {
      case TAccountVerdict::Passes: break;
      case TAccountVerdict::Fails: ++tally.WrongCheckDigit; break;
      case TAccountVerdict::NotImplemented: ++tally.NotCheckable; break;
      case TAccountVerdict::UnknownBank:
        // Bounded: a file of garbage names a different code on every payment.
        if (unknownCodes.size() < kMaxCodesCounted) unknownCodes.insert(BankCodeDigits(blz));
        break;
    }
  };
  count(accounts.Sender, doc.SatzA->BLZ);
  AddAccountFinding(check, accounts.Sender, {'A', 0, 0}, doc.SatzA->BLZ, doc.SatzA->Konto, directory);
  // A bank code missing from the directory, or a method it lacks, is said once per bank, at
  // its first payment: a file of a million payments to retired banks stays readable.
  struct TGroup {
    std::size_t Finding;
    std::int64_t Payments;
  };
  constexpr std::size_t kMaxGroups = 10000;
  std::unordered_map<std::string_view, TGroup> groups;
  std::int64_t number = 0;
  TPaymentOffsets offsets;
  for (const TAccountCheck& account : accounts.Payments) {
    const TSatzC& c = doc.SatzCList[static_cast<std::size_t>(number)];
    ++number;
    const std::int64_t record = offsets.Next(c);
    count(account, c.BLZ);
    if (account.Verdict == TAccountVerdict::UnknownBank ||
        account.Verdict == TAccountVerdict::NotImplemented) {
      if (const auto it = groups.find(c.BLZ); it != groups.end()) {
        ++it->second.Payments;
        continue;
      }
      // A file of garbage names a bank per payment; its findings stay single past a bound.
      if (groups.size() < kMaxGroups) groups.emplace(c.BLZ, TGroup{check.Findings.size(), 1});
    }
    AddAccountFinding(check, account, {'C', number, record}, c.BLZ, c.Konto, directory);
  }
  tally.UnknownBankCodes = static_cast<std::int64_t>(unknownCodes.size());
  for (const auto& [blz, group] : groups) {
    if (group.Payments == 1) continue;
    TFinding& finding = check.Findings[group.Finding];
    const std::string more =
        group.Payments == 2 ? std::string("1 weitere") : Number(group.Payments - 1) + " weitere";
    finding.Text.insert(finding.Text.find(':'), " (und " + more + " an diese Bank)");
  }
}

}  // namespace ombra
