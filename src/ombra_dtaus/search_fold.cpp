#include "search_fold.h"

#include <algorithm>
#include <array>

#include "amounts.h"

namespace ombra {
namespace {

// What each byte becomes: up to two bytes; a zero second byte means one. Blanks are marked
// apart, as they fold by the run.
struct TFolded {
  char First = 0;
  char Second = 0;
  bool Blank = false;
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
  const auto spell = [&table](unsigned b, char first, char second) { table[b] = {first, second, false}; };
  for (const unsigned b : {0xC4u, 0xE4u, 0x5Bu, 0x7Bu}) spell(b, 'A', 'E');  // Ä ä [ {
  for (const unsigned b : {0xD6u, 0xF6u, 0x5Cu, 0x7Cu}) spell(b, 'O', 'E');  // Ö ö \ |
  for (const unsigned b : {0xDCu, 0xFCu, 0x5Du, 0x7Du}) spell(b, 'U', 'E');  // Ü ü ] }
  for (const unsigned b : {0xDFu, 0x7Eu}) spell(b, 'S', 'S');                // ß ~
  for (const unsigned b : {0x20u, 0x09u, 0x0Au, 0x0Du, 0x0Cu}) table[b] = {' ', 0, true};
  return table;
}

constexpr std::array<TFolded, 256> kTable = MakeTable();

// Folds `text` onto `out`; with `from`, also where in `text` each byte written came from.
void Fold(std::string& out, std::string_view text, TBlanks blanks, std::vector<std::size_t>* from) {
  // With single blanks, a blank is written only once a letter follows it.
  bool blankPending = false;
  std::size_t blankAt = 0;
  const std::size_t start = out.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const TFolded folded = kTable[static_cast<unsigned char>(text[i])];
    if (folded.Blank) {
      if (!blankPending) blankAt = i;
      blankPending = blanks == TBlanks::Single && out.size() > start;
      continue;
    }
    if (blankPending) {
      out += ' ';
      if (from != nullptr) from->push_back(blankAt);
      blankPending = false;
    }
    out += folded.First;
    if (from != nullptr) from->push_back(i);
    if (folded.Second != 0) {
      out += folded.Second;
      if (from != nullptr) from->push_back(i);
    }
  }
}

}  // namespace

void AppendFoldedText(std::string& out, std::string_view text, TBlanks blanks) {
  Fold(out, text, blanks, nullptr);
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

std::vector<TTextRange> FoldedMatches(std::string_view text, std::string_view needle, TBlanks blanks) {
  std::vector<TTextRange> ranges;
  if (needle.empty()) return ranges;
  std::string folded;
  std::vector<std::size_t> from;
  folded.reserve(text.size() + 8);
  from.reserve(text.size() + 8);
  Fold(folded, text, blanks, &from);
  for (std::size_t at = folded.find(needle); at != std::string::npos;
       at = folded.find(needle, at + needle.size())) {
    const TTextRange range{from[at], from[at + needle.size() - 1] + 1};
    // Matches that share a letter folded to two become one range.
    if (!ranges.empty() && ranges.back().Last > range.First)
      ranges.back().Last = std::max(ranges.back().Last, range.Last);
    else
      ranges.push_back(range);
  }
  return ranges;
}

TSearchNeedle MakeSearchNeedle(std::string_view typed) {
  std::string kept;
  kept.reserve(typed.size());
  for (const char c : typed)
    if (static_cast<unsigned char>(c) >= 0x20 && c != '\x7F') kept += c;
  TSearchNeedle needle;
  needle.Text = FoldText(kept);
  if (needle.Text.empty()) return needle;
  const bool number = std::all_of(kept.begin(), kept.end(), [](char c) { return c == ' ' || (c >= '0' && c <= '9'); });
  if (number && needle.Text.find(' ') != std::string::npos) needle.Digits = FoldText(kept, TBlanks::Ignored);
  needle.Cents = ParseTypedCents(FoldText(kept, TBlanks::Ignored));
  return needle;
}

}  // namespace ombra
