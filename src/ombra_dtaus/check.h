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
  // The A record as read (its 128 bytes), for what the document does not keep: the kind code
  // and the execution date. Empty when the load did not get that far.
  std::string SatzABytes;

  // True when the file loaded and no finding is an error.
  bool Ok() const;
  // The first finding that is not in order; nothing when every one is.
  const TFinding* FirstProblem() const;
};

class TCheckObserver;

// Watches a load and then checks the file on the very bytes that load read, so that a caller
// which loads for its own ends (the viewer) reads the file once. Pass it to TDtaus::Load, then
// call Finish once with the document it loaded.
class TFileChecker final : public TLoadObserver {
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

// `checked`, when given, hears now and then how many payments are checked so far, and at the
// end all of them: a viewer shows how far a long file has come.
TAccountChecks CheckAccounts(const TDtaus& doc, const TBankDirectory& banks,
                             const std::function<void(std::size_t checked)>& checked = {});

// Adds a finding for every account that does not pass: a failing account is an error; an
// unknown bank code or method a warning, naming the day of the directory's data (a bank code
// of an old file may have been retired since), one per bank at its first payment.
void AddAccountFindings(TFileCheck& check, const TDtaus& doc, const TAccountChecks& accounts,
                        const std::string& dataDate);

// "Bankverzeichnis vom 20.04.2020", or without the day when it is not known.
std::string DirectoryName(const std::string& dataDate);

}  // namespace ombra
