#pragma once
// The consistency check of a DTAUS file: the reader's field checks, the trailer's count, total
// and check sums against the payments, what follows the trailer, and (given a bank directory)
// every account against its bank. One list of findings serves the command line, the viewer
// and the tests.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bank_directory.h"
#include "dtaus.h"
#include "regional.h"

namespace ombra {

enum class TSeverity {
  None,     // checked and in order; kept so that reports can list what agrees
  Warning,  // worth a look; the file is still consistent
  Error,    // a discrepancy: the file is not consistent
};

enum class TFindingKind { FieldCheck, Count, Total, CheckSum, Trailer, Account };

// Texts in Windows-1252, like every text of the document.
struct TFinding {
  TSeverity Severity = TSeverity::Error;
  TFindingKind Kind = TFindingKind::FieldCheck;
  char Record = 0;           // 'A', 'C' or 'E'; 0 for the file as a whole
  std::int64_t Payment = 0;  // number of the payment concerned, from 1; 0 for none
  std::string Field;         // German name of the field
  std::string Expected;
  std::string Found;
  std::string Text;  // one German sentence
};

struct TFileCheck {
  bool Loaded = false;
  std::string LoadError;  // why the load failed, one German line
  std::vector<TFinding> Findings;

  // True when the file loaded and no finding is an error.
  bool Ok() const;
  // The first finding that is not in order; nothing when every one is.
  const TFinding* FirstProblem() const;
};

class TLoadObserver;

// Loads `doc` from `fileName` and checks it on the very bytes that load read. `records`, when
// given, is shown each record as read, for fields the document does not keep.
TFileCheck LoadAndCheck(TDtaus& doc, const std::string& fileName, const TRegionalSettings& rs,
                        TLoadObserver* records = nullptr);

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

TAccountChecks CheckAccounts(const TDtaus& doc, const TBankDirectory& banks);

// Adds a finding for every account that does not pass: a failing account is an error; an
// unknown bank code or method a warning, naming the day of the directory's data (a bank code
// of an old file may have been retired since), one per bank at its first payment.
void AddAccountFindings(TFileCheck& check, const TDtaus& doc, const TAccountChecks& accounts,
                        const std::string& dataDate);

// "Bankverzeichnis vom 20.04.2020", or without the day when it is not known.
std::string DirectoryName(const std::string& dataDate);

}  // namespace ombra
