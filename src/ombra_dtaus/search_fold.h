#pragma once
// Texts as a search compares them, so that what a user types finds a payment however the file
// wrote it: "Müller" finds "M]LLER" (the DIN 66003 code a DTAUS file stores), "MÜLLER" and
// "MUELLER"; "Straße" finds "STRA~E" and "STRASSE"; a bank code typed "200 505 50" finds
// 20050550. Windows-1252 in and out, like every text of the document.
#include <string>
#include <string_view>

namespace ombra {

enum class TBlanks {
  Single,   // runs of blanks count as one, none at the ends: a word boundary stays one
  Ignored,  // every blank dropped: "RECHNUNG 12" and "RECHNUNG12" compare equal
};

// Letters in upper case (also the accented ones of Windows-1252); Ä, Ö, Ü and ß, in any case,
// as DIN 66003 codes ("[" "\" "]" "{" "|" "}" "~") or as spelled ("AE", "OE", "UE", "SS"),
// all become the spelling.
std::string FoldText(std::string_view text, TBlanks blanks = TBlanks::Single);
void AppendFoldedText(std::string& out, std::string_view text, TBlanks blanks = TBlanks::Single);

// A number field as compared: blanks dropped, every other byte kept.
std::string FoldDigits(std::string_view text);

// Whether the folded `text` holds the folded `needle`; an empty needle is found everywhere.
inline bool ContainsFolded(std::string_view text, std::string_view needle) {
  return text.find(needle) != std::string_view::npos;
}

}  // namespace ombra
