#pragma once
// Texts as a search compares them, so that what a user types finds a payment however the file
// wrote it: "Müller" finds "M]LLER" (the DIN 66003 code a DTAUS file stores), "MÜLLER" and
// "MUELLER"; "Straße" finds "STRA~E" and "STRASSE"; a bank code typed "20050550" finds the
// shown "200 505 50"; "1250" finds the amount 1.250,00. Windows-1252 in and out, like every
// text of the document. The viewer's find and filter and the command line's find all fold here.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombra {

enum class TBlanks {
  Single,   // runs of blanks count as one, none at the ends: a word boundary stays one
  Ignored,  // every blank dropped: "RECHNUNG 12" and "RECHNUNG12" compare equal
};

// Letters in upper case (also the accented ones of Windows-1252); Ä, Ö, Ü and ß, in any case,
// as DIN 66003 codes ("[" "\" "]" "{" "|" "}" "~") or as spelled ("AE", "OE", "UE", "SS"),
// all become the spelling. Blanks are what a browser takes for them: space, tab, line breaks.
std::string FoldText(std::string_view text, TBlanks blanks = TBlanks::Single);
void AppendFoldedText(std::string& out, std::string_view text, TBlanks blanks = TBlanks::Single);

// A number field as compared: blanks dropped, every other byte kept.
std::string FoldDigits(std::string_view text);

// Whether the folded `text` holds the folded `needle`; an empty needle is found everywhere.
inline bool ContainsFolded(std::string_view text, std::string_view needle) {
  return text.find(needle) != std::string_view::npos;
}

// Bytes [First, Last) of an unfolded text.
struct TTextRange {
  std::size_t First = 0;
  std::size_t Last = 0;
  bool operator==(const TTextRange&) const = default;
};
// Where the folded `needle` stands in `text` once folded, as ranges of `text` itself, in order
// and apart: what a view marks of a hit. A match that begins or ends inside a letter folded to
// two ("]" as "UE") takes the whole letter.
std::vector<TTextRange> FoldedMatches(std::string_view text, std::string_view needle,
                                      TBlanks blanks = TBlanks::Single);

// A search as typed into a find or a filter, compared against the fields of a payment.
struct TSearchNeedle {
  // The text folded: found in any field.
  std::string Text;
  // A number typed with blanks ("200 505 50"), without them: found in bank codes and accounts,
  // which are compared without theirs. Empty otherwise.
  std::string Digits;
  // The amount the text reads as ("1250", "1.250,00", "1250.00"); the payment's amount must
  // be this, not merely hold its digits.
  std::optional<std::int64_t> Cents;

  bool empty() const { return Text.empty(); }
  bool operator==(const TSearchNeedle&) const = default;
};
// `typed` in Windows-1252; control characters are dropped.
TSearchNeedle MakeSearchNeedle(std::string_view typed);

}  // namespace ombra
