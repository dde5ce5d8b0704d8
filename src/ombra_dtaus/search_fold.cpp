#include "search_fold.h"

#include <array>

namespace ombra {
namespace {

// What each byte becomes: up to two bytes; a zero second byte means one.
struct TFolded {
  char First = 0;
  char Second = 0;
};

constexpr std::array<TFolded, 256> MakeTable() {
  std::array<TFolded, 256> table{};
  for (std::size_t b = 0; b < table.size(); ++b) table[b].First = static_cast<char>(b);
  for (std::size_t b = 'a'; b <= 'z'; ++b) table[b].First = static_cast<char>(b - 'a' + 'A');
  // Windows-1252 lower-case letters à..þ (but not ÷) and š, œ, ž, ÿ.
  for (std::size_t b = 0xE0; b <= 0xFE; ++b)
    if (b != 0xF7) table[b].First = static_cast<char>(b - 0x20);
  table[0x9A].First = '\x8A';
  table[0x9C].First = '\x8C';
  table[0x9E].First = '\x8E';
  table[0xFF].First = '\x9F';
  const auto spell = [&table](unsigned b, char first, char second) { table[b] = {first, second}; };
  for (const unsigned b : {0xC4u, 0xE4u, 0x5Bu, 0x7Bu}) spell(b, 'A', 'E');  // Ä ä [ {
  for (const unsigned b : {0xD6u, 0xF6u, 0x5Cu, 0x7Cu}) spell(b, 'O', 'E');  // Ö ö \ |
  for (const unsigned b : {0xDCu, 0xFCu, 0x5Du, 0x7Du}) spell(b, 'U', 'E');  // Ü ü ] }
  for (const unsigned b : {0xDFu, 0x7Eu}) spell(b, 'S', 'S');                // ß ~
  return table;
}

constexpr std::array<TFolded, 256> kTable = MakeTable();

}  // namespace

void AppendFoldedText(std::string& out, std::string_view text, TBlanks blanks) {
  // With single blanks, a blank is written only once a letter follows it.
  bool blankPending = false;
  const std::size_t start = out.size();
  for (char c : text) {
    if (c == ' ') {
      blankPending = blanks == TBlanks::Single && out.size() > start;
      continue;
    }
    if (blankPending) {
      out += ' ';
      blankPending = false;
    }
    const TFolded folded = kTable[static_cast<unsigned char>(c)];
    out += folded.First;
    if (folded.Second != 0) out += folded.Second;
  }
}

std::string FoldText(std::string_view text, TBlanks blanks) {
  std::string out;
  out.reserve(text.size() + 8);
  AppendFoldedText(out, text, blanks);
  return out;
}

std::string FoldDigits(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ' ') out += c;
  return out;
}

}  // namespace ombra
