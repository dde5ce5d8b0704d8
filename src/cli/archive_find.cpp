#include "archive_find.h"

#include <algorithm>
#include <functional>

#include "amounts.h"
#include "archive_run.h"
#include "cents.h"
#include "cp1252.h"
#include "csv_export.h"
#include "json_export.h"
#include "numfmt.h"
#include "search_fold.h"
#include "shown_text.h"
#include "umlauts.h"

namespace cli {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string WithoutLeadingZeros(std::string digits) {
  const auto first = digits.find_first_not_of('0');
  return first == std::string::npos ? "0" : digits.substr(first);
}

std::optional<int> Number(std::string_view digits) {
  if (!AllDigits(digits) || digits.size() > 4) return std::nullopt;
  return std::stoi(std::string(digits));
}

// A day as yyyymmdd; a year alone is its first day (`end` false) or its last.
std::optional<int> ParseDay(std::string_view text, bool end) {
  if (text.size() == 4) {
    const auto year = Number(text);
    if (!year) return std::nullopt;
    return *year * 10000 + (end ? 1231 : 101);
  }
  std::optional<int> day, month, year;
  if (text.size() == 10 && text[2] == '.' && text[5] == '.') {
    day = Number(text.substr(0, 2)), month = Number(text.substr(3, 2)), year = Number(text.substr(6, 4));
  } else if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    year = Number(text.substr(0, 4)), month = Number(text.substr(5, 2)), day = Number(text.substr(8, 2));
  }
  if (!day || !month || !year || !ombra::IsValidDate(*year, *month, *day)) return std::nullopt;
  return *year * 10000 + *month * 100 + *day;
}

// "A..B", "A..", "..B" or "A" alone (both ends).
bool SplitRange(std::string_view text, std::string_view& from, std::string_view& to) {
  const auto dots = text.find("..");
  if (dots == std::string_view::npos) {
    from = to = text;
    return !text.empty();
  }
  from = text.substr(0, dots);
  to = text.substr(dots + 2);
  return !(from.empty() && to.empty()) && to.find("..") == std::string_view::npos;
}

std::string Typed(const std::string& utf8) { return support::Utf8ToCp1252OrKeep(utf8); }

std::string Quote(const std::string& text) { return "„" + text + "“"; }

}  // namespace

std::optional<std::string> ParseFindConditions(const TInvocation& invocation, TFindConditions& conditions) {
  if (invocation.FindName) conditions.Name = ombra::FoldText(Typed(*invocation.FindName));
  if (invocation.FindPurpose) conditions.Purpose = ombra::FoldText(Typed(*invocation.FindPurpose));
  if (invocation.FindAccount) {
    const std::string& typed = *invocation.FindAccount;
    const auto slash = typed.find('/');
    const std::string konto = ombra::FoldDigits(slash == std::string::npos ? typed : typed.substr(slash + 1));
    const std::string blz =
        slash == std::string::npos ? std::string() : ombra::FoldDigits(typed.substr(0, slash));
    if (!AllDigits(konto) || (slash != std::string::npos && (!AllDigits(blz) || blz.size() != 8)))
      return "--account " + Quote(typed) +
             " ist kein Konto; erwartet wird KONTO oder BLZ/KONTO, etwa 200 505 50/1234567.";
    conditions.Konto = WithoutLeadingZeros(konto);
    if (!blz.empty()) conditions.Blz = blz;
  }
  if (invocation.FindAmount) {
    std::string_view from, to;
    const bool split = SplitRange(*invocation.FindAmount, from, to);
    if (split && !from.empty()) conditions.MinCents = ombra::ParseTypedCents(from);
    if (split && !to.empty()) conditions.MaxCents = ombra::ParseTypedCents(to);
    if (!split || (!from.empty() && !conditions.MinCents) || (!to.empty() && !conditions.MaxCents))
      return "--amount " + Quote(*invocation.FindAmount) +
             " ist kein Betragsbereich; erwartet wird MIN..MAX, etwa 100..250,50, 1.000.. oder 99,95.";
  }
  if (invocation.FindDate) {
    std::string_view from, to;
    const bool split = SplitRange(*invocation.FindDate, from, to);
    if (split && !from.empty()) conditions.FromDate = ParseDay(from, false);
    if (split && !to.empty()) conditions.ToDate = ParseDay(to, true);
    if (!split || (!from.empty() && !conditions.FromDate) || (!to.empty() && !conditions.ToDate))
      return "--date " + Quote(*invocation.FindDate) +
             " ist kein Zeitraum; erwartet wird FROM..TO mit TT.MM.JJJJ, JJJJ-MM-TT oder JJJJ, etwa "
             "2012 oder 01.03.2012..2012-06-30.";
  }
  return std::nullopt;
}

bool FileDateMatches(const TFindConditions& conditions, const ombra::TDate& date) {
  const int day = date.Year * 10000 + date.Month * 100 + date.Day;
  return (!conditions.FromDate || day >= *conditions.FromDate) &&
         (!conditions.ToDate || day <= *conditions.ToDate);
}

bool PaymentMatches(const TFindConditions& conditions, const ombra::TSatzC& c, std::string& scratch) {
  if (conditions.MinCents || conditions.MaxCents) {
    const auto cents = ToCents(c.Betrag);
    if (!cents || (conditions.MinCents && *cents < *conditions.MinCents) ||
        (conditions.MaxCents && *cents > *conditions.MaxCents))
      return false;
  }
  if (conditions.Konto && c.Konto != *conditions.Konto) return false;
  if (conditions.Blz && ombra::FoldDigits(c.BLZ) != *conditions.Blz) return false;
  if (conditions.Name) {
    scratch.clear();
    ombra::AppendFoldedText(scratch, c.Name);
    if (!ombra::ContainsFolded(scratch, *conditions.Name)) return false;
  }
  if (conditions.Purpose) {
    // The lines joined, so that a text broken over two lines is found as well.
    scratch.clear();
    for (const std::string_view line : c.Verwendungszweck) {
      ombra::AppendFoldedText(scratch, line);
      scratch += ' ';
    }
    if (!ombra::ContainsFolded(scratch, *conditions.Purpose)) return false;
  }
  return true;
}

namespace {

std::string TextLine(const std::string& file, std::size_t number, const ombra::TDtaus& doc,
                     const ombra::TSatzC& c, const ombra::TRegionalSettings& rs) {
  std::string line = FileNameToUtf8(file) + '\t' + std::to_string(number) + '\t' +
                     ombra::FormatDate(doc.SatzA->Datum, rs.ShortDateFormat) + '\t' + ShownField(c.Name) +
                     '\t' + support::ShownCp1252(c.BLZ) + '\t' + support::ShownCp1252(c.Konto) + '\t';
  std::string money;
  ombra::AppendMoney(money, c.Betrag, doc.CurrencyText(), rs);
  line += support::Cp1252ToUtf8(money) + '\t';
  if (!c.Verwendungszweck.empty()) line += ShownField(c.Verwendungszweck[0]);
  return line + '\n';
}

std::string JsonLine(const std::string& file, std::size_t number, const ombra::TDtaus& doc,
                     const ombra::TSatzC& c) {
  TJson purpose = TJson::array();
  for (const std::string_view line : c.Verwendungszweck)
    if (const std::string shown = ShownField(line); !shown.empty()) purpose.push_back(shown);
  const auto cents = ToCents(c.Betrag);
  TJson json;
  AddFileJson(json, file);
  json.update(TJson{{"payment", number},
                    {"date", IsoDate(doc.SatzA->Datum)},
                    {"name", ShownField(c.Name)},
                    {"blz", ombra::FoldDigits(c.BLZ)},
                    {"konto", support::ShownCp1252(c.Konto)},
                    {"cents", cents ? TJson(*cents) : TJson(nullptr)},
                    {"currency", doc.CurrencyText()},
                    {"purpose", std::move(purpose)}});
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

struct TFound {
  TFileStatus Status = TFileStatus::Skipped;
  std::int64_t Matches = 0;
  std::string Lines;
  std::string Problem;
};

TFound FindInFile(const TCandidate& file, const TFindConditions& conditions, bool json,
                  const ombra::TRegionalSettings& rs) {
  TFound found;
  ombra::TDtaus doc;
  found.Status = LoadArchiveFile(file, doc, rs, found.Problem);
  if (found.Status == TFileStatus::Skipped || !FileDateMatches(conditions, doc.SatzA->Datum)) return found;
  std::string scratch;
  for (std::size_t i = 0; i < doc.SatzCList.size(); ++i) {
    const ombra::TSatzC& c = doc.SatzCList[i];
    if (!PaymentMatches(conditions, c, scratch)) continue;
    ++found.Matches;
    found.Lines += json ? JsonLine(file.Path, i + 1, doc, c) : TextLine(file.Path, i + 1, doc, c, rs);
  }
  return found;
}

}  // namespace

int RunFind(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err,
            bool showProgress) {
  TFindConditions conditions;
  if (const auto problem = ParseFindConditions(invocation, conditions)) {
    err << "quandel-cli: " << *problem << "\nHilfe: quandel-cli find --help\n";
    return kExitUsage;
  }
  TWalk walk = WalkPaths(invocation.Paths);
  TOutput output("");
  output.Open();
  TArchiveTally tally(invocation.Verbose);
  std::int64_t matches = 0;
  std::int64_t filesWithMatches = 0;
  TProgress progress(err, showProgress, walk.Files.size());
  RunInOrder<TFound>(
      walk, JobCount(invocation.Jobs, walk), progress,
      [&](const TCandidate& file) { return FindInFile(file, conditions, invocation.Json, rs); },
      [&](TFound&& found) {
        tally.File(found.Status, std::move(found.Problem));
        matches += found.Matches;
        filesWithMatches += found.Matches > 0 ? 1 : 0;
        progress.Print(output, found.Lines);
      },
      [&](const TPassed& passed) { tally.Passed(passed); });
  const TArchiveCounts& counts = tally.Counts;
  const std::string summary =
      ombra::GroupedNumber(matches) + (matches == 1 ? " Zahlung in " : " Zahlungen in ") +
      ombra::GroupedNumber(filesWithMatches) + " von " + ombra::GroupedNumber(counts.Read()) +
      (counts.Read() == 1 ? " Datei" : " Dateien");
  return FinishArchiveRun(output, tally.Problems, err, counts.Unreadable == 0 ? kExitOk : kExitFailed,
                          summary);
}

}  // namespace cli
