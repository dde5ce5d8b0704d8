#include "profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "cp1252.h"

namespace support {
namespace {

constexpr std::size_t kMaxFileLength = 64 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names given by the caller lose surrounding spaces only, as with the Windows functions.
std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// Only regular files are read: a folder, a pipe or a device in the file's place must not
// block or flood the start-up, and neither must a huge file: a settings file of a few keys
// never comes near the limit.
std::string ReadFileStart(const std::string& fileName) {
  std::string text;
  const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return text;
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    char buf[8192];
    for (ssize_t got; text.size() < kMaxFileLength &&
                      (got = read(fd, buf, std::min(sizeof buf, kMaxFileLength - text.size()))) > 0;)
      text.append(buf, static_cast<std::size_t>(got));
  }
  close(fd);
  return text;
}

// The raw value of the first matching key in the first matching section, or nothing.
std::optional<std::string_view> FindValue(std::string_view content, std::string_view section,
                                          std::string_view key) {
  bool inSection = false;
  std::size_t pos = 0;
  while (pos < content.size()) {
    std::size_t end = content.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = TrimBlanks(content.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      // A later section of the same name is never consulted.
      if (inSection) return std::nullopt;
      line.remove_prefix(1);
      line = TrimBlanks(line.substr(0, line.find(']')));
      inSection = SameName(line, section);
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (SameName(TrimBlanks(line.substr(0, eq)), key)) return TrimBlanks(line.substr(eq + 1));
  }
  return std::nullopt;
}

std::optional<std::int32_t> ParseInteger(std::string_view s) {
  bool hex = false;
  if (s.starts_with("0x") || s.starts_with("0X")) {
    hex = true;
    s.remove_prefix(2);
  } else if (s.starts_with("$")) {
    hex = true;
    s.remove_prefix(1);
  }
  bool negative = false;
  // A sign before decimal digits, either one, as the settings files written by hand have them.
  if (!hex && (s.starts_with("-") || s.starts_with("+"))) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  // Hexadecimal covers the full 32 bits, so "$FFFFFFFF" is -1; decimal must fit as it is.
  const std::uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
  std::uint64_t value = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  if (hex) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                  : static_cast<std::int32_t>(value);
}

}  // namespace

TProfile::TProfile(const std::string& fileName) : content_(ReadFileStart(fileName)) {}

std::string TProfile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  std::string_view text = content_;
  // Windows would break the first line on a UTF-8 mark; reading such a file as UTF-8 is the
  // friendlier choice, and the caller still gets Windows-1252.
  const bool utf8 = text.starts_with("\xEF\xBB\xBF");
  if (utf8) text.remove_prefix(3);
  const auto found = FindValue(text, TrimSpaces(section), TrimSpaces(key));
  if (!found) return defaultValue;
  std::string_view value = *found;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  std::string result = utf8 ? Utf8ToCp1252OrKeep(value) : std::string(value);
  if (result.size() > TProfile::kMaxValueLength) result.resize(TProfile::kMaxValueLength);
  return result;
}

std::int32_t TProfile::ReadInteger(const std::string& section, const std::string& key,
                                   std::int32_t defaultValue) const {
  return ParseInteger(ReadString(section, key, std::string())).value_or(defaultValue);
}

}  // namespace support
