// Reading a DTAUS file into TDtaus.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <new>

#include "amounts.h"
#include "convert.h"
#include "dtaus.h"
#include "file_reader.h"
#include "load_observer.h"
#include "numfmt.h"
#include "record_layout.h"

namespace ombra {
namespace {

using layout::kBlock;

// Messages are Windows-1252, like every text of the document.
constexpr const char* kBadLength = "Ung\xFCltige L\xE4nge";
constexpr const char* kOnlyA = "Nur Satzart A erlaubt";
constexpr const char* kOnlyE = "Nur Satzart E erlaubt";
constexpr const char* kOnlyKinds = "Nur Kennzeichen GK, LK, GB, LB erlaubt";
constexpr const char* kOnlyEuroOrDM = "Nur Euro oder DM";
constexpr const char* kNoNumber = "ist keine Zahl";
constexpr const char* kNoAmount = "ist kein Betrag";
constexpr std::size_t kTailPiece = 1 << 16;

// No file holds more payments than its size allows for records of two blocks, and their texts
// rarely take more room than the file; a guess too large only reserves address space. The
// guess stops at about a million payments: beyond, a file is more likely padded (25 GiB of
// NULs after its trailer) than full, and the storage grows as the payments come.
constexpr std::size_t kSmallestCRecord = 2 * kBlock;
constexpr std::uint64_t kLargestSizeGuess = std::uint64_t{256} << 20;

// Field at 1-based positions first..last of a record.
std::string_view Field(std::string_view record, std::size_t first, std::size_t last) {
  return record.substr(first - 1, last - first + 1);
}
std::string Text(std::string_view record, std::size_t first, std::size_t last) {
  return std::string(Field(record, first, last));
}

// A field's bytes for a message: control characters would break the line.
std::string Shown(std::string_view bytes) {
  std::string shown = "\x84";
  for (char c : bytes) shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
  return shown + "\x93";
}

std::string ByteNumber(std::int64_t offset) { return "Byte " + std::to_string(offset + 1); }

constexpr const char* kNotDtaus = "keine DTAUS-Datei";

// A failure of the load with where and what it met, beside the one German line.
class EDamage : public EReadError {
 public:
  EDamage(const std::string& message, TLoadDamage damage) : EReadError(message), Damage(std::move(damage)) {}
  TLoadDamage Damage;
};

class TReader {
 public:
  TReader(TDtaus& doc, TFileReader& file, const TRegionalSettings& rs, TLoadObserver* observer,
          TPaymentSink* sink)
      : doc_(doc), file_(file), decimal_(rs.DecimalSeparator), observer_(observer), sink_(sink) {}

  void ReadSatzA() {
    Enter('A', 0);
    const std::string_view r = file_.Read(kBlock);
    // Not even the record type of an A record: no DTAUS file, damaged or not. A file that has
    // it in the wrong place but reads on is left to the field check below.
    notDtaus_ = !r.empty() && (r.size() <= layout::kTypeOffset || r[layout::kTypeOffset] != 'A');
    if (r.size() < kBlock) {
      if (r.empty()) EndsEarly(kBlock, 0);
      if (notDtaus_) Fail(TDamageKind::NotDtaus, 0, kNotDtaus, kNotDtaus);
      KeepTexts(r);
      EndsEarly(kBlock, r.size());
    }
    if (observer_ != nullptr) observer_->OnRecord('A', r, start_);
    TSatzA& a = *doc_.SatzA;
    Check(Field(r, 1, 4) == "0128", kBadLength, r, 1, 4);
    Check(r[4] == 'A', kOnlyA, r, 5, 5);
    const std::string_view kind = Field(r, 6, 7);
    Check(kind == "GK" || kind == "LK" || kind == "GB" || kind == "LB", kOnlyKinds, r, 6, 7);
    Check(r[127] == ' ' || r[127] == '1', kOnlyEuroOrDM, r, 128, 128);
    a.Euro = r[127] == '1';
    // The texts first: a field that does not convert leaves them read.
    KeepTexts(r);
    a.Konto = Convert(r, 61, 70, "Kontonummer", kNoNumber,
                      [](std::string_view f) { return NormalizeKonto(std::string(f)); });
    a.Datum = Convert(r, 51, 56, "Datum", "ist kein g\xFCltiges Datum",
                      [](std::string_view f) { return DateFromDDMMYY(f, CurrentYear()); });
    bytesRead_ = kBlock;
  }

  bool NotDtaus() const { return notDtaus_; }

  // What a load that failed had read: the record it was in and the whole records before.
  TLoadDamage Damage(TDamageKind kind, std::int64_t offset, std::string what) const {
    TLoadDamage damage;
    damage.Kind = kind;
    damage.Record = record_;
    damage.Payment = record_ == 'C' ? payment_ : 0;
    damage.RecordOffset = start_;
    damage.Offset = offset;
    damage.What = std::move(what);
    damage.PaymentsRead = doc_.SatzE->Anzahl;
    damage.BytesRead = bytesRead_;
    return damage;
  }

  void ReadSatzCList() {
    doc_.SatzE->Anzahl = 0;
    for (;;) {
      const std::int64_t start = file_.Position();
      // Enough for the fixed part; whether the record is a C record decides the rest.
      std::string_view head = file_.Read(layout::kCFixedPart);
      if (head.size() <= layout::kTypeOffset || head[layout::kTypeOffset] != 'C') {
        file_.Seek(start);
        return;
      }
      Enter('C', start);
      if (head.size() < layout::kCFixedPart) EndsEarly(layout::kCFixedPart, head.size());
      const int extensions = Convert(head, 186, 187, "Anzahl der Erweiterungsteile", kNoNumber,
                                     [](std::string_view f) { return StrToInt32(f); });
      if (extensions > layout::kMaxExtensions) {
        const std::string what = "Anzahl der Erweiterungsteile " + Shown(Field(head, 186, 187)) +
                                 " ist gr\xF6\xDF"
                                 "er als " +
                                 std::to_string(layout::kMaxExtensions);
        Fail(TDamageKind::BadField, start + 185, Where(186, 187) + ", " + what, what);
      }
      file_.Seek(start);
      const std::string_view r = ReadComplete(layout::CRecordBytesRead(extensions));
      if (observer_ != nullptr) observer_->OnRecord('C', r, start);
      ReadSatzC(r, layout::SlotsRead(extensions));
      file_.Seek(start + static_cast<std::int64_t>(layout::CRecordBlocks(extensions) * kBlock));
      bytesRead_ = std::min(file_.Position(), file_.Size());
    }
  }

  void ReadSatzE() {
    Enter('E', file_.Position());
    const std::string_view r = ReadComplete(kBlock);
    if (observer_ != nullptr) observer_->OnRecord('E', r, start_);
    TSatzE& e = *doc_.SatzE;
    Check(Field(r, 1, 4) == "0128", kBadLength, r, 1, 4);
    Check(r[4] == 'E', kOnlyE, r, 5, 5);
    const auto amount = [this](std::string_view f) { return StrToFloat(f, decimal_) / 100; };
    const auto whole = [](std::string_view f) { return StrToInt64(f); };
    e.SummeDM = Convert(r, 18, 30, "Summe DM", kNoAmount, amount);
    e.SummeKonto = Convert(r, 31, 47,
                           "Pr\xFC"
                           "fsumme der Kontonummern",
                           kNoNumber, whole);
    e.SummeBLZ = Convert(r, 48, 64,
                         "Pr\xFC"
                         "fsumme der Bankleitzahlen",
                         kNoNumber, whole);
    e.SummeEuro = Convert(r, 65, 77, "Summe Euro", kNoAmount, amount);
    e.AnzahlDatei = Text(r, 11, 17);
    bytesRead_ = start_ + static_cast<std::int64_t>(kBlock);
  }

  // What follows the trailer is no part of the document; only an observer is shown it.
  void ReadTail() {
    if (observer_ == nullptr) return;
    for (;;) {
      // A hole of a sparse file reads as NULs, which are padding: it is passed, not read.
      file_.Seek(file_.NextData(file_.Position()));
      const std::int64_t at = file_.Position();
      const std::string_view piece = file_.Read(kTailPiece);
      if (piece.empty() || !observer_->OnTail(piece, at, file_.Size())) return;
    }
  }

 private:
  void ReadSatzC(std::string_view r, int slots) {
    // Converted first: a C record whose reading fails is not appended.
    const bool euro = doc_.SatzA->Euro;
    const double betrag =
        Convert(r, euro ? 80 : 51, euro ? 90 : 61, euro ? "Betrag in Euro" : "Betrag in DM", kNoAmount,
                [this](std::string_view f) { return StrToFloat(f, decimal_) / 100; });
    char kontoDigits[24];
    const std::string_view konto = Convert(r, 22, 31, "Kontonummer", kNoNumber, [&kontoDigits](std::string_view f) {
      return std::string_view(kontoDigits, KontoDigits(f, kontoDigits));
    });
    if (sink_ != nullptr) {
      HandOn(r, slots, betrag, konto);
      return;
    }
    TTextStore& texts = doc_.Texts();
    TSatzC& c = doc_.SatzCList.emplace_back();
    ++doc_.SatzE->Anzahl;
    c.Name = texts.Copy(Field(r, 94, 120));
    c.Betrag = betrag;
    c.BetragCent = WholeCents(betrag);
    c.BLZ = PutBLZ(Field(r, 14, 21), texts.Chars(10));
    c.Konto = texts.Copy(konto);
    // The leading type bytes of each part do not matter; only the texts are kept.
    const std::size_t count = 1 + static_cast<std::size_t>(slots);
    std::string_view* lines = texts.Lines(count);
    char* text = texts.Chars(27 * count);
    const auto keep = [&text](std::string_view line) {
      std::memcpy(text, line.data(), line.size());
      const std::string_view kept(text, line.size());
      text += line.size();
      return kept;
    };
    lines[0] = keep(Field(r, 156, 182));
    for (int slot = 1; slot <= slots; ++slot)
      lines[slot] = keep(r.substr(layout::ExtensionOffset(slot) + 2, 27));
    c.Verwendungszweck = TTextLines(lines, count);
  }

  // The A record's texts, as far as the bytes read reach: a file cut inside its A record keeps
  // the fields before the cut.
  void KeepTexts(std::string_view r) {
    TSatzA& a = *doc_.SatzA;
    const auto has = [&r](std::size_t last) { return r.size() >= last; };
    if (has(7)) {
      const std::string_view kind = Field(r, 6, 7);
      a.Art = kind == "GK"   ? "\xDC"
                               "berweisungen"
              : kind == "LK" ? "Lastschriften"
                             : "???";
    }
    if (has(15)) a.BLZ = FormatBLZ(Text(r, 8, 15));
    if (has(50)) a.Name = Text(r, 24, 50);
    if (has(80)) a.Referenz = Text(r, 71, 80);
  }

  // A payment read for the sink: its texts are views into the record and into this reader,
  // valid while the sink has it.
  void HandOn(std::string_view r, int slots, double betrag, std::string_view konto) {
    TSatzC c;
    ++doc_.SatzE->Anzahl;
    c.Betrag = betrag;
    c.BetragCent = WholeCents(betrag);
    c.BLZ = PutBLZ(Field(r, 14, 21), blz_);
    std::memcpy(konto_, konto.data(), konto.size());
    c.Konto = std::string_view(konto_, konto.size());
    c.Name = Field(r, 94, 120);
    lines_[0] = Field(r, 156, 182);
    for (int slot = 1; slot <= slots; ++slot)
      lines_[static_cast<std::size_t>(slot)] = r.substr(layout::ExtensionOffset(slot) + 2, 27);
    c.Verwendungszweck = TTextLines(lines_.data(), 1 + static_cast<std::size_t>(slots));
    sink_->OnPayment(c);
  }

  // FormatBLZ without a temporary string, into 10 bytes at `to`.
  static std::string_view PutBLZ(std::string_view field, char* to) {
    std::memcpy(to, field.data(), 3);
    to[3] = ' ';
    std::memcpy(to + 4, field.data() + 3, 3);
    to[7] = ' ';
    std::memcpy(to + 8, field.data() + 6, 2);
    return {to, 10};
  }

  // NormalizeKonto without a temporary string: the digits at `to` (room for 24), their count.
  static std::size_t KontoDigits(std::string_view field, char* to) {
    return static_cast<std::size_t>(std::to_chars(to, to + 24, StrToInt64(field)).ptr - to);
  }

  void Enter(char record, std::int64_t start) {
    record_ = record;
    start_ = start;
    payment_ = doc_.SatzE->Anzahl + 1;
  }

  // "Zahlung 3 (C-Satz ab Byte 385)", naming the record being read.
  std::string Record() const {
    if (record_ == 'C')
      return "Zahlung " + std::to_string(payment_) + " (C-Satz ab " + ByteNumber(start_) + ")";
    return std::string(1, record_) + "-Satz" + (start_ > 0 ? " (ab " + ByteNumber(start_) + ")" : "");
  }
  std::string Where(std::size_t first, std::size_t last) const {
    return Record() + ", Stellen " + std::to_string(first) + "-" + std::to_string(last) + " (" +
           ByteNumber(start_ + static_cast<std::int64_t>(first) - 1) + ")";
  }

  template <typename F>
  auto Convert(std::string_view r, std::size_t first, std::size_t last, const char* field,
               const char* problem, F&& convert) -> decltype(convert(r)) {
    try {
      return convert(Field(r, first, last));
    } catch (const EConvertError&) {
      const std::string what = std::string(field) + " " + Shown(Field(r, first, last)) + " " + problem;
      Fail(TDamageKind::BadField, start_ + static_cast<std::int64_t>(first) - 1,
           Where(first, last) + ", " + what, what);
    }
  }

  [[noreturn]] void Fail(TDamageKind kind, std::int64_t offset, const std::string& message,
                         std::string what) const {
    throw EDamage(message, Damage(kind, offset, std::move(what)));
  }

  void Check(bool condition, const char* message, std::string_view r, std::size_t first, std::size_t last) {
    if (condition) return;
    doc_.Check(false, message);
    if (observer_ != nullptr) observer_->OnFieldCheck(message, record_, first, last, Field(r, first, last));
  }

  [[noreturn]] void EndsEarly(std::size_t wanted, std::size_t got) const {
    if (got == 0 && record_ == 'A') Fail(TDamageKind::Empty, 0, "Die Datei ist leer", "Die Datei ist leer");
    const std::int64_t end = start_ + static_cast<std::int64_t>(got);
    if (got == 0 && record_ == 'E') {
      // The last payment's block may be cut inside its padding: the E record is then due
      // beyond the file's end, which is where the file ends, not where the E record was due.
      const std::int64_t fileEnd = std::min(start_, file_.Size());
      const std::string what = "Kein E-Satz: die Datei endet mit " + ByteNumber(fileEnd - 1) + " nach " +
                               (doc_.SatzE->Anzahl == 1 ? std::string("1 Zahlung")
                                                        : std::to_string(doc_.SatzE->Anzahl) + " Zahlungen");
      Fail(TDamageKind::NoTrailer, fileEnd, what, what);
    }
    const std::string what = std::string(1, record_) + "-Satz hat nur " + std::to_string(got) + " von " +
                             std::to_string(wanted) + " Bytes";
    Fail(TDamageKind::CutShort, end,
         "Datei endet vorzeitig: " + Record() + " hat nur " + std::to_string(got) + " von " +
             std::to_string(wanted) + " Bytes",
         what);
  }

  // A record the file cuts short fails the load rather than being read from stale bytes.
  std::string_view ReadComplete(std::size_t count) {
    const std::string_view bytes = file_.Read(count);
    if (bytes.size() < count) EndsEarly(count, bytes.size());
    return bytes;
  }

  TDtaus& doc_;
  TFileReader& file_;
  char decimal_;
  TLoadObserver* observer_;
  TPaymentSink* sink_;
  char blz_[10];
  char konto_[24];
  std::array<std::string_view, 1 + layout::SlotsRead(layout::kMaxExtensions)> lines_;
  char record_ = 'A';
  std::int64_t start_ = 0;
  std::int64_t payment_ = 0;
  std::int64_t bytesRead_ = 0;
  bool notDtaus_ = false;
};

}  // namespace

void TDtaus::Load(const std::string& FileName, const TRegionalSettings& rs) {
  Load(FileName, rs, nullptr, nullptr);
}

void TDtaus::Load(const std::string& FileName, const TRegionalSettings& rs, TLoadObserver& observer) {
  Load(FileName, rs, &observer, nullptr);
}

void TDtaus::Stream(const std::string& FileName, const TRegionalSettings& rs, TPaymentSink& sink) {
  Load(FileName, rs, nullptr, &sink);
}

void TDtaus::Load(const std::string& FileName, const TRegionalSettings& rs, TLoadObserver* observer,
                  TPaymentSink* sink) {
  ErrorText.clear();
  LoadError.clear();
  Damage = {};
  // The records keep their objects but not an earlier file's fields: a damaged file shows
  // only what it holds itself.
  *SatzA = {};
  *SatzE = {};
  SatzCList = {};
  texts_.Reset();
  bool notDtaus = false;
  try {
    TFileReader file(FileName);
    if (sink == nullptr) {
      const auto size = static_cast<std::size_t>(
          std::min<std::uint64_t>(static_cast<std::uint64_t>(file.Size()), kLargestSizeGuess));
      SatzCList.reserve(size / kSmallestCRecord);
      AdviseHugePages(SatzCList.data(), SatzCList.capacity() * sizeof(TSatzC));
      texts_.Reset(size);
    }
    TReader reader(*this, file, rs, observer, sink);
    try {
      reader.ReadSatzA();
      reader.ReadSatzCList();
      reader.ReadSatzE();
      reader.ReadTail();
    } catch (...) {
      notDtaus = reader.NotDtaus();
      throw;
    }
  } catch (const EDamage& e) {
    // The reader's own failures say what they are; the page shows only that there was one.
    LoadError = e.what();
    Damage = e.Damage;
  } catch (const EReadError& e) {
    LoadError = e.what();
    Damage.Kind = TDamageKind::Unreadable;
    Damage.What = LoadError;
  } catch (const std::bad_alloc&) {
    LoadError = "Nicht gen\xFCgend Arbeitsspeicher";
    Damage.Kind = TDamageKind::OutOfMemory;
    Damage.What = LoadError;
  } catch (const std::exception&) {
    LoadError = "Die Datei kann nicht gelesen werden";
    Damage.Kind = TDamageKind::Unreadable;
    Damage.What = LoadError;
  }
  // A file that failed without even the record type of an A record is no DTAUS file at all,
  // whatever the reader tripped over in it.
  if (notDtaus && !LoadError.empty() && Damage.Kind != TDamageKind::Unreadable &&
      Damage.Kind != TDamageKind::OutOfMemory) {
    LoadError = kNotDtaus;
    Damage.Kind = TDamageKind::NotDtaus;
    Damage.What = kNotDtaus;
  }
  Damage.PaymentsRead = SatzE->Anzahl;
  if (!LoadError.empty()) {
    ErrorText = FileName;
  }
}

bool PartlyRead(const TLoadDamage& damage) {
  switch (damage.Kind) {
    case TDamageKind::CutShort:
    case TDamageKind::NoTrailer:
    case TDamageKind::BadField: return damage.BytesRead > 0;
    default: return false;
  }
}

std::string ReadSoFarText(const TLoadDamage& damage) {
  if (!PartlyRead(damage)) return {};
  const std::string payments =
      damage.PaymentsRead == 1 ? std::string("1 Zahlung") : GroupedNumber(damage.PaymentsRead) + " Zahlungen";
  return payments + " bis Byte " + GroupedNumber(damage.BytesRead) +
         " gelesen; Summen nicht pr\xFC"
         "fbar";
}

}  // namespace ombra
