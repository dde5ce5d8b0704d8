#pragma once
// Reads INI files the way the classic Windows profile functions do: sections and keys
// case-insensitive, the first match wins, values exactly as written (commas and
// backslashes are ordinary characters) except that blanks around them and one pair of
// enclosing quotes (" or ') are dropped, at most 2047 characters.
#include <cstddef>
#include <cstdint>
#include <string>

namespace support {

class TProfile {
 public:
  // The longest text value handed out.
  static constexpr std::size_t kMaxValueLength = 2047;

  // A missing or unreadable file behaves like an empty one; only its first 64 KiB are read.
  explicit TProfile(const std::string& fileName);

  // Windows-1252 bytes as written in the file.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Decimal with or without a sign, or hexadecimal after "0x", "0X" or "$"; anything else
  // gives the default.
  std::int32_t ReadInteger(const std::string& section, const std::string& key,
                           std::int32_t defaultValue) const;

 private:
  std::string content_;
};

}  // namespace support
