#pragma once
// The loaded document as JSON, field names as in the document, texts in UTF-8.
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "bank_directory.h"
#include "check.h"
#include "dtaus.h"

namespace cli {

// Keeps the document's field order instead of sorting the keys.
using TJson = nlohmann::ordered_json;

TJson SatzAToJson(const ombra::TSatzA& a);
TJson SatzCToJson(const ombra::TSatzC& c);
TJson SatzEToJson(const ombra::TSatzE& e);

// dump(SatzCToJson(c)) without building the object: a million payments are exported at the
// speed they are read.
void AppendSatzCJson(std::string& out, const ombra::TSatzC& c);

// One JSON object, written piece by piece so a million payments never sit in memory as a JSON
// tree: one payment per line. After a failed load only {"ErrorText": ...} is written, the one
// field that is meaningful then; with `partial`, a damaged file (PartlyRead) also gets
// "Beschaedigung" (where and what, how much was read), "SatzA" and "SatzCList" as far as they
// were read, and "SatzE": null.
// Given `banks`, the sender and every payment also carry "BankName", "BankOrt" (null when the
// bank code is not in the directory) and "Kontopruefung": "gueltig", "ungueltig",
// "nicht_pruefbar" (the bank's method is not available) or "unbekannt" (bank code not in the
// directory); "Bankverzeichnis" closes the object with the day of the directory's data.
void WriteDocumentJson(const ombra::TDtaus& doc, const std::function<void(std::string_view)>& write,
                       const ombra::TAccountChecks* banks = nullptr, const std::string& directoryDate = {},
                       bool partial = false);

// WriteDocumentJson of the file `fileName` (with `banks` checked for every account), formatted
// from each record as it is read, without keeping the payments: the same bytes at the speed
// of the read. `doc` is left as Stream leaves it, for the messages about a damaged file.
void StreamDocumentJson(ombra::TDtaus& doc, const std::string& fileName, const ombra::TRegionalSettings& rs,
                        const std::function<void(std::string_view)>& write,
                        const ombra::TBankDirectory* banks = nullptr, bool partial = false);

// "YYYY-MM-DD", zero-padded.
std::string IsoDate(const ombra::TDate& date);

// A file name as printed (support::ShownText): control characters and bytes that are no
// UTF-8 escaped, so a name can neither forge a line nor pass for another name.
std::string FileNameToUtf8(const std::string& name);

// Sets "file" to the name as printed and, when that had to escape any byte, "file_bytes" to
// the name's exact bytes as numbers.
void AddFileJson(TJson& json, const std::string& name);

}  // namespace cli
