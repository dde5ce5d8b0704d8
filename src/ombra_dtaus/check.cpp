#include "check.h"

#include <charconv>
#include <memory>
#include <unordered_map>

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

}  // namespace

// Collects, while the load reads, what only the file's bytes tell: the reader's failed field
// checks, the trailer's own count field and what follows the trailer.
class TCheckObserver final : public TLoadObserver {
 public:
  void OnRecord(char type, std::string_view bytes, std::int64_t offset) override {
    if (type == 'A') Header = std::string(bytes);
    if (type != 'E') return;
    countField_ = std::string(bytes.substr(layout::kECountOffset, layout::kECountLength));
    trailerEnd_ = offset + static_cast<std::int64_t>(bytes.size());
  }

  void OnFieldCheck(const std::string& message, char record, std::size_t first, std::size_t,
                    std::string_view found) override {
    const TCheckedField field = CheckedField(record, first);
    FieldChecks.push_back({TSeverity::Error, TFindingKind::FieldCheck, record, 0, field.Name, field.Expected,
                           std::string(found), message});
  }

  bool OnTail(std::string_view bytes, std::int64_t offset, std::int64_t fileSize) override {
    fileSize_ = fileSize;
    if (tailStart_ < 0) {
      const auto at = bytes.find_first_not_of(kPadding);
      if (at == std::string_view::npos) return true;
      tailStart_ = offset + static_cast<std::int64_t>(at);
      bytes.remove_prefix(at);
    }
    tailHead_.append(bytes.substr(0, layout::kTypeOffset + 1 - tailHead_.size()));
    return tailHead_.size() <= layout::kTypeOffset;
  }

  const std::string& CountField() const { return countField_; }

  // What follows the trailer, when it is more than padding.
  std::optional<TFinding> Tail() const {
    if (tailStart_ < 0) return std::nullopt;
    const std::string at = "Byte " + Number(tailStart_ + 1);
    if (tailHead_.size() > layout::kTypeOffset && tailHead_[layout::kTypeOffset] == 'A')
      return TFinding{TSeverity::Error,
                      TFindingKind::Trailer,
                      0,
                      0,
                      "Dateiende",
                      "E-Satz",
                      "A-Satz",
                      "Hinter dem E-Satz beginnt ab " + at +
                          " ein weiterer Datentr\xE4ger (A-Satz); seine Zahlungen werden "
                          "nirgends gezeigt und nicht gepr\xFC"
                          "ft"};
    return TFinding{TSeverity::Warning,
                    TFindingKind::Trailer,
                    0,
                    0,
                    "Dateiende",
                    "E-Satz",
                    Number(fileSize_ - tailStart_) + " Bytes",
                    "Hinter dem E-Satz stehen ab " + at + " weitere " + Number(fileSize_ - tailStart_) +
                        " Bytes, die nicht gelesen werden"};
  }

  std::vector<TFinding> FieldChecks;
  std::string Header;

 private:
  std::string countField_;
  std::int64_t trailerEnd_ = 0;
  std::int64_t tailStart_ = -1;
  std::int64_t fileSize_ = 0;
  std::string tailHead_;
};

namespace {

TFinding Comparison(TFindingKind kind, const std::string& what, const std::string& inFile,
                    const std::string& computed, bool agrees, const char* how = "berechnet") {
  return {agrees ? TSeverity::None : TSeverity::Error,
          kind,
          'E',
          0,
          what,
          computed,
          inFile,
          what + ": Datei " + inFile + ", " + how + " " + computed};
}

void CheckCount(TFileCheck& check, const TDtaus& doc, const std::string& field) {
  const auto read = static_cast<std::int64_t>(doc.SatzCList.size());
  std::optional<std::int64_t> inFile;
  try {
    inFile = StrToInt64(field);
  } catch (const EConvertError&) {
  }
  if (inFile) {
    check.Findings.push_back(Comparison(TFindingKind::Count, "Anzahl der Zahlungen", Number(*inFile),
                                        Number(read), *inFile == read, "gelesen"));
    return;
  }
  check.Findings.push_back(
      {TSeverity::Error, TFindingKind::Count, 'E', 0, "Anzahl der Zahlungen", Number(read), field,
       "Anzahl der Zahlungen: Feld im E-Satz " + Quoted(field) + " ist keine Zahl, gelesen " + Number(read)});
}

void CheckTotal(TFileCheck& check, const TDtaus& doc, const TRegionalSettings& rs) {
  const bool euro = doc.SatzA->Euro;
  const auto inFile = ToCents(euro ? doc.SatzE->SummeEuro : doc.SatzE->SummeDM);
  std::optional<std::int64_t> computed = 0;
  for (const TSatzC& c : doc.SatzCList) {
    const auto cents = ToCents(c.Betrag);
    if (!cents || !AddCents(*computed, *cents)) {
      computed.reset();
      break;
    }
  }
  const auto amount = [&rs](const std::optional<std::int64_t>& cents) {
    return cents ? FormatAmount(static_cast<double>(*cents) / 100.0, rs) : std::string("nicht darstellbar");
  };
  check.Findings.push_back(
      Comparison(TFindingKind::Total, std::string("Gesamtsumme (") + (euro ? "EUR" : "DM") + ")",
                 amount(inFile), amount(computed), inFile && computed && *inFile == *computed));
}

void CheckSums(TFileCheck& check, const TDtaus& doc) {
  std::int64_t konto = 0;
  std::int64_t blz = 0;
  std::int64_t number = 0;
  const auto problem = [&check, &number](const std::string& field, std::string_view found,
                                         const std::string& text) {
    check.Findings.push_back({TSeverity::Error, TFindingKind::CheckSum, 'C', number, field, "Ziffern",
                              std::string(found), "Zahlung " + Number(number) + ": " + text});
  };
  for (const TSatzC& c : doc.SatzCList) {
    ++number;
    const auto blzValue = GroupedDigitsValue(c.BLZ);
    if (!blzValue)
      problem("Bankleitzahl", c.BLZ, "Bankleitzahl " + Quoted(c.BLZ) + " ist keine Zahl");
    else if (__builtin_add_overflow(blz, *blzValue, &blz))
      problem("Bankleitzahl", c.BLZ,
              "Pr\xFC"
              "fsumme der Bankleitzahlen l\xE4uft \xFC"
              "ber");

    const auto kontoValue = ParseWhole(c.Konto);
    if (!kontoValue)
      problem("Kontonummer", c.Konto, "Kontonummer " + Quoted(c.Konto) + " ist keine Zahl");
    else if (__builtin_add_overflow(konto, *kontoValue, &konto))
      problem("Kontonummer", c.Konto,
              "Pr\xFC"
              "fsumme der Kontonummern l\xE4uft \xFC"
              "ber");
  }
  check.Findings.push_back(Comparison(TFindingKind::CheckSum,
                                      "Pr\xFC"
                                      "fsumme Kontonummern",
                                      Number(doc.SatzE->SummeKonto), Number(konto),
                                      doc.SatzE->SummeKonto == konto));
  check.Findings.push_back(Comparison(TFindingKind::CheckSum,
                                      "Pr\xFC"
                                      "fsumme Bankleitzahlen",
                                      Number(doc.SatzE->SummeBLZ), Number(blz), doc.SatzE->SummeBLZ == blz));
}

// Asks the directory about each bank it knows once per document, and shares the answer.
class TBankCache {
 public:
  explicit TBankCache(const TBankDirectory& banks) : banks_(banks) {}
  TAccountCheck Check(std::string_view blz, std::string_view konto) {
    const std::string digits = BankCodeDigits(blz);
    const auto verdict = banks_.CheckAccount(digits, konto);
    if (verdict == TAccountVerdict::UnknownBank) return {verdict, nullptr};
    auto [it, fresh] = known_.try_emplace(digits);
    if (fresh) {
      if (auto bank = banks_.FindBank(digits)) it->second = std::make_shared<const TBank>(*bank);
    }
    return {verdict, it->second};
  }

 private:
  const TBankDirectory& banks_;
  std::unordered_map<std::string, std::shared_ptr<const TBank>> known_;
};

std::string BankText(std::string_view blz, const std::shared_ptr<const TBank>& bank) {
  std::string text = "Bank " + std::string(blz);
  if (bank) text += " (" + bank->Name + ", " + bank->Place + ")";
  return text;
}

void AddAccountFinding(TFileCheck& check, const TAccountCheck& account, char record, std::int64_t payment,
                       std::string_view blz, std::string_view konto, const std::string& directory) {
  const std::string who = payment > 0 ? "Zahlung " + Number(payment) : std::string("Absender");
  switch (account.Verdict) {
    case TAccountVerdict::Passes: return;
    case TAccountVerdict::Fails:
      check.Findings.push_back({TSeverity::Error, TFindingKind::Account, record, payment, "Kontonummer",
                                "g\xFCltige Kontonummer", std::string(konto),
                                who + ": Kontonummer " + std::string(konto) + " ist bei der " +
                                    BankText(blz, account.Bank) +
                                    " nicht g\xFCltig (Pr\xFC"
                                    "fziffer falsch)"});
      return;
    case TAccountVerdict::NotImplemented:
      check.Findings.push_back({TSeverity::Warning, TFindingKind::Account, record, payment, "Kontonummer",
                                "g\xFCltige Kontonummer", std::string(konto),
                                who + ": Kontonummer " + std::string(konto) +
                                    " nicht gepr\xFC"
                                    "ft, denn die Pr\xFC"
                                    "fziffernmethode " +
                                    (account.Bank ? account.Bank->Method + " " : std::string()) + "der " +
                                    BankText(blz, account.Bank) +
                                    " ist nicht verf\xFC"
                                    "gbar (" +
                                    directory + ")"});
      return;
    case TAccountVerdict::UnknownBank:
      check.Findings.push_back({TSeverity::Warning, TFindingKind::Account, record, payment, "Bankleitzahl",
                                "Bankleitzahl im Verzeichnis", std::string(blz),
                                who + ": Bankleitzahl " + std::string(blz) + " steht nicht im " + directory +
                                    " (eine Bankleitzahl einer alten Datei kann seither aufgehoben sein)"});
      return;
  }
}

}  // namespace

std::string DirectoryName(const std::string& dataDate) {
  return "Bankverzeichnis" + (dataDate.empty() ? std::string() : " vom " + dataDate);
}

bool TFileCheck::Ok() const {
  if (!Loaded) return false;
  for (const auto& finding : Findings)
    if (finding.Severity == TSeverity::Error) return false;
  return true;
}

const TFinding* TFileCheck::FirstProblem() const {
  for (const auto& finding : Findings)
    if (finding.Severity == TSeverity::Error) return &finding;
  for (const auto& finding : Findings)
    if (finding.Severity == TSeverity::Warning) return &finding;
  return nullptr;
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
    return check;
  }
  check.Loaded = true;
  CheckCount(check, doc, observer_->CountField());
  CheckTotal(check, doc, rs);
  CheckSums(check, doc);
  if (auto tail = observer_->Tail()) check.Findings.push_back(std::move(*tail));
  return check;
}

TFileCheck LoadAndCheck(TDtaus& doc, const std::string& fileName, const TRegionalSettings& rs) {
  TFileChecker checker;
  doc.Load(fileName, rs, checker);
  return checker.Finish(doc, rs);
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
  AddAccountFinding(check, accounts.Sender, 'A', 0, doc.SatzA->BLZ, doc.SatzA->Konto, directory);
  // A bank code missing from the directory, or a method it lacks, is said once per bank, at
  // its first payment: a file of a million payments to retired banks stays readable.
  struct TGroup {
    std::size_t Finding;
    std::int64_t Payments;
  };
  constexpr std::size_t kMaxGroups = 10000;
  std::unordered_map<std::string_view, TGroup> groups;
  std::int64_t number = 0;
  for (const TAccountCheck& account : accounts.Payments) {
    const TSatzC& c = doc.SatzCList[static_cast<std::size_t>(number)];
    ++number;
    if (account.Verdict == TAccountVerdict::UnknownBank ||
        account.Verdict == TAccountVerdict::NotImplemented) {
      if (const auto it = groups.find(c.BLZ); it != groups.end()) {
        ++it->second.Payments;
        continue;
      }
      // A file of garbage names a bank per payment; its findings stay single past a bound.
      if (groups.size() < kMaxGroups) groups.emplace(c.BLZ, TGroup{check.Findings.size(), 1});
    }
    AddAccountFinding(check, account, 'C', number, c.BLZ, c.Konto, directory);
  }
  for (const auto& [blz, group] : groups) {
    if (group.Payments == 1) continue;
    TFinding& finding = check.Findings[group.Finding];
    const std::string more =
        group.Payments == 2 ? std::string("1 weitere") : Number(group.Payments - 1) + " weitere";
    finding.Text.insert(finding.Text.find(':'), " (und " + more + " an diese Bank)");
  }
}

}  // namespace ombra
