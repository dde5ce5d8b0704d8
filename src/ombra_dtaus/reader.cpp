// Reading a DTAUS file into TDtaus.
#include "convert.h"
#include "dtaus.h"
#include "file_reader.h"

namespace ombra {
namespace {

constexpr std::size_t kBlock = 128;
constexpr int kMaxExtensions = 15;

// Messages are Windows-1252, like every text of the document.
constexpr const char* kBadLength = "Ung\xFCltige L\xE4nge";
constexpr const char* kOnlyA = "Nur Satzart A erlaubt";
constexpr const char* kOnlyE = "Nur Satzart E erlaubt";
constexpr const char* kOnlyKinds = "Nur Kennzeichen GK, LK, GB, LB erlaubt";
constexpr const char* kOnlyEuroOrDM = "Nur Euro oder DM";

// Field at 1-based positions first..last of a record.
std::string_view Field(std::string_view record, std::size_t first, std::size_t last) {
  return record.substr(first - 1, last - first + 1);
}
std::string Text(std::string_view record, std::size_t first, std::size_t last) {
  return std::string(Field(record, first, last));
}

// A record the file cuts short fails the load rather than being read from stale bytes.
std::string_view ReadComplete(TFileReader& file, std::size_t count) {
  const std::string_view bytes = file.Read(count);
  if (bytes.size() < count) throw EReadError("Datei endet vorzeitig");
  return bytes;
}

// 0-based offset within a C record of extension slot `slot` (1-based): two slots in the
// second block, then four per further block.
std::size_t ExtensionOffset(int slot) {
  if (slot <= 2) return 187 + static_cast<std::size_t>(slot - 1) * 29;
  const auto k = static_cast<std::size_t>(slot - 3);
  return 2 * kBlock + (k / 4) * kBlock + (k % 4) * 29;
}

std::size_t CRecordBlocks(int extensions) {
  if (extensions <= 2) return 2;
  return 2 + static_cast<std::size_t>(extensions - 2 + 3) / 4;
}

class TReader {
 public:
  TReader(TDtaus& doc, TFileReader& file, const TRegionalSettings& rs)
      : doc_(doc), file_(file), decimal_(rs.DecimalSeparator) {}

  void ReadSatzA() {
    const std::string_view r = ReadComplete(file_, kBlock);
    TSatzA& a = *doc_.SatzA;
    doc_.Check(Field(r, 1, 4) == "0128", kBadLength);
    doc_.Check(r[4] == 'A', kOnlyA);
    const std::string_view kind = Field(r, 6, 7);
    doc_.Check(kind == "GK" || kind == "LK" || kind == "GB" || kind == "LB", kOnlyKinds);
    a.Art = kind == "GK" ? "\xDC" "berweisungen" : kind == "LK" ? "Lastschriften" : "???";
    doc_.Check(r[127] == ' ' || r[127] == '1', kOnlyEuroOrDM);
    a.Euro = r[127] == '1';
    a.Name = Text(r, 24, 50);
    a.BLZ = FormatBLZ(Text(r, 8, 15));
    a.Konto = NormalizeKonto(Text(r, 61, 70));
    a.Datum = DateFromDDMMYY(Field(r, 51, 56), CurrentYear());
    a.Referenz = Text(r, 71, 80);
  }

  void ReadSatzCList() {
    doc_.SatzE->Anzahl = 0;
    for (;;) {
      const std::int64_t start = file_.Position();
      // Enough for the fixed part; whether the record is a C record decides the rest.
      std::string_view head = file_.Read(187);
      if (head.size() < 5 || head[4] != 'C') {
        file_.Seek(start);
        return;
      }
      if (head.size() < 187) throw EReadError("Datei endet vorzeitig");
      const int extensions = StrToInt32(Field(head, 186, 187));
      if (extensions > kMaxExtensions) ThrowConvertError(Field(head, 186, 187));
      const int slots = extensions > 0 ? (extensions + 1) / 2 * 2 : 0;
      const std::size_t needed = slots > 0 ? ExtensionOffset(slots) + 29 : 187;
      const std::size_t blocks = CRecordBlocks(extensions);

      file_.Seek(start);
      const std::string_view r = ReadComplete(file_, needed);
      ReadSatzC(r, slots);
      file_.Seek(start + static_cast<std::int64_t>(blocks * kBlock));
    }
  }

  void ReadSatzE() {
    const std::string_view r = ReadComplete(file_, kBlock);
    TSatzE& e = *doc_.SatzE;
    doc_.Check(Field(r, 1, 4) == "0128", kBadLength);
    doc_.Check(r[4] == 'E', kOnlyE);
    e.SummeDM = StrToFloat(Field(r, 18, 30), decimal_) / 100;
    e.SummeKonto = StrToInt64(Field(r, 31, 47));
    e.SummeBLZ = StrToInt64(Field(r, 48, 64));
    e.SummeEuro = StrToFloat(Field(r, 65, 77), decimal_) / 100;
  }

 private:
  void ReadSatzC(std::string_view r, int slots) {
    auto c = std::make_unique<TSatzC>();
    ++doc_.SatzE->Anzahl;
    c->Name = Text(r, 94, 120);
    c->Verwendungszweck.reserve(1 + static_cast<std::size_t>(slots));
    c->Verwendungszweck.emplace_back(Field(r, 156, 182));
    const std::string_view amount = doc_.SatzA->Euro ? Field(r, 80, 90) : Field(r, 51, 61);
    c->Betrag = StrToFloat(amount, decimal_) / 100;
    c->BLZ = FormatBLZ(Text(r, 14, 21));
    c->Konto = NormalizeKonto(Text(r, 22, 31));
    // The leading type bytes of each part do not matter; only the texts are kept.
    for (int slot = 1; slot <= slots; ++slot)
      c->Verwendungszweck.emplace_back(r.substr(ExtensionOffset(slot) + 2, 27));
    doc_.SatzCList.push_back(std::move(c));
  }

  TDtaus& doc_;
  TFileReader& file_;
  char decimal_;
};

}  // namespace

void TDtaus::Load(const std::string& FileName, const TRegionalSettings& rs) {
  ErrorText.clear();
  SatzCList.clear();
  try {
    TFileReader file(FileName);
    TReader reader(*this, file, rs);
    reader.ReadSatzA();
    reader.ReadSatzCList();
    reader.ReadSatzE();
  } catch (const std::exception&) {
    // Only the fact of the failure is kept; the caller shows the error page.
    ErrorText = FileName;
  }
}

}  // namespace ombra
