#pragma once
// Reads a workbook back for tests: one member of the zip through unzip, and a cell of a sheet
// in the form libxlsxwriter writes it (numbers as <v>, texts inline).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <regex>
#include <string>
#include <utility>

namespace testdta {

inline std::string Unzip(const std::string& archive, const std::string& member) {
  const std::string command = "unzip -p '" + archive + "' '" + member + "'";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string bytes;
  char chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) bytes.append(chunk, n);
  EXPECT_EQ(::pclose(pipe), 0) << command;
  return bytes;
}

struct TCell {
  std::string Type;  // "n" for numbers, the t attribute otherwise
  std::string Value;
  bool operator==(const TCell&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const TCell& cell) {
  return out << cell.Type << ":" << cell.Value;
}

inline std::string Unescaped(std::string text) {
  for (const auto& [entity, plain] :
       {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
    for (std::size_t at; (at = text.find(entity)) != std::string::npos;)
      text.replace(at, std::strlen(entity), plain);
  return text;
}

inline TCell Cell(const std::string& sheet, const std::string& ref) {
  const std::regex cell(
      "<c r=\"" + ref +
      "\"(?: s=\"\\d+\")?(?: t=\"(\\w+)\")?>(?:<v>([^<]*)</v>|<is><t[^>]*>([^<]*)</t></is>)</c>");
  std::smatch m;
  if (!std::regex_search(sheet, m, cell)) return {"fehlt", ""};
  return {m[1].matched ? m[1].str() : "n", Unescaped(m[2].matched ? m[2].str() : m[3].str())};
}

}  // namespace testdta
