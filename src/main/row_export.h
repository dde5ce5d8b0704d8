#pragma once
// Writing payments of the shown file into the file a user named, as CSV or as an Excel
// workbook, through the command line's own routines: the same rows give the same bytes. Plain
// C++ on values nobody changes meanwhile, so a worker can run it.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "check.h"
#include "dtaus.h"
#include "regional.h"

namespace quandel {

enum class TExportFormat { Csv, Xlsx };

struct TExportJob {
  std::shared_ptr<const ombra::TDtaus> Document;
  // What the list shows the amounts with: the CSV's separators follow it.
  ombra::TRegionalSettings Regional;
  // The payments, counted from 0 in the file, in the order written.
  std::vector<int> Rows;
  TExportFormat Format = TExportFormat::Csv;
  // The DTAUS file as the workbook's sheet "Datei" names it, and what its load found.
  std::string SourceName;
  std::shared_ptr<const ombra::TFileCheck> Check;
};

// Writes the job's rows into `target` (opened, nothing written yet) and closes it, so that
// putting it in place only renames. Returns "" or a German sentence (UTF-8) saying why not,
// without the target's name. `progress` gets the rows written every few thousand rows; false
// stops the writing, which then returns a reason too.
std::string WriteExport(const TExportJob& job, support::TAtomicFile& target,
                        const std::function<bool(std::size_t)>& progress = {});

}  // namespace quandel
