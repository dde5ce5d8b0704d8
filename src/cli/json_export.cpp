#include "json_export.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

#include "block_writer.h"
#include "held_output.h"
#include "convert.h"
#include "cp1252.h"
#include "parallel_rows.h"
#include "shown_text.h"

namespace cli {

std::string IsoDate(const ombra::TDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
  return text;
}

std::string FileNameToUtf8(const std::string& name) { return support::ShownText(name); }

void AddFileJson(TJson& json, const std::string& name) {
  json["file"] = support::ShownText(name);
  if (support::ShownAsIs(name)) return;
  TJson bytes = TJson::array();
  for (const char c : name) bytes.push_back(static_cast<unsigned char>(c));
  json["file_bytes"] = std::move(bytes);
}

TJson SatzAToJson(const ombra::TSatzA& a) {
  using support::Cp1252ToUtf8;
  return {{"Datum", IsoDate(a.Datum)},
          {"Art", Cp1252ToUtf8(a.Art)},
          {"Name", Cp1252ToUtf8(a.Name)},
          {"BLZ", Cp1252ToUtf8(a.BLZ)},
          {"Konto", Cp1252ToUtf8(a.Konto)},
          {"Referenz", Cp1252ToUtf8(a.Referenz)},
          {"Euro", a.Euro}};
}

TJson SatzCToJson(const ombra::TSatzC& c) {
  using support::Cp1252ToUtf8;
  TJson purposes = TJson::array();
  for (const auto& line : c.Verwendungszweck) purposes.push_back(Cp1252ToUtf8(line));
  return {{"Betrag", c.Betrag},
          {"BLZ", Cp1252ToUtf8(c.BLZ)},
          {"Konto", Cp1252ToUtf8(c.Konto)},
          {"Name", Cp1252ToUtf8(c.Name)},
          {"Verwendungszweck", std::move(purposes)}};
}

TJson SatzEToJson(const ombra::TSatzE& e) {
  // Beside the count read, the count the trailer states; null when it is no number.
  TJson stated = nullptr;
  try {
    stated = ombra::StrToInt64(e.AnzahlDatei);
  } catch (const ombra::EConvertError&) {
  }
  return {{"Anzahl", e.Anzahl},         {"AnzahlDatei", std::move(stated)}, {"SummeDM", e.SummeDM},
          {"SummeKonto", e.SummeKonto}, {"SummeBLZ", e.SummeBLZ},           {"SummeEuro", e.SummeEuro}};
}

namespace {

// One byte of a Windows-1252 text as it stands in a JSON string: itself, an escape, or its
// UTF-8 form. Copied eight bytes at a time, so a text needs no branch per byte.
struct TJsonByte {
  char bytes[7];
  std::uint8_t size;
};
static_assert(sizeof(TJsonByte) == 8);

std::array<TJsonByte, 256> MakeJsonBytes() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::array<TJsonByte, 256> table{};
  for (int b = 0; b < 256; ++b) {
    TJsonByte& e = table[static_cast<std::size_t>(b)];
    const auto put = [&e](std::string_view text) {
      std::memcpy(e.bytes, text.data(), text.size());
      e.size = static_cast<std::uint8_t>(text.size());
    };
    switch (b) {
      case '"': put("\\\""); break;
      case '\\': put("\\\\"); break;
      case '\b': put("\\b"); break;
      case '\t': put("\\t"); break;
      case '\n': put("\\n"); break;
      case '\f': put("\\f"); break;
      case '\r': put("\\r"); break;
      default:
        if (b < 0x20) {
          const char escape[] = {'\\', 'u', '0', '0', kHex[b >> 4], kHex[b & 15]};
          put(std::string_view(escape, sizeof escape));
        } else {
          put(support::Cp1252ToUtf8(std::string(1, static_cast<char>(b))));
        }
    }
  }
  return table;
}

// Made on first use, after the conversion it relies on is ready.
const std::array<TJsonByte, 256>& JsonBytes() {
  static const std::array<TJsonByte, 256> table = MakeJsonBytes();
  return table;
}

// Room a text can take at most: every byte escaped, the quotes, and the last eight-byte copy.
std::size_t JsonStringBound(std::string_view text) { return 6 * text.size() + 2 + 8; }

// True when none of the eight bytes needs more than a copy: no control character, quote,
// backslash or byte above 0x7F.
bool PlainWord(std::uint64_t w) {
  constexpr std::uint64_t kOnes = 0x0101010101010101, kHigh = 0x8080808080808080;
  const auto zeroByte = [](std::uint64_t x) { return (x - kOnes) & ~x & kHigh; };
  const std::uint64_t control = (w - 0x20 * kOnes) & ~w & kHigh;
  return ((w & kHigh) | control | zeroByte(w ^ ('"' * kOnes)) | zeroByte(w ^ ('\\' * kOnes))) == 0;
}

char* PutJsonString(char* to, std::string_view cp1252) {
  const std::array<TJsonByte, 256>& table = JsonBytes();
  *to++ = '"';
  const char* from = cp1252.data();
  const char* const end = from + cp1252.size();
  const auto put = [&table](char* out, char c) {
    const TJsonByte& e = table[static_cast<unsigned char>(c)];
    std::memcpy(out, &e, sizeof e);
    return out + e.size;
  };
  // Mostly plain text: eight bytes are checked and copied at once.
  for (; end - from >= 8; from += 8) {
    std::uint64_t w;
    std::memcpy(&w, from, 8);
    if (PlainWord(w)) {
      std::memcpy(to, from, 8);
      to += 8;
    } else {
      for (int i = 0; i < 8; ++i) to = put(to, from[i]);
    }
  }
  for (; from < end; ++from) to = put(to, *from);
  *to++ = '"';
  return to;
}

char* PutLiteral(char* to, std::string_view text) {
  std::memcpy(to, text.data(), text.size());
  return to + text.size();
}

constexpr std::size_t kNumberBound = 64;

// An amount read from a file is a whole number of hundredths n, and n / 100 written out is
// the shortest text that reads back as the value whenever the value lies well inside its
// rounding interval: with at most 15 digits no other text that short lies in it. The library
// then finds the same digits, so they are written directly; anything else goes to the library.
char* PutHundredths(char* to, double value) {
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 0.01 && magnitude < 1e12)) return nullptr;
  const double whole = std::round(value * 100.0);
  // How far the value lies from n / 100 (exact while it is small), against the distance to
  // the nearer neighbouring double. The margin left over is far wider than the library's
  // own uncertainty about the interval's ends.
  const double off = std::fabs(std::fma(value, 100.0, -whole)) / 100.0;
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const auto exponent = bits >> 52;
  double gap = std::bit_cast<double>((exponent - 52) << 52);
  if ((bits & ((std::uint64_t{1} << 52) - 1)) == 0) gap /= 2;  // below a power of two
  if (off >= 0.5 * gap * (63.0 / 64.0)) return nullptr;
  auto cents = static_cast<std::uint64_t>(std::fabs(whole));
  if (cents == 0) return nullptr;
  char digits[24];
  char* p = digits + sizeof digits;
  // The decimals without trailing zeros, or ".0" for a whole amount, as the library writes.
  const auto fraction = cents % 100;
  cents /= 100;
  if (fraction == 0) {
    *--p = '0';
  } else if (fraction % 10 == 0) {
    *--p = static_cast<char>('0' + fraction / 10);
  } else {
    *--p = static_cast<char>('0' + fraction % 10);
    *--p = static_cast<char>('0' + fraction / 10);
  }
  *--p = '.';
  do {
    *--p = static_cast<char>('0' + cents % 10);
    cents /= 10;
  } while (cents > 0);
  if (value < 0) *--p = '-';
  const auto size = static_cast<std::size_t>(digits + sizeof digits - p);
  std::memcpy(to, p, size);
  return to + size;
}

char* PutJsonNumber(char* to, double value) {
  if (!std::isfinite(value)) return PutLiteral(to, "null");
  if (char* end = PutHundredths(to, value)) return end;
  // The library's own conversion, so the figures match its dump() to the byte.
  return nlohmann::detail::to_chars(to, to + kNumberBound, value);
}

std::size_t SatzCJsonBound(const ombra::TSatzC& c) {
  std::size_t bound =
      96 + kNumberBound + JsonStringBound(c.BLZ) + JsonStringBound(c.Konto) + JsonStringBound(c.Name);
  for (const std::string_view line : c.Verwendungszweck) bound += 1 + JsonStringBound(line);
  return bound;
}

char* PutSatzCJson(char* to, const ombra::TSatzC& c) {
  to = PutLiteral(to, "{\"Betrag\":");
  to = PutJsonNumber(to, c.Betrag);
  to = PutLiteral(to, ",\"BLZ\":");
  to = PutJsonString(to, c.BLZ);
  to = PutLiteral(to, ",\"Konto\":");
  to = PutJsonString(to, c.Konto);
  to = PutLiteral(to, ",\"Name\":");
  to = PutJsonString(to, c.Name);
  to = PutLiteral(to, ",\"Verwendungszweck\":[");
  const char* separator = "";
  for (const std::string_view line : c.Verwendungszweck) {
    to = PutLiteral(to, separator);
    to = PutJsonString(to, line);
    separator = ",";
  }
  return PutLiteral(to, "]}");
}

}  // namespace

namespace {

const char* VerdictCode(ombra::TAccountVerdict verdict) {
  switch (verdict) {
    case ombra::TAccountVerdict::Passes: return "gueltig";
    case ombra::TAccountVerdict::Fails: return "ungueltig";
    case ombra::TAccountVerdict::NotImplemented: return "nicht_pruefbar";
    case ombra::TAccountVerdict::UnknownBank: return "unbekannt";
  }
  return "";
}

// Adds the bank's keys to the object that ends `out`.
void AppendBankJson(std::string& out, const ombra::TAccountCheck& account) {
  const auto text = [&account](const std::string ombra::TBank::*field) {
    return account.Bank ? TJson(support::Cp1252ToUtf8(*account.Bank.*field)).dump() : std::string("null");
  };
  out.pop_back();  // the closing brace
  out += ",\"BankName\":" + text(&ombra::TBank::Name) + ",\"BankOrt\":" + text(&ombra::TBank::Place) +
         ",\"Kontopruefung\":\"" + VerdictCode(account.Verdict) + "\"}";
}

}  // namespace

namespace {

TJson DamageToJson(const ombra::TDtaus& doc) {
  const ombra::TLoadDamage& d = doc.Damage;
  TJson json = {{"Grund", support::Cp1252ToUtf8(doc.LoadError)},
                {"Satz", d.Record != 0 ? TJson(std::string(1, d.Record)) : TJson(nullptr)},
                {"Zahlung", d.Payment > 0 ? TJson(d.Payment) : TJson(nullptr)},
                {"SatzAbByte", d.RecordOffset >= 0 ? TJson(d.RecordOffset + 1) : TJson(nullptr)},
                {"Byte", d.Offset >= 0 ? TJson(d.Offset + 1) : TJson(nullptr)},
                {"Was", support::Cp1252ToUtf8(d.What)},
                {"ZahlungenGelesen", d.PaymentsRead},
                {"BytesGelesen", d.BytesRead},
                {"Gelesen", support::Cp1252ToUtf8(ombra::ReadSoFarText(d))}};
  return json;
}

}  // namespace

void AppendSatzCJson(std::string& out, const ombra::TSatzC& c) {
  std::string room(SatzCJsonBound(c), '\0');
  out.append(room.data(), PutSatzCJson(room.data(), c));
}

namespace {

// The texts are valid UTF-8 by construction; replacing keeps dump() from ever throwing.
std::string Dump(const TJson& json) { return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace); }

// Everything up to the payments; false when nothing follows but the closing brace, which is
// then written too.
bool WriteJsonHead(const ombra::TDtaus& doc, const TWrite& write, const ombra::TAccountCheck* sender,
                   bool partial) {
  write("{\n  \"ErrorText\": " + Dump(FileNameToUtf8(doc.ErrorText)));
  const bool damaged = doc.LoadFailed();
  if (damaged && !(partial && ombra::PartlyRead(doc.Damage))) {
    write("\n}\n");
    return false;
  }
  if (damaged) write(",\n  \"Beschaedigung\": " + Dump(DamageToJson(doc)));
  std::string satzA = Dump(SatzAToJson(*doc.SatzA));
  if (sender != nullptr) AppendBankJson(satzA, *sender);
  write(",\n  \"SatzA\": " + satzA + ",\n  \"SatzCList\": [");
  return true;
}

// The line of payment `index` in "SatzCList", with the separator before it.
template <class TOut>
void PutPaymentLine(TOut& out, std::size_t index, const ombra::TSatzC& c, const ombra::TAccountCheck* account) {
  const std::string_view separator = index == 0 ? "\n    " : ",\n    ";
  const std::size_t bound = separator.size() + SatzCJsonBound(c);
  // Payments with their banks, and those built by hand that are too big for a block, take
  // the general path.
  if (account != nullptr || bound > TBlockWriter::kBlock) {
    std::string text(separator);
    AppendSatzCJson(text, c);
    if (account != nullptr) AppendBankJson(text, *account);
    out.Put(text);
  } else {
    char* to = out.Reserve(bound);
    out.Commit(PutSatzCJson(PutLiteral(to, separator), c));
  }
}

void WriteJsonTail(const ombra::TDtaus& doc, const TWrite& write, bool anyPayment,
                   const std::string* directoryDate) {
  write(std::string(anyPayment ? "\n  " : "") + "],\n  \"SatzE\": " +
        (doc.LoadFailed() ? std::string("null") : Dump(SatzEToJson(*doc.SatzE))));
  if (directoryDate != nullptr) write(",\n  \"Bankverzeichnis\": " + Dump(*directoryDate));
  write("\n}\n");
}

// Formats each payment as it is read and holds the lines until the head is known.
class TJsonLines final : public ombra::TPaymentSink {
 public:
  explicit TJsonLines(const ombra::TBankDirectory* banks) {
    if (banks != nullptr) cache_.emplace(*banks);
  }
  void OnPayment(const ombra::TSatzC& c) override {
    if (cache_) {
      const ombra::TAccountCheck account = cache_->Check(c.BLZ, c.Konto);
      PutPaymentLine(lines_, count_++, c, &account);
    } else {
      PutPaymentLine(lines_, count_++, c, nullptr);
    }
  }
  std::optional<ombra::TBankCache>& Cache() { return cache_; }
  const THeldOutput& Lines() const { return lines_; }
  bool Any() const { return count_ > 0; }

 private:
  std::optional<ombra::TBankCache> cache_;
  THeldOutput lines_;
  std::size_t count_ = 0;
};

}  // namespace

void WriteDocumentJson(const ombra::TDtaus& doc, const std::function<void(std::string_view)>& write,
                       const ombra::TAccountChecks* banks, const std::string& directoryDate, bool partial) {
  if (!WriteJsonHead(doc, write, banks != nullptr ? &banks->Sender : nullptr, partial)) return;
  WriteRowsInParts(doc.SatzCList.size(), write, [&](std::size_t begin, std::size_t end, const TWrite& put) {
    TBlockWriter out(put);
    for (std::size_t index = begin; index < end; ++index)
      PutPaymentLine(out, index, doc.SatzCList[index], banks != nullptr ? &banks->Payments[index] : nullptr);
    out.Flush();
  });
  WriteJsonTail(doc, write, !doc.SatzCList.empty(), banks != nullptr ? &directoryDate : nullptr);
}

void StreamDocumentJson(ombra::TDtaus& doc, const std::string& fileName, const ombra::TRegionalSettings& rs,
                        const std::function<void(std::string_view)>& write, const ombra::TBankDirectory* banks,
                        bool partial) {
  TJsonLines lines(banks);
  doc.Stream(fileName, rs, lines);
  std::optional<ombra::TAccountCheck> sender;
  if (banks != nullptr && doc.SatzA) sender = lines.Cache()->Check(doc.SatzA->BLZ, doc.SatzA->Konto);
  if (!WriteJsonHead(doc, write, sender ? &*sender : nullptr, partial)) return;
  lines.Lines().WriteTo(write);
  const std::string date = banks != nullptr ? banks->DataDate() : std::string();
  WriteJsonTail(doc, write, lines.Any(), banks != nullptr ? &date : nullptr);
}

}  // namespace cli
