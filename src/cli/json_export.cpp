#include "json_export.h"

#include <cmath>
#include <cstdio>

#include "convert.h"
#include "cp1252.h"

namespace cli {
namespace {

bool IsValidUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len = 0;
    char32_t cp = 0;
    if (b0 < 0x80) { len = 1; cp = b0; }
    else if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; }
    else return false;
    if (i + len > text.size()) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms and surrogates would make a JSON parser refuse the output.
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

}  // namespace

std::string IsoDate(const ombra::TDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
  return text;
}

std::string FileNameToUtf8(const std::string& name) {
  return IsValidUtf8(name) ? name : support::Cp1252ToUtf8(name);
}

TJson SatzAToJson(const ombra::TSatzA& a) {
  using support::Cp1252ToUtf8;
  return {{"Datum", IsoDate(a.Datum)},       {"Art", Cp1252ToUtf8(a.Art)},
          {"Name", Cp1252ToUtf8(a.Name)},    {"BLZ", Cp1252ToUtf8(a.BLZ)},
          {"Konto", Cp1252ToUtf8(a.Konto)},  {"Referenz", Cp1252ToUtf8(a.Referenz)},
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
  return {{"Anzahl", e.Anzahl},
          {"AnzahlDatei", std::move(stated)},
          {"SummeDM", e.SummeDM},
          {"SummeKonto", e.SummeKonto},
          {"SummeBLZ", e.SummeBLZ},
          {"SummeEuro", e.SummeEuro}};
}

void AppendJsonString(std::string& out, std::string_view cp1252) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t plain = 0;  // start of the bytes not yet appended
  for (std::size_t i = 0; i < cp1252.size(); ++i) {
    const auto byte = static_cast<unsigned char>(cp1252[i]);
    if (byte >= 0x20 && byte != '"' && byte != '\\' && byte < 0x80) continue;
    out.append(cp1252.data() + plain, i - plain);
    plain = i + 1;
    switch (byte) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default:
        if (byte >= 0x80) {
          support::AppendCp1252AsUtf8(out, cp1252.substr(i, 1));
        } else {
          const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 15]};
          out.append(escape, sizeof escape);
        }
    }
  }
  out.append(cp1252.data() + plain, cp1252.size() - plain);
  out += '"';
}

void AppendJsonNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char text[64];
  // The library's own conversion, so the figures match its dump() to the byte.
  const char* end = nlohmann::detail::to_chars(text, text + sizeof text, value);
  out.append(text, static_cast<std::size_t>(end - text));
}

void AppendSatzCJson(std::string& out, const ombra::TSatzC& c) {
  out += "{\"Betrag\":";
  AppendJsonNumber(out, c.Betrag);
  out += ",\"BLZ\":";
  AppendJsonString(out, c.BLZ);
  out += ",\"Konto\":";
  AppendJsonString(out, c.Konto);
  out += ",\"Name\":";
  AppendJsonString(out, c.Name);
  out += ",\"Verwendungszweck\":[";
  for (std::size_t i = 0; i < c.Verwendungszweck.size(); ++i) {
    if (i > 0) out += ',';
    AppendJsonString(out, c.Verwendungszweck[i]);
  }
  out += "]}";
}

void WriteDocumentJson(const ombra::TDtaus& doc,
                       const std::function<void(std::string_view)>& write) {
  // The texts are valid UTF-8 by construction; replacing keeps dump() from ever throwing.
  const auto dump = [](const TJson& json) {
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  };
  write("{\n  \"ErrorText\": " + dump(FileNameToUtf8(doc.ErrorText)));
  if (!doc.ErrorText.empty()) {
    write("\n}\n");
    return;
  }
  write(",\n  \"SatzA\": " + dump(SatzAToJson(*doc.SatzA)) + ",\n  \"SatzCList\": [");
  // Handed on in large blocks; one block is all a payment list ever holds in memory.
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::string block;
  block.reserve(kBlock + 4096);
  const char* separator = "\n    ";
  for (const auto& c : doc.SatzCList) {
    block += separator;
    AppendSatzCJson(block, c);
    separator = ",\n    ";
    if (block.size() >= kBlock) {
      write(block);
      block.clear();
    }
  }
  write(block);
  write(std::string(doc.SatzCList.empty() ? "" : "\n  ") + "],\n  \"SatzE\": " +
        dump(SatzEToJson(*doc.SatzE)) + "\n}\n");
}

}  // namespace cli
