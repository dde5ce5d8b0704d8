#include "archive_check.h"

#include "check.h"
#include "cp1252.h"
#include "json_export.h"
#include "options.h"
#include "output.h"

namespace cli {
namespace {

using ombra::TFindingKind;
using ombra::TSeverity;

const char* KindName(TFindingKind kind) {
  switch (kind) {
    case TFindingKind::FieldCheck: return "field";
    case TFindingKind::Count: return "count";
    case TFindingKind::Total: return "total";
    case TFindingKind::CheckSum: return "checksum";
    case TFindingKind::Trailer: return "trailer";
    case TFindingKind::Account: return "account";
  }
  return "";
}

TJson FindingToJson(const ombra::TFinding& f) {
  using support::Cp1252ToUtf8;
  TJson json = {{"severity", f.Severity == TSeverity::Error ? "error" : "warning"},
                {"kind", KindName(f.Kind)}};
  json["record"] = f.Record != 0 ? TJson(std::string(1, f.Record)) : TJson(nullptr);
  json["payment"] = f.Payment > 0 ? TJson(f.Payment) : TJson(nullptr);
  json["field"] = Cp1252ToUtf8(f.Field);
  json["expected"] = Cp1252ToUtf8(f.Expected);
  json["found"] = Cp1252ToUtf8(f.Found);
  json["text"] = Cp1252ToUtf8(f.Text);
  return json;
}

std::string JsonLine(const std::string& file, const ombra::TFileCheck& check, std::size_t payments) {
  TJson json = {{"file", FileNameToUtf8(file)}, {"ok", check.Ok()}};
  if (check.Loaded)
    json["payments"] = payments;
  else
    json["error"] = support::Cp1252ToUtf8(check.LoadError);
  TJson findings = TJson::array();
  for (const auto& finding : check.Findings)
    if (finding.Severity != TSeverity::None) findings.push_back(FindingToJson(finding));
  json["findings"] = std::move(findings);
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string TextLine(const std::string& file, const ombra::TFileCheck& check) {
  std::string line = FileNameToUtf8(file) + ": ";
  if (!check.Loaded)
    line += "nicht lesbar: " + support::Cp1252ToUtf8(check.LoadError);
  else if (const auto* problem = check.FirstProblem())
    line += support::Cp1252ToUtf8(problem->Text);
  return line + "\n";
}

}  // namespace

TFileVerdict CheckOneFile(const TCandidate& file, const TArchiveOptions& options,
                          const ombra::TRegionalSettings& rs) {
  if (IsSkipped(file)) return {};
  ombra::TDtaus doc;
  ombra::TFileCheck check = ombra::LoadAndCheck(doc, file.Path, rs);
  if (check.Loaded && options.Banks != nullptr)
    ombra::AddAccountFindings(check, doc, ombra::CheckAccounts(doc, *options.Banks),
                              options.Banks->DataDate());
  TFileVerdict verdict;
  verdict.Status = !check.Loaded ? TFileStatus::Unreadable
                   : check.Ok()  ? TFileStatus::Ok
                                 : TFileStatus::Discrepant;
  if (options.Json)
    verdict.Line = JsonLine(file.Path, check, doc.SatzCList.size());
  else if (verdict.Status != TFileStatus::Ok)
    verdict.Line = TextLine(file.Path, check);
  return verdict;
}

std::string SummaryLine(const TArchiveCounts& counts) {
  const std::int64_t checked = counts.Ok + counts.Discrepant + counts.Unreadable;
  return Grouped(checked) + (checked == 1 ? " Datei" : " Dateien") + " geprüft: " + Grouped(counts.Ok) +
         " stimmig, " + Grouped(counts.Discrepant) + " mit Abweichungen, " + Grouped(counts.Unreadable) +
         " nicht lesbar, " + Grouped(counts.Skipped) + " übersprungen";
}

int RunArchiveCheck(const std::vector<std::string>& paths, const TArchiveOptions& options,
                    const ombra::TRegionalSettings& rs, std::ostream& err, bool showProgress) {
  const TWalk walk = WalkPaths(paths);
  TOutput output("");
  output.Open();
  TArchiveCounts counts;
  counts.Skipped = walk.Skipped;
  TProgress progress(err, showProgress, walk.Files.size());
  RunInOrder<TFileVerdict>(
      walk.Files, options.Jobs, progress,
      [&](const TCandidate& file) { return CheckOneFile(file, options, rs); },
      [&](TFileVerdict&& verdict) {
        counts.Add(verdict.Status);
        output.Write(verdict.Line);
      });
  if (!options.Json) output.Write(SummaryLine(counts) + "\n");
  return FinishArchiveRun(output, walk, {}, err,
                          counts.Discrepant + counts.Unreadable == 0 ? kExitOk : kExitFailed);
}

}  // namespace cli
