#include "archive_list.h"

#include <algorithm>
#include <charconv>
#include <new>
#include <utility>
#include <vector>

#include "archive_check.h"
#include "archive_run.h"
#include "bank_directory.h"
#include "cents.h"
#include "check.h"
#include "cp1252.h"
#include "csv_export.h"
#include "json_export.h"
#include "numfmt.h"
#include "shown_text.h"
#include "umlauts.h"

namespace cli {

std::string KindOfBatch(std::string_view code) {
  if (code == "GK" || code == "GB") return "Gutschriften";
  if (code == "LK" || code == "LB") return "Lastschriften";
  return support::ShownCp1252(code);
}

namespace {

constexpr std::size_t kExecutionAt = 95;
constexpr std::size_t kExecutionLength = 8;

}  // namespace

std::optional<ombra::TDate> ExecutionDateOf(std::string_view satzA) {
  if (satzA.size() < kExecutionAt + kExecutionLength) return std::nullopt;
  const std::string_view field = satzA.substr(kExecutionAt, kExecutionLength);
  if (!std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const auto number = [&field](std::size_t at, std::size_t n) {
    int value = 0;
    std::from_chars(field.data() + at, field.data() + at + n, value);
    return value;
  };
  const ombra::TDate date{number(4, 4), number(2, 2), number(0, 2)};
  if (!ombra::IsValidDate(date.Year, date.Month, date.Day)) return std::nullopt;
  return date;
}

std::string ExecutionDate(std::string_view satzA, const ombra::TRegionalSettings& rs) {
  if (satzA.size() < kExecutionAt + kExecutionLength) return {};
  if (const auto date = ExecutionDateOf(satzA)) return ombra::FormatDate(*date, rs.ShortDateFormat);
  const std::string_view field = satzA.substr(kExecutionAt, kExecutionLength);
  if (field.find_first_not_of(' ') == std::string_view::npos) return {};
  return support::ShownCp1252(field);
}

namespace {

// One file of the catalogue, its texts in UTF-8.
struct TEntry {
  TFileStatus Status = TFileStatus::Skipped;
  std::string Problem;
  std::string Path;
  std::string Kind;
  std::string Date;  // empty when the A record was not read
  std::string IsoDate;
  std::string Execution;
  std::string Name;
  std::string Blz;
  std::string Konto;
  std::string Reference;
  std::string Currency;
  std::int64_t Payments = 0;
  std::optional<std::int64_t> Cents;
  std::string Accounts;  // with --accounts, for loaded files
  std::int64_t Size = -1;
};

// The worst of the account check's counts: a wrong check digit makes the file's accounts
// "ungültig"; unknown bank codes and methods the directory lacks "nicht alle prüfbar".
std::string AccountsVerdict(const ombra::TFileCheck& check) {
  const ombra::TAccountTally& tally = check.Accounts;
  if (tally.WrongCheckDigit > 0) return "ungültig";
  return tally.UnknownBankCodes > 0 || tally.NotCheckable > 0 ? "nicht alle prüfbar" : "gültig";
}

// Path stays empty for a file that gets no row: skipped or vanished.
TEntry ReadEntry(const TCandidate& file, const ombra::TBankDirectory* banks,
                 const ombra::TRegionalSettings& rs) {
  TEntry entry;
  const TArchiveFile opened(file);
  entry.Size = opened.Size();
  if (const auto& passed = opened.Passed()) {
    entry.Status = StatusOf(passed->Kind);
    entry.Problem = PassedText(passed->Path, passed->Kind, passed->Reason);
    if (entry.Status == TFileStatus::Unreadable) entry.Path = file.Path;
    return entry;
  }
  entry.Path = file.Path;
  ombra::TDtaus doc;
  ombra::TFileCheck check = ombra::LoadAndCheck(doc, opened.ReadPath(), rs);
  entry.Problem = LoadProblem(file.Path, doc);
  if (check.SatzABytes.size() >= 7) {
    const ombra::TSatzA& a = *doc.SatzA;
    entry.Kind = KindOfBatch(std::string_view(check.SatzABytes).substr(5, 2));
    if (a.Datum.Year != 0) {
      entry.Date = ombra::FormatDate(a.Datum, rs.ShortDateFormat);
      entry.IsoDate = IsoDate(a.Datum);
    }
    entry.Execution = ExecutionDate(check.SatzABytes, rs);
    entry.Name = ShownField(a.Name);
    entry.Blz = support::ShownCp1252(a.BLZ);
    entry.Konto = support::ShownCp1252(a.Konto);
    entry.Reference = ShownField(a.Referenz);
    entry.Currency = ombra::CurrencyText(a.Euro);
  }
  entry.Payments = static_cast<std::int64_t>(doc.SatzCList.size());
  std::int64_t cents = 0;
  bool exact = true;
  for (const ombra::TSatzC& c : doc.SatzCList) {
    const auto one = ToCents(c.Betrag);
    exact = exact && one && AddCents(cents, *one);
  }
  if (exact) entry.Cents = cents;
  if (!check.Loaded) {
    entry.Status = TFileStatus::Unreadable;
    return entry;
  }
  entry.Status = check.Ok() ? TFileStatus::Ok : TFileStatus::Discrepant;
  if (banks != nullptr) {
    ombra::AddAccountFindings(check, doc, ombra::CheckAccounts(doc, *banks), banks->DataDate());
    entry.Accounts = AccountsVerdict(check);
  }
  return entry;
}

// Out of memory ends the file as unreadable, not the run.
TEntry EntryOf(const TCandidate& file, const ombra::TBankDirectory* banks,
               const ombra::TRegionalSettings& rs) {
  try {
    return ReadEntry(file, banks, rs);
  } catch (const std::bad_alloc&) {
    TEntry entry;
    entry.Status = TFileStatus::Unreadable;
    entry.Path = file.Path;
    entry.Problem = PassedText(file.Path, TPassedKind::Unreadable, kOutOfMemory);
    return entry;
  }
}

const char* VerdictText(TFileStatus status) {
  switch (status) {
    case TFileStatus::Ok: return "stimmig";
    case TFileStatus::Discrepant: return "Abweichungen";
    default: return "nicht lesbar";
  }
}

std::string Amount(const TEntry& entry, const ombra::TRegionalSettings& rs) {
  if (!entry.Cents) return "nicht darstellbar";
  return support::Cp1252ToUtf8(ombra::FormatAmount(static_cast<double>(*entry.Cents) / 100.0, rs));
}

std::string TextLine(const TEntry& e, bool accounts, const ombra::TRegionalSettings& rs) {
  std::string line = FileNameToUtf8(e.Path);
  for (const std::string* field :
       {&e.Kind, &e.Date, &e.Execution, &e.Name, &e.Blz, &e.Konto, &e.Reference, &e.Currency})
    line += '\t' + *field;
  line += '\t' + ombra::GroupedNumber(e.Payments) + '\t' + Amount(e, rs) + '\t' + VerdictText(e.Status);
  if (accounts) line += '\t' + e.Accounts;
  return line + '\t' + (e.Size >= 0 ? ombra::GroupedNumber(e.Size) : std::string()) + '\n';
}

std::string JsonLine(const TEntry& e, bool accounts) {
  const auto textOrNull = [](const std::string& text) { return text.empty() ? TJson(nullptr) : TJson(text); };
  TJson json;
  AddFileJson(json, e.Path);
  json.update(
      TJson{{"kind", textOrNull(e.Kind)},
            {"date", textOrNull(e.IsoDate)},
            {"execution", textOrNull(e.Execution)},
            {"name", e.Name},
            {"blz", e.Blz},
            {"konto", e.Konto},
            {"reference", e.Reference},
            {"currency", textOrNull(e.Currency)},
            {"payments", e.Payments},
            {"cents", e.Cents ? TJson(*e.Cents) : TJson(nullptr)},
            {"consistent",
             e.Status == TFileStatus::Unreadable ? TJson(nullptr) : TJson(e.Status == TFileStatus::Ok)}});
  if (accounts) json["accounts"] = textOrNull(e.Accounts);
  json["size"] = e.Size >= 0 ? TJson(e.Size) : TJson(nullptr);
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

class TCsvList {
 public:
  TCsvList(bool accounts, const ombra::TRegionalSettings& rs)
      : accounts_(accounts), sep_(CsvSeparator(rs)), decimal_(rs.DecimalSeparator) {}

  std::string Header() const {
    std::string out = "\xEF\xBB\xBF";
    bool first = true;
    for (const char* title : {"Datei", "Art", "Datum", "Ausführung", "Absender", "BLZ", "Konto", "Referenz",
                              "Währung", "Anzahl", "Summe", "Prüfung", "Konten", "Größe"}) {
      if (!accounts_ && std::string_view(title) == "Konten") continue;
      if (!first) out += sep_;
      out += title;
      first = false;
    }
    return out + "\r\n";
  }

  std::string Row(const TEntry& e) const {
    std::string out;
    AppendCsvField(out, NeutraliseFormula(FileNameToUtf8(e.Path)), sep_);
    for (const std::string* field :
         {&e.Kind, &e.Date, &e.Execution, &e.Name, &e.Blz, &e.Konto, &e.Reference, &e.Currency})
      Field(out, NeutraliseFormula(*field));
    Field(out, std::to_string(e.Payments));
    std::string amount;
    if (e.Cents) AppendPlainAmount(amount, static_cast<double>(*e.Cents) / 100.0, decimal_);
    Field(out, amount);
    Field(out, VerdictText(e.Status));
    if (accounts_) Field(out, e.Accounts);
    Field(out, e.Size >= 0 ? std::to_string(e.Size) : std::string());
    return out + "\r\n";
  }

 private:
  void Field(std::string& out, std::string_view text) const {
    out += sep_;
    AppendCsvField(out, text, sep_);
  }

  bool accounts_;
  char sep_;
  char decimal_;
};

}  // namespace

int RunList(const TInvocation& invocation, const ombra::TBankDirectory* banks,
            const ombra::TRegionalSettings& rs, std::ostream& err, bool showProgress) {
  TWalk walk = WalkPaths(invocation.Paths);
  TArchiveTally tally(invocation.Verbose);
  std::vector<std::pair<std::string, std::string>> rows;  // path, text
  const TCsvList csv(banks != nullptr, rs);
  TProgress progress(err, showProgress, walk.Files.size());
  RunInOrder<TEntry>(
      walk, JobCount(invocation.Jobs, walk), progress,
      [&](const TCandidate& file) { return EntryOf(file, banks, rs); },
      [&](TEntry&& entry) {
        tally.File(entry.Status, std::move(entry.Problem));
        if (entry.Path.empty()) return;
        std::string row = invocation.Json  ? JsonLine(entry, banks != nullptr)
                          : invocation.Csv ? csv.Row(entry)
                                           : TextLine(entry, banks != nullptr, rs);
        rows.emplace_back(std::move(entry.Path), std::move(row));
      },
      [&](const TPassed& passed) { tally.Passed(passed); });
  // The walk keeps the order of the paths given; the catalogue is sorted as a whole.
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  TOutput output("");
  output.Open();
  if (invocation.Csv) output.Write(csv.Header());
  for (const auto& row : rows) output.Write(row.second);
  const TArchiveCounts& counts = tally.Counts;
  const int exitCode = counts.Discrepant + counts.Unreadable == 0 ? kExitOk : kExitFailed;
  return FinishArchiveRun(output, tally.Problems, err, exitCode, SummaryLine(counts));
}

}  // namespace cli
