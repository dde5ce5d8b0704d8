#include "archive_check.h"

#include "check.h"
#include "cp1252.h"
#include "json_export.h"
#include "numfmt.h"
#include "options.h"
#include "output.h"
#include "verdict.h"

namespace cli {
namespace {

using ombra::TSeverity;

TJson Value(const ombra::TFindingValue& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) return *number;
  if (const auto* text = std::get_if<std::string>(&value)) return support::Cp1252ToUtf8(*text);
  return nullptr;
}

TJson FindingToJson(const ombra::TFinding& f) {
  using support::Cp1252ToUtf8;
  TJson json = {{"severity", f.Severity == TSeverity::Error ? "error" : "warning"},
                {"kind", ombra::KindCode(f.Kind)}};
  json["record"] = f.Record != 0 ? TJson(std::string(1, f.Record)) : TJson(nullptr);
  json["payment"] = f.Payment > 0 ? TJson(f.Payment) : TJson(nullptr);
  json["offset"] = f.Offset >= 0 ? TJson(f.Offset) : TJson(nullptr);
  json["field"] = Cp1252ToUtf8(f.Field);
  json["expected"] = Cp1252ToUtf8(f.Expected);
  json["found"] = Cp1252ToUtf8(f.Found);
  json["expected_value"] = Value(f.ExpectedValue);
  json["found_value"] = Value(f.FoundValue);
  json["text"] = Cp1252ToUtf8(f.Text);
  return json;
}

// Both verdicts as fields: the file in itself, and the account check when it ran.
void AddVerdicts(TJson& json, const ombra::TFileCheck& check) {
  json["verdict"] = ombra::FileVerdictText(ombra::FileVerdictOf(check));
  json["consistent"] = check.Consistent();
  const ombra::TAccountTally& t = check.Accounts;
  if (!t.Checked) return;
  const std::string caveat = ombra::AccountsCaveat(t);
  json["accounts"] = {{"verdict", ombra::AccountsTitle(t.DirectoryDate)},
                      {"result", ombra::AccountsResult(t)},
                      {"directory_date", t.DirectoryDate},
                      {"checked", t.Accounts},
                      {"wrong_check_digit", t.WrongCheckDigit},
                      {"unknown_bank_codes", t.UnknownBankCodes},
                      {"not_checkable", t.NotCheckable},
                      {"caveat", caveat.empty() ? TJson(nullptr) : TJson(caveat)}};
}

const char* DamageCode(ombra::TDamageKind kind) {
  switch (kind) {
    case ombra::TDamageKind::None: return "none";
    case ombra::TDamageKind::Unreadable: return "unreadable";
    case ombra::TDamageKind::NotDtaus: return "not_dtaus";
    case ombra::TDamageKind::Empty: return "empty";
    case ombra::TDamageKind::CutShort: return "cut_short";
    case ombra::TDamageKind::NoTrailer: return "no_trailer";
    case ombra::TDamageKind::BadField: return "bad_field";
    case ombra::TDamageKind::OutOfMemory: return "out_of_memory";
  }
  return "";
}

// Where a load failed and how much it read before: offsets 0-based, like the findings'.
TJson DamageToJson(const ombra::TLoadDamage& d) {
  return {{"kind", DamageCode(d.Kind)},
          {"record", d.Record != 0 ? TJson(std::string(1, d.Record)) : TJson(nullptr)},
          {"payment", d.Payment > 0 ? TJson(d.Payment) : TJson(nullptr)},
          {"record_offset", d.RecordOffset >= 0 ? TJson(d.RecordOffset) : TJson(nullptr)},
          {"offset", d.Offset >= 0 ? TJson(d.Offset) : TJson(nullptr)},
          {"what", support::Cp1252ToUtf8(d.What)},
          {"payments_read", d.PaymentsRead},
          {"bytes_read", d.BytesRead},
          {"read", support::Cp1252ToUtf8(ombra::ReadSoFarText(d))}};
}

std::string JsonLine(const std::string& file, const ombra::TFileCheck& check, std::size_t payments) {
  TJson json = {{"file", FileNameToUtf8(file)}, {"ok", check.Ok()}};
  if (check.Loaded)
    json["payments"] = payments;
  else {
    json["error"] = support::Cp1252ToUtf8(check.LoadError);
    json["damage"] = DamageToJson(check.Damage);
  }
  AddVerdicts(json, check);
  json["headline"] = ombra::Headline(check);
  TJson findings = TJson::array();
  for (const auto& finding : check.Findings)
    if (finding.Severity != TSeverity::None) findings.push_back(FindingToJson(finding));
  json["findings"] = std::move(findings);
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string TextLine(const std::string& file, const ombra::TFileCheck& check) {
  std::string line = FileNameToUtf8(file) + ": ";
  if (!check.Loaded) {
    line += "nicht lesbar: " + support::Cp1252ToUtf8(check.LoadError);
    if (const std::string read = ombra::ReadSoFarText(check.Damage); !read.empty())
      line += "; " + support::Cp1252ToUtf8(read);
  } else if (const auto* problem = check.FirstProblem())
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
  return ombra::GroupedNumber(checked) + (checked == 1 ? " Datei" : " Dateien") +
         " geprüft: " + ombra::GroupedNumber(counts.Ok) + " stimmig, " +
         ombra::GroupedNumber(counts.Discrepant) + " mit Abweichungen, " +
         ombra::GroupedNumber(counts.Unreadable) + " nicht lesbar, " + ombra::GroupedNumber(counts.Skipped) +
         " übersprungen";
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
