// Reading a DTAUS file into TDtaus.
#include <charconv>
#include <cstring>

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

// No file holds more payments than its size allows for records of two blocks, and their texts
// rarely take more room than the file; a guess too large only reserves address space.
constexpr std::size_t kSmallestCRecord = 2 * 128;

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
    TTextStore& texts = doc_.Texts();
    TSatzC& c = doc_.SatzCList.emplace_back();
    ++doc_.SatzE->Anzahl;
    c.Name = texts.Copy(Field(r, 94, 120));
    const std::string_view amount = doc_.SatzA->Euro ? Field(r, 80, 90) : Field(r, 51, 61);
    c.Betrag = StrToFloat(amount, decimal_) / 100;
    c.BLZ = CopyBLZ(texts, Field(r, 14, 21));
    c.Konto = CopyKonto(texts, Field(r, 22, 31));
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
      lines[slot] = keep(r.substr(ExtensionOffset(slot) + 2, 27));
    c.Verwendungszweck = TTextLines(lines, count);
  }

  // FormatBLZ without a temporary string.
  static std::string_view CopyBLZ(TTextStore& texts, std::string_view field) {
    char* to = texts.Chars(10);
    std::memcpy(to, field.data(), 3);
    to[3] = ' ';
    std::memcpy(to + 4, field.data() + 3, 3);
    to[7] = ' ';
    std::memcpy(to + 8, field.data() + 6, 2);
    return {to, 10};
  }

  // NormalizeKonto without a temporary string.
  static std::string_view CopyKonto(TTextStore& texts, std::string_view field) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, StrToInt64(field)).ptr;
    return texts.Copy(std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }

  TDtaus& doc_;
  TFileReader& file_;
  char decimal_;
};

}  // namespace

void TDtaus::Load(const std::string& FileName, const TRegionalSettings& rs) {
  ErrorText.clear();
  SatzCList = {};
  texts_.Reset();
  try {
    TFileReader file(FileName);
    const auto size = static_cast<std::size_t>(file.Size());
    SatzCList.reserve(size / kSmallestCRecord);
    texts_.Reset(size);
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
