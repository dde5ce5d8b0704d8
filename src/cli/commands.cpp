#include "commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive_check.h"
#include "archive_duplicates.h"
#include "archive_find.h"
#include "archive_list.h"
#include "bank_directory.h"
#include "check.h"
#include "check_report.h"
#include "cp1252.h"
#include "csv_export.h"
#include "dtaus.h"
#include "json_export.h"
#include "output.h"
#include "product.h"
#include "sqlite_command.h"
#include "xlsx_export.h"

namespace cli {
namespace {

// The reason of a failed load, in the words `check` uses.
std::string LoadFailedText(const std::string& fileName, const ombra::TDtaus& doc) {
  std::string text;
  for (const std::string& line : LoadFailureLines(fileName, doc.LoadError, doc.Damage))
    text += "quandel-cli: " + line + "\n";
  return text;
}

// --partial on a damaged file: what was read is written; the output says it is a part.
bool WritesPartly(const TInvocation& invocation, const ombra::TDtaus& doc) {
  return invocation.Partial && doc.LoadFailed() && ombra::PartlyRead(doc.Damage);
}

std::string PartialText() {
  return "quandel-cli: Ausgegeben ist nur, was vor dem Schaden gelesen wurde (--partial).\n";
}

// Without --partial a damaged file's export holds no payment; where some were read before the
// damage, the user learns how to get them.
std::string PartialHint(const TInvocation& invocation, const ombra::TDtaus& doc) {
  if (invocation.Partial || !doc.LoadFailed() || !ombra::PartlyRead(doc.Damage)) return {};
  return "quandel-cli: Mit --partial wird ausgegeben, was vor dem Schaden gelesen wurde.\n";
}

// Reading and writing the same file would destroy the input before it is read in full.
bool RefuseSameFile(const TInvocation& invocation, std::ostream& err) {
  if (invocation.Output.empty() || !IsSameFile(invocation.File, invocation.Output)) return false;
  err << "quandel-cli: Die Ausgabedatei " << FileNameToUtf8(invocation.Output)
      << " ist die gelesene Datei selbst; sie wird nicht überschrieben.\n";
  return true;
}

// Writes `produce`'s bytes to the invocation's output; false after a German message.
template <typename Producer>
bool WriteOutput(const std::string& path, std::ostream& err, Producer&& produce) {
  TOutput output(path);
  if (output.Open()) {
    produce(output);
    if (output.Commit()) return true;
  }
  err << "quandel-cli: " << output.Error() << "\n";
  return false;
}

bool OpenBanks(std::unique_ptr<ombra::TBankDirectory>& banks, std::ostream& err) {
  banks = ombra::OpenSystemBankDirectory();
  if (banks) return true;
  err << "quandel-cli: Das Bankverzeichnis (ktoblzcheck) ist nicht installiert oder nicht "
         "lesbar; Konten können so nicht geprüft werden.\n";
  return false;
}

}  // namespace

int Run(const TInvocation& invocation, std::ostream& err) {
  ombra::TRegionalSettings rs;
  if (invocation.Locale) {
    const auto named = ombra::RegionalSettingsByName(*invocation.Locale);
    if (!named) {
      err << "quandel-cli: Unbekannte Regionaleinstellung „" << FileNameToUtf8(*invocation.Locale)
          << "“; möglich sind de_DE und en_US.\nHilfe: quandel-cli --help\n";
      return kExitUsage;
    }
    rs = *named;
  } else {
    rs = ombra::RegionalSettingsFromEnvironment();
  }
  switch (invocation.Command) {
    case TCommand::Html: return RunHtml(invocation, rs, err);
    case TCommand::Json: return RunJson(invocation, rs, err);
    case TCommand::Csv: return RunCsv(invocation, rs, err);
    case TCommand::Check: return RunCheck(invocation, rs, err);
    case TCommand::Find: return RunFind(invocation, rs, err, ::isatty(STDERR_FILENO) == 1);
    case TCommand::Duplicates: return RunDuplicates(invocation, rs, err, ::isatty(STDERR_FILENO) == 1);
    case TCommand::List: {
      std::unique_ptr<ombra::TBankDirectory> banks;
      if (invocation.Accounts && !OpenBanks(banks, err)) return kExitUsage;
      return RunList(invocation, banks.get(), rs, err, ::isatty(STDERR_FILENO) == 1);
    }
    case TCommand::Sqlite: return RunSqlite(invocation, rs, err);
    case TCommand::Xlsx: return RunXlsx(invocation, rs, err);
  }
  return kExitUsage;
}

int RunHtml(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err) {
  if (RefuseSameFile(invocation, err)) return kExitUsage;
  ombra::TDtaus doc;
  doc.Load(invocation.File, rs);
  // Streamed: a page of a million payments need not be held in memory as well.
  const bool written = WriteOutput(invocation.Output, err, [&](TOutput& output) {
    doc.RenderControlList(
        [&output](std::string&& line) {
          output.Write(line);
          output.Write("\r\n");
        },
        support::FooterText(), rs);
  });
  if (!written) return kExitUsage;
  if (doc.LoadFailed()) {
    err << LoadFailedText(invocation.File, doc);
    return kExitFailed;
  }
  return kExitOk;
}

int RunJson(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err) {
  std::unique_ptr<ombra::TBankDirectory> banks;
  if (invocation.Banks && !OpenBanks(banks, err)) return kExitUsage;
  ombra::TDtaus doc;
  const bool written = WriteOutput("", err, [&](TOutput& output) {
    StreamDocumentJson(
        doc, invocation.File, rs, [&output](std::string_view bytes) { output.Write(bytes); }, banks.get(),
        invocation.Partial);
  });
  if (!written) return kExitUsage;
  if (doc.LoadFailed()) {
    err << LoadFailedText(invocation.File, doc) << PartialHint(invocation, doc);
    if (WritesPartly(invocation, doc)) err << PartialText();
    return kExitFailed;
  }
  return kExitOk;
}

int RunCsv(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err) {
  if (RefuseSameFile(invocation, err)) return kExitUsage;
  std::unique_ptr<ombra::TBankDirectory> banks;
  if (invocation.Banks && !OpenBanks(banks, err)) return kExitUsage;
  TOutput output(invocation.Output);
  const auto open = [&output, &err] {
    if (output.Open()) return true;
    err << "quandel-cli: " << output.Error() << "\n";
    return false;
  };
  const auto write = [&output](std::string_view bytes) { output.Write(bytes); };
  // A named file is written through a copy that is put in place only when complete: the rows
  // go there as they are read, without holding them, and the copy of a damaged file is
  // dropped. Standard output, a device or a pipe gets nothing until the read is over.
  const bool named = !invocation.Output.empty();
  if (named && !open()) return kExitUsage;
  const bool direct = named && !output.WritesInPlace();
  ombra::TDtaus doc;
  THeldOutput held;
  if (direct) {
    WriteCsvHeader(rs, banks != nullptr, write);
    TBlockWriter rows(write);
    StreamCsvRows(doc, invocation.File, rs, banks.get(), rows);
  } else {
    StreamCsvRows(doc, invocation.File, rs, banks.get(), held);
  }
  const bool partly = WritesPartly(invocation, doc);
  if (doc.LoadFailed() && !partly) {
    // A table of nothing would pass for an empty batch; an earlier export stays as it was.
    err << LoadFailedText(invocation.File, doc) << PartialHint(invocation, doc);
    return kExitFailed;
  }
  if (!named && !open()) return kExitUsage;
  if (!direct) {
    WriteCsvHeader(rs, banks != nullptr, write);
    held.WriteTo(write);
  }
  if (partly) WriteCsvDamageRow(doc, rs, write);
  if (!output.Commit()) {
    err << "quandel-cli: " << output.Error() << "\n";
    return kExitUsage;
  }
  if (partly) {
    err << LoadFailedText(invocation.File, doc) << PartialText();
    return kExitFailed;
  }
  return kExitOk;
}

int RunCheck(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err) {
  std::unique_ptr<ombra::TBankDirectory> banks;
  if (invocation.Accounts && !OpenBanks(banks, err)) return kExitUsage;
  TArchiveOptions options;
  options.Json = invocation.Json;
  options.Banks = banks.get();
  options.Jobs = invocation.Jobs;  // 0: chosen by the files' sizes and the memory
  options.Verbose = invocation.Verbose;

  // One file named alone gets the full report of every comparison; a name that cannot even
  // be looked at (a link loop, too long) gets it too, with the reason and exit code 1.
  struct stat st {};
  const bool single = invocation.Paths.size() == 1 && !invocation.Json &&
                      !(::stat(invocation.Paths.front().c_str(), &st) == 0 && S_ISDIR(st.st_mode));
  if (!single) return RunArchiveCheck(invocation.Paths, options, rs, err, ::isatty(STDERR_FILENO) == 1);

  const std::string& file = invocation.Paths.front();
  ombra::TDtaus doc;
  ombra::TFileCheck check = ombra::LoadAndCheck(doc, file, rs);
  if (banks && check.Loaded)
    ombra::AddAccountFindings(check, doc, ombra::CheckAccounts(doc, *banks), banks->DataDate());
  const TCheckReport report = FormatCheckReport(file, check);
  std::string text;
  for (const auto& line : report.Lines) text += line + "\n";
  if (!WriteOutput("", err, [&text](TOutput& output) { output.Write(text); })) return kExitUsage;
  return check.Ok() ? kExitOk : kExitFailed;
}

int RunSqlite(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err) {
  const TSqliteOptions options{invocation.Output, invocation.Paths, invocation.Jobs, invocation.Verbose};
  return RunSqliteArchive(options, rs, err, ::isatty(STDERR_FILENO) == 1);
}

int RunXlsx(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err) {
  if (RefuseSameFile(invocation, err)) return kExitUsage;
  std::unique_ptr<ombra::TBankDirectory> banks;
  if (invocation.Banks && !OpenBanks(banks, err)) return kExitUsage;
  ombra::TDtaus doc;
  const ombra::TFileCheck check = ombra::LoadAndCheck(doc, invocation.File, rs);
  if (doc.LoadFailed()) {
    err << LoadFailedText(invocation.File, doc);
    return kExitFailed;
  }
  const auto accounts = banks ? std::optional(ombra::CheckAccounts(doc, *banks)) : std::nullopt;
  TXlsxContents contents;
  contents.FileName = invocation.File;
  contents.Check = &check;
  contents.Banks = accounts ? &*accounts : nullptr;
  if (banks) contents.DirectoryDate = banks->DataDate();
  // libxlsxwriter writes by name: into the private temporary file, put in place when complete.
  TOutput output(invocation.Output);
  output.SetOwnerOnly();
  std::string error;
  if (!output.Open()) {
    error = output.Error();
  } else if (output.TempPath().empty()) {
    error = "Die Arbeitsmappe kann nur in eine gewöhnliche Datei geschrieben werden, nicht nach " +
            FileNameToUtf8(invocation.Output);
  } else if (!WriteXlsx(doc, output.TempPath(), contents, error)) {
    error = FileNameToUtf8(invocation.Output) + ": " + error;
  } else if (!output.Commit()) {
    error = output.Error();
  }
  if (error.empty()) return kExitOk;
  err << "quandel-cli: " << error << "\n";
  return kExitUsage;
}

}  // namespace cli
