#pragma once
// Lays out DTAUS records field by field at their 1-based positions, for tests.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace testdta {

// Writes `value` at positions first..last of `record`, padded with blanks on the right.
inline void Put(std::string& record, std::size_t first, std::size_t last, const std::string& value) {
  const std::size_t width = last - first + 1;
  if (value.size() > width) throw std::invalid_argument("field too long: " + value);
  record.replace(first - 1, width, value + std::string(width - value.size(), ' '));
}

// Right-aligned with leading zeros, as the numeric fields are written.
inline std::string Digits(std::int64_t value, std::size_t width) {
  std::string s = std::to_string(value);
  return std::string(width > s.size() ? width - s.size() : 0, '0') + s;
}

struct ARecord {
  std::string length = "0128";
  std::string type = "A";
  std::string kind = "GK";
  std::string blz = "12345678";
  std::string name = "ABSENDER GMBH";
  std::string date = "311202";
  std::string konto = "0001234567";
  std::string referenz = "REF0000001";
  std::string currency = "1";  // "1" Euro, " " DM

  std::string Bytes() const {
    std::string r(128, ' ');
    Put(r, 1, 4, length);
    Put(r, 5, 5, type);
    Put(r, 6, 7, kind);
    Put(r, 8, 15, blz);
    Put(r, 16, 23, "00000000");
    Put(r, 24, 50, name);
    Put(r, 51, 56, date);
    Put(r, 61, 70, konto);
    Put(r, 71, 80, referenz);
    Put(r, 128, 128, currency);
    return r;
  }
};

struct CExtension {
  std::string type = "02";
  std::string text;
};

struct CRecord {
  std::string type = "C";
  std::string blz = "87654321";
  std::string konto = "0000123456";
  std::string dm = "00000000000";
  std::string euro = "00000012345";
  std::string name = "EMPFAENGER";
  std::string purpose = "RECHNUNG 1";
  std::vector<CExtension> extensions;
  std::string count;  // the count field (186-187); empty: the number of extensions

  static std::size_t SlotOffset(std::size_t slot) {  // 0-based offset, slot counted from 1
    if (slot <= 2) return 187 + (slot - 1) * 29;
    return 256 + (slot - 3) / 4 * 128 + (slot - 3) % 4 * 29;
  }
  std::size_t Blocks() const {
    const std::size_t n = extensions.size();
    return n <= 2 ? 2 : 2 + (n - 2 + 3) / 4;
  }
  std::string Bytes() const {
    std::string r(Blocks() * 128, ' ');
    Put(r, 1, 4, Digits(static_cast<std::int64_t>(187 + 29 * extensions.size()), 4));
    Put(r, 5, 5, type);
    Put(r, 6, 13, "00000000");
    Put(r, 14, 21, blz);
    Put(r, 22, 31, konto);
    Put(r, 51, 61, dm);
    Put(r, 80, 90, euro);
    Put(r, 94, 120, name);
    Put(r, 156, 182, purpose);
    Put(r, 186, 187, count.empty() ? Digits(static_cast<std::int64_t>(extensions.size()), 2) : count);
    for (std::size_t i = 0; i < extensions.size(); ++i) {
      const std::size_t at = SlotOffset(i + 1) + 1;
      Put(r, at, at + 1, extensions[i].type);
      Put(r, at + 2, at + 28, extensions[i].text);
    }
    return r;
  }
};

struct ERecord {
  std::string length = "0128";
  std::string type = "E";
  std::string count = "0000000";
  std::string dm = "0000000000000";
  std::string konto = "00000000000000000";
  std::string blz = "00000000000000000";
  std::string euro = "0000000000000";

  std::string Bytes() const {
    std::string r(128, ' ');
    Put(r, 1, 4, length);
    Put(r, 5, 5, type);
    Put(r, 11, 17, count);
    Put(r, 18, 30, dm);
    Put(r, 31, 47, konto);
    Put(r, 48, 64, blz);
    Put(r, 65, 77, euro);
    return r;
  }
};

// A whole file whose trailer agrees with its payments.
inline std::string File(const ARecord& a, const std::vector<CRecord>& cs) {
  std::string out = a.Bytes();
  std::int64_t cents = 0, konten = 0, blzs = 0;
  for (const CRecord& c : cs) {
    out += c.Bytes();
    cents += std::stoll(a.currency == "1" ? c.euro : c.dm);
    konten += std::stoll(c.konto);
    blzs += std::stoll(c.blz);
  }
  ERecord e;
  e.count = Digits(static_cast<std::int64_t>(cs.size()), 7);
  (a.currency == "1" ? e.euro : e.dm) = Digits(cents, 13);
  e.konto = Digits(konten, 17);
  e.blz = Digits(blzs, 17);
  return out + e.Bytes();
}

}  // namespace testdta
