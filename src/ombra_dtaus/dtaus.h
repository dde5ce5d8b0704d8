#pragma once
// One DTAUS exchange file in memory: header (A), payments (C) and trailer (E).
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "amounts.h"
#include "datetime.h"
#include "regional.h"
#include "text_store.h"

namespace ombra {

// Ordered 8-bit (Windows-1252) text lines of a rendered page.
using TLineList = std::vector<std::string>;
// Takes the lines of a page one at a time, for callers that stream a big page instead of
// holding it.
using TLineSink = std::function<void(std::string&& line)>;

class TLoadObserver;

class TSatzA {
 public:
  TDate Datum;
  std::string Art;
  std::string Name;
  std::string BLZ;
  std::string Konto;
  std::string Referenz;
  bool Euro = false;
};

// The texts are views into the storage of the TDtaus that holds the payment; they stay valid
// until its next Load or its destruction.
class TSatzC {
 public:
  double Betrag = 0.0;
  // The same amount in hundredths, for exact sums; kNoCents (amounts.h) when the file wrote it
  // with decimals or the payment was built without.
  std::int64_t BetragCent = kNoCents;
  std::string_view BLZ;
  std::string_view Konto;
  std::string_view Name;
  TTextLines Verwendungszweck;
};

class TSatzE {
 public:
  std::int32_t Anzahl = 0;
  double SummeDM = 0.0;
  std::int64_t SummeKonto = 0;
  std::int64_t SummeBLZ = 0;
  double SummeEuro = 0.0;
  // The count the trailer itself states (positions 11-17 as stored); Anzahl is what was read.
  std::string AnzahlDatei;
};

// How a load failed, for those who show what was read before the damage.
enum class TDamageKind {
  None,         // the load succeeded
  Unreadable,   // the file cannot be opened or read: not found, a folder, an I/O error
  NotDtaus,     // the file does not start with an A record
  Empty,        // the file holds no byte
  CutShort,     // the file ends inside a record
  NoTrailer,    // the file ends after the payments, without an E record
  BadField,     // a field the load needs does not convert
  OutOfMemory,  // the payments do not fit into memory
};

struct TLoadDamage {
  TDamageKind Kind = TDamageKind::None;
  char Record = 0;                 // 'A', 'C' or 'E' being read; 0 for the file as a whole
  std::int64_t Payment = 0;        // the payment being read, from 1; 0 outside a C record
  std::int64_t RecordOffset = -1;  // 0-based offset of that record; -1 unknown
  std::int64_t Offset = -1;        // 0-based offset of the damage: the field, or the end of the file
  std::string What;                // "E-Satz hat nur 48 von 128 Bytes" (Windows-1252)
  std::int64_t PaymentsRead = 0;   // payments read before the damage: those in SatzCList
  std::int64_t BytesRead = 0;      // bytes of the whole records read before the damage
};

// "100.000 Zahlungen bis Byte 29.866.800 gelesen; Summen nicht pr\xFCfbar" (Windows-1252), for a
// damage met after the A record was read; empty otherwise.
std::string ReadSoFarText(const TLoadDamage& damage);
// Whether a failed load read the A record and stopped at a damage after it, so that what it
// read can be shown as far as it goes.
bool PartlyRead(const TLoadDamage& damage);

// Takes the payments of a file one at a time as they are read, for callers that turn them
// into something else (an export) without keeping them. The payment and its texts live until
// OnPayment returns.
class TPaymentSink {
 public:
  virtual ~TPaymentSink() = default;
  virtual void OnPayment(const TSatzC& payment) = 0;
};

class TDtaus {
 public:
  using TReportHandler = std::function<void(int level, const std::string& message)>;

  TDtaus();
  ~TDtaus();
  TDtaus(const TDtaus&) = delete;
  TDtaus& operator=(const TDtaus&) = delete;

  std::unique_ptr<TSatzA> SatzA;
  std::vector<TSatzC> SatzCList;
  std::unique_ptr<TSatzE> SatzE;
  std::string ErrorText;
  // Why the last load failed, one German line (Windows-1252) naming the record, the field and
  // the byte: "Zahlung 3 (C-Satz ab Byte 385), Stellen 22-31 (Byte 406), Kontonummer „12 34“
  // ist keine Zahl", or "Datei nicht gefunden". Empty after a successful load.
  std::string LoadError;
  // The same as a structured value; Kind None after a successful load. What was read before
  // the damage stays: the A record's fields read so far and every payment before it.
  TLoadDamage Damage;

  // Never throws: a file that cannot be read or converted leaves FileName in ErrorText.
  // Only the decimal separator of `rs` is used (for amounts written with decimals).
  void Load(const std::string& FileName, const TRegionalSettings& rs = TRegionalSettings::de_DE());
  // The same, showing `observer` every record read and what follows the trailer.
  void Load(const std::string& FileName, const TRegionalSettings& rs, TLoadObserver& observer);
  // Reads as Load does, but hands each payment to `sink` instead of keeping it: SatzCList stays
  // empty, everything else (SatzA, SatzE, LoadError, Damage) is as after Load.
  void Stream(const std::string& FileName, const TRegionalSettings& rs, TPaymentSink& sink);
  // Whether the last load failed; ErrorText alone cannot tell when the name itself is empty.
  bool LoadFailed() const { return !LoadError.empty() || !ErrorText.empty(); }

  // Appends a payment whose texts are copied into this document's storage (documents built
  // by hand: tests, tools).
  TSatzC& AddSatzC(double Betrag, std::string_view BLZ, std::string_view Konto, std::string_view Name,
                   std::span<const std::string_view> Verwendungszweck);
  TSatzC& AddSatzC(double Betrag, std::string_view BLZ, std::string_view Konto, std::string_view Name,
                   std::initializer_list<std::string_view> Verwendungszweck);
  TSatzC& AddSatzC(double Betrag, std::string_view BLZ, std::string_view Konto, std::string_view Name,
                   const std::vector<std::string>& Verwendungszweck);
  // The storage the payments' texts live in.
  TTextStore& Texts() { return texts_; }

  // Appends the control list (or the one-line error page) to `lines`.
  void RenderControlList(TLineList& lines, const std::string& footer,
                         const TRegionalSettings& rs = TRegionalSettings::de_DE()) const;
  void RenderControlList(const TLineSink& sink, const std::string& footer,
                         const TRegionalSettings& rs = TRegionalSettings::de_DE()) const;
  // The control list's lines above the payment table (title and summary) and below it (check
  // sums, closing total, footer), for a view that shows the rows from the document itself.
  void RenderControlListHead(const TLineSink& sink, const TRegionalSettings& rs) const;
  void RenderControlListTail(const TLineSink& sink, const std::string& footer,
                             const TRegionalSettings& rs) const;
  // "EUR" or "DM", behind every amount of the control list.
  const char* CurrencyText() const;

  // Field checks of the reader land here. Silent unless a handler is set.
  void Report(int Level, const std::string& Message) const;
  void Check(bool Condition, const std::string& Message) const;
  void SetReportHandler(TReportHandler handler) { reportHandler_ = std::move(handler); }

 private:
  void Load(const std::string& FileName, const TRegionalSettings& rs, TLoadObserver* observer,
            TPaymentSink* sink);

  TReportHandler reportHandler_;
  TTextStore texts_;
};

// "12345678" -> "123 456 78"; the characters themselves are not examined.
std::string FormatBLZ(const std::string& Text);
// "0001234567" -> "1234567"; throws EConvertError when the field is no integer.
std::string NormalizeKonto(const std::string& Text);

}  // namespace ombra
