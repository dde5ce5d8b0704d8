#include "sqlite_command.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "archive_db.h"
#include "archive_rows.h"
#include "archive_run.h"
#include "content_hash.h"
#include "folder_walk.h"
#include "json_export.h"
#include "numfmt.h"
#include "options.h"
#include "output.h"
#include "shown_text.h"

namespace cli {
namespace {

enum class TReadStatus { Passed, Known, Read };

struct TRead {
  TReadStatus Status = TReadStatus::Passed;
  std::optional<TPassed> Passed;  // skipped, vanished or unreadable
  std::string Name;               // as printed
  std::optional<TFileRow> Row;
  std::string Key;
  bool Ok = false;  // known files: in order when they were added
};

using TKnown = std::unordered_map<std::string, bool>;

TRead ReadOne(const TCandidate& file, const TKnown& known, const ombra::TRegionalSettings& rs) {
  TRead read;
  const TArchiveFile opened(file);
  if (opened.Passed()) {
    read.Passed = opened.Passed();
    return read;
  }
  const std::string source = opened.ReadPath();
  read.Name = FileNameToUtf8(file.Path);
  // Stored absolute, so a run from another folder finds the files it added before.
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(file.Path, ec);
  const std::string path = FileNameToUtf8(ec ? file.Path : absolute.lexically_normal().string());
  const auto identity = IdentifyFile(source);
  if (identity) {
    read.Key = FileKey(path, static_cast<std::int64_t>(identity->Size), identity->Hash);
    if (const auto it = known.find(read.Key); it != known.end()) {
      read.Status = TReadStatus::Known;
      read.Ok = it->second;
      return read;
    }
  }
  std::string error;
  read.Row = ReadFileRows(source, rs, error);
  if (!identity || !read.Row) {
    read.Row.reset();
    read.Passed =
        TPassed{file.Path, TPassedKind::Unreadable,
                error.empty() ? "Die Datei kann nicht gelesen werden" : support::ShownText(error), 0};
    return read;
  }
  read.Row->Pfad = path;
  read.Row->Groesse = static_cast<std::int64_t>(identity->Size);
  read.Row->Pruefwert = identity->Hash;
  read.Status = TReadStatus::Read;
  return read;
}

std::string Counted(std::int64_t n, const char* one, const char* many) {
  return ombra::GroupedNumber(n) + " " + (n == 1 ? one : many);
}

struct TCounts {
  std::int64_t Added = 0;
  std::int64_t Payments = 0;
  std::int64_t Known = 0;
  std::int64_t Discrepant = 0;
};

std::string Summary(const std::string& database, const TCounts& c, const TArchiveCounts& passed) {
  return database + ": " + Counted(c.Added, "Datei", "Dateien") + " aufgenommen (" +
         Counted(c.Payments, "Zahlung", "Zahlungen") + "), " + ombra::GroupedNumber(c.Known) +
         " schon darin, " + ombra::GroupedNumber(c.Discrepant) + " mit Abweichungen, " +
         ombra::GroupedNumber(passed.Unreadable) + " nicht lesbar, " + ombra::GroupedNumber(passed.Skipped) +
         " übersprungen" +
         (passed.Vanished > 0 ? ", " + ombra::GroupedNumber(passed.Vanished) + " verschwunden"
                              : std::string());
}

// False after a German message when the database named exists but may not be added to.
bool MayWrite(const std::string& path, bool& exists, std::ostream& err) {
  struct stat st {};
  exists = ::stat(path.c_str(), &st) == 0;
  if (!exists) return true;
  const std::string name = FileNameToUtf8(path);
  if (!S_ISREG(st.st_mode)) {
    err << "quandel-cli: " << name << " ist keine gewöhnliche Datei; dort kann keine Datenbank stehen.\n";
    return false;
  }
  std::string why;
  switch (InspectArchiveDb(path, why)) {
    case TDbCheck::Ours: return true;
    case TDbCheck::Foreign:
      err << "quandel-cli: Die Datei " << name
          << " ist keine Archivdatenbank von quandel-cli; sie bleibt unverändert.\n";
      return false;
    case TDbCheck::Unreadable:
      err << "quandel-cli: Die Datenbank " << name << " kann nicht gelesen werden: " << why << "\n";
      return false;
  }
  return false;
}

}  // namespace

int RunSqliteArchive(const TSqliteOptions& options, const ombra::TRegionalSettings& rs, std::ostream& err,
                     bool showProgress) {
  bool exists = false;
  if (!MayWrite(options.Database, exists, err)) return kExitUsage;
  TOutput output(options.Database);
  output.SetOwnerOnly();
  if (!output.Open() || output.TempPath().empty()) {
    err << "quandel-cli: "
        << (output.Error().empty() ? "Die Datenbank kann nicht angelegt werden" : output.Error()) << "\n";
    return kExitUsage;
  }
  TArchiveDb db;
  if (!db.Open(output.TempPath(), exists ? options.Database : std::string())) {
    err << "quandel-cli: " << db.Error() << "\n";
    return kExitUsage;
  }
  const TKnown known = db.KnownFiles();
  std::unordered_set<std::string> added;  // by this run: a file named twice goes in once

  TWalk walk = WalkPaths(options.Paths);
  TCounts counts;
  TArchiveTally tally(options.Verbose);
  bool written = true;
  TProgress progress(err, showProgress, walk.Files.size());
  // Read and checked in parallel; SQLite is written from this thread only.
  RunInOrder<TRead>(
      walk, JobCount(options.Jobs, walk), progress,
      [&](const TCandidate& file) { return ReadOne(file, known, rs); },
      [&](TRead&& read) {
        switch (read.Status) {
          case TReadStatus::Passed: tally.Passed(*read.Passed); return;
          case TReadStatus::Known:
            ++counts.Known;
            if (!read.Ok) ++counts.Discrepant;
            return;
          case TReadStatus::Read: break;
        }
        if (!written) return;
        if (!added.insert(read.Key).second) {
          ++counts.Known;
          if (!read.Row->Stimmig) ++counts.Discrepant;
          return;
        }
        if (!db.Add(*read.Row)) {
          written = false;
          return;
        }
        ++counts.Added;
        counts.Payments += read.Row->Anzahl;
        if (!read.Row->Stimmig) ++counts.Discrepant;
        if (read.Row->Lesefehler)
          tally.Problems.push_back(read.Name + ": beschädigt, " +
                                   Counted(read.Row->Anzahl, "Zahlung", "Zahlungen") +
                                   " davor aufgenommen: " + support::ShownText(*read.Row->Lesefehler));
      },
      [&](const TPassed& passed) { tally.Passed(passed); });
  for (const auto& problem : tally.Problems) err << "quandel-cli: " << problem << "\n";
  if (!written || !db.Close() || !output.Commit()) {
    err << "quandel-cli: " << (db.Error().empty() ? output.Error() : db.Error()) << "\n";
    err << "quandel-cli: " << FileNameToUtf8(options.Database)
        << (exists ? " bleibt unverändert.\n" : " wurde nicht angelegt.\n");
    return kExitUsage;
  }
  err << Summary(FileNameToUtf8(options.Database), counts, tally.Counts) << "\n";
  return counts.Discrepant + tally.Counts.Unreadable == 0 ? kExitOk : kExitFailed;
}

}  // namespace cli
