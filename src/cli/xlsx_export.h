#pragma once
// The payments as an Excel workbook through libxlsxwriter: a sheet "Zahlungen" with the columns
// of the CSV export (amounts as numbers in a currency format, codes and accounts as text) and
// a sheet "Datei" with the A and E records and the verdicts. Plain C++, for the command line
// and the viewer alike.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "check.h"
#include "dtaus.h"

namespace cli {

struct TXlsxContents {
  std::string FileName;                          // the DTAUS file, shown on "Datei"
  const ombra::TFileCheck* Check = nullptr;      // its check; no verdict shown without
  const ombra::TAccountChecks* Banks = nullptr;  // bank, place and account verdict per payment
  std::string DirectoryDate;                     // of the bank directory, with Banks
  // The payments on "Zahlungen", counted from 0, in this order and numbered as in the file (a
  // list sorted or filtered as a reader shows it); null for all, in the file's order.
  const std::vector<int>* Rows = nullptr;
  // Called every few thousand payments with the number written; false stops the export.
  std::function<bool(std::size_t)> Progress;
};

// Writes the workbook of a document to `path` (created or truncated; the caller puts
// it in place). A damaged document's payments read before the damage are written, "Datei"
// names the damage. False with a German `error` (UTF-8) that does not name the file, also when
// stopped through Progress.
bool WriteXlsx(const ombra::TDtaus& doc, const std::string& path, const TXlsxContents& contents,
               std::string& error);

}  // namespace cli
