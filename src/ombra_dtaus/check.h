#pragma once
// The consistency check of a DTAUS file: the reader's field checks, the trailer's count, total
// and check sums against the payments, what follows the trailer, and (given a bank directory)
// every account against its bank. One list of findings serves the command line, the viewer
// and the tests.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "bank_directory.h"
#include "dtaus.h"
#include "load_observer.h"
#include "regional.h"

namespace ombra {

enum class TSeverity {
  None,     // checked and in order; kept so that reports can list what agrees
  Warning,  // worth a look; the file is still consistent
  Error,    // a discrepancy: the file is not consistent
};

// Account, AccountNotChecked and UnknownBank belong to the account check, which is never an
// error of the file (IsAccountKind); every other kind to the verdict on the file in itself.
enum class TFindingKind {
  FieldCheck,         // a field the reader checks holds something else
  Count,              // the trailer's count against the payments read
  Total,              // the trailer's total against the payments' sum
  CheckSum,           // the trailer's check sums against the payments
  Trailer,            // what follows the trailer
  BankCode,           // a bank code that is not eight digits
  Account,            // an account whose check digit is wrong at its bank
  AccountNotChecked,  // an account at a bank whose method the directory lacks
  UnknownBank,        // a bank code the directory does not know
};

inline constexpr int kFindingKinds = static_cast<int>(TFindingKind::UnknownBank) + 1;

constexpr bool IsAccountKind(TFindingKind kind) {
  return kind == TFindingKind::Account || kind == TFindingKind::AccountNotChecked ||
         kind == TFindingKind::UnknownBank;
}

// A value as a program reads it: amounts in integer hundredths, counts and check sums as
// numbers, bank codes and account numbers as their digits, other field contents as stored;
// nothing where there is no such value.
using TFindingValue = std::variant<std::monostate, std::int64_t, std::string>;

// Texts in Windows-1252, like every text of the document.
struct TFinding {
  TSeverity Severity = TSeverity::Error;
  TFindingKind Kind = TFindingKind::FieldCheck;
  char Record = 0;           // 'A', 'C' or 'E'; 0 for the file as a whole
  std::int64_t Payment = 0;  // number of the payment concerned, from 1; 0 for none
  std::string Field;         // German name of the field
  std::string Expected;      // for people, as the sentence says it
  std::string Found;
  std::string Text;  // one German sentence
  // 0-based offset in the file of the field concerned (of the record when no field is);
  // -1 when the finding concerns the file as a whole.
  std::int64_t Offset = -1;
  TFindingValue ExpectedValue;  // Expected and Found for programs
  TFindingValue FoundValue;
};

// What the account check found, by kind; filled by AddAccountFindings.
struct TAccountTally {
  bool Checked = false;
  std::string DirectoryDate;          // "20.04.2020" as the directory states it; empty unknown
  std::int64_t Accounts = 0;          // checked: the sender's and one per payment
  std::int64_t WrongCheckDigit = 0;   // accounts that cannot exist at their bank
  std::int64_t UnknownBankCodes = 0;  // distinct bank codes the directory does not know
  std::int64_t NotCheckable = 0;      // accounts at banks whose method the directory lacks
  // The directory may judge old accounts and retired bank codes differently: the file is a DM
  // file or dated before the directory.
  bool DirectoryNewer = false;
};

struct TFileCheck {
  bool Loaded = false;
  std::string LoadError;  // why the load failed, one German line
  TLoadDamage Damage;     // the same, with what was read before it
  std::vector<TFinding> Findings;
  // The A record as read (its 128 bytes), for what the document does not keep: the kind code
  // and the execution date. Empty when the load did not get that far.
  std::string SatzABytes;
  TAccountTally Accounts;

  // The file in itself: loaded, and no finding of the file's own verdict is an error.
  bool Consistent() const;
  // Consistent, and no account failed its check digit: what `check` ends with exit code 0.
  bool Ok() const;
  // The first finding that is not in order, the file's errors first, then failing accounts,
  // then the rest; nothing when every one is in order.
  const TFinding* FirstProblem() const;
};

class TCheckObserver;

// Watches a load and then checks the file on the very bytes that load read, so that a caller
// which loads for its own ends (the viewer) reads the file once. Pass it to TDtaus::Load, then
// call Finish once with the document it loaded. A caller that wants the records as well derives
// from it and passes each one on to TFileChecker::OnRecord.
class TFileChecker : public TLoadObserver {
 public:
  TFileChecker();
  ~TFileChecker() override;
  TFileChecker(const TFileChecker&) = delete;
  TFileChecker& operator=(const TFileChecker&) = delete;

  void OnRecord(char type, std::string_view bytes, std::int64_t offset) override;
  void OnFieldCheck(const std::string& message, char record, std::size_t first, std::size_t last,
                    std::string_view found) override;
  bool OnTail(std::string_view bytes, std::int64_t offset, std::int64_t fileSize) override;

  TFileCheck Finish(const TDtaus& doc, const TRegionalSettings& rs);

 private:
  std::unique_ptr<TCheckObserver> observer_;
};

// Loads `doc` from `fileName` and checks it on the very bytes that load read.
TFileCheck LoadAndCheck(TDtaus& doc, const std::string& fileName, const TRegionalSettings& rs);

// The verdict on one account and the bank its code names (none when unknown); payments to
// one bank share its entry.
struct TAccountCheck {
  TAccountVerdict Verdict = TAccountVerdict::UnknownBank;
  std::shared_ptr<const TBank> Bank;
};

struct TAccountChecks {
  TAccountCheck Sender;                 // the A record's account
  std::vector<TAccountCheck> Payments;  // one per payment, in the order of SatzCList
};

// Asks the directory about each bank it knows once per document, and shares the answer.
class TBankCache {
 public:
  explicit TBankCache(const TBankDirectory& banks) : banks_(banks) {}
  TAccountCheck Check(std::string_view blz, std::string_view konto);

 private:
  const TBankDirectory& banks_;
  std::unordered_map<std::string, std::shared_ptr<const TBank>> known_;
};

// `checked`, when given, hears now and then how many payments are checked so far, and at the
// end all of them: a viewer shows how far a long file has come.
TAccountChecks CheckAccounts(const TDtaus& doc, const TBankDirectory& banks,
                             const std::function<void(std::size_t checked)>& checked = {});

// Adds a finding for every account that does not pass, each a warning (the directory judges
// today's accounts, not the file): a failing account one per payment, an unknown bank code or
// method one per bank at its first payment, naming the day of the directory's data. Fills
// check.Accounts.
void AddAccountFindings(TFileCheck& check, const TDtaus& doc, const TAccountChecks& accounts,
                        const std::string& dataDate);

// Whether a directory of `dataDate` may judge the file's accounts differently from the day it
// was written: a DM file, or a file dated before the directory.
bool DirectoryNewerThan(const TSatzA& a, const std::string& dataDate);

// "Bankverzeichnis vom 20.04.2020", or without the day when it is not known.
std::string DirectoryName(const std::string& dataDate);

}  // namespace ombra
