#include <limits>

#include <gtest/gtest.h>

#include "cents.h"
#include "check_report.h"

namespace {

using ombra::TFindingKind;
using ombra::TSeverity;

ombra::TFinding Finding(TSeverity severity, TFindingKind kind, const std::string& text) {
  ombra::TFinding finding;
  finding.Severity = severity;
  finding.Kind = kind;
  finding.Record = 'E';
  finding.Text = text;
  return finding;
}

TEST(CentsTest, RecoversTheStoredHundredths) {
  EXPECT_EQ(cli::ToCents(1234.56), 123456);
  EXPECT_EQ(cli::ToCents(0.29), 29);  // 0.29 * 100 is 28.999999999999996 in binary
  EXPECT_EQ(cli::ToCents(-0.07), -7);
  EXPECT_EQ(cli::ToCents(999999999.99), 99999999999);
  EXPECT_FALSE(cli::ToCents(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(cli::ToCents(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(cli::ToCents(1e300));
  EXPECT_FALSE(cli::ToCents(-1e17));
}

TEST(CentsTest, AddingReportsOverflow) {
  std::int64_t total = std::numeric_limits<std::int64_t>::max() - 1;
  EXPECT_TRUE(cli::AddCents(total, 1));
  EXPECT_FALSE(cli::AddCents(total, 1));
}

TEST(CheckReportTest, EveryComparisonThenBothVerdictsThenTheResult) {
  ombra::TFileCheck check;
  check.Loaded = true;
  check.Findings = {
      Finding(TSeverity::Error, TFindingKind::FieldCheck, "Ung\xFCltige L\xE4nge"),
      Finding(TSeverity::Error, TFindingKind::Count, "Anzahl der Zahlungen: Datei 2, gelesen 1"),
      Finding(TSeverity::None, TFindingKind::CheckSum,
              "Pr\xFC"
              "fsumme Bankleitzahlen: Datei 1, berechnet 1"),
      Finding(TSeverity::Warning, TFindingKind::Trailer, "Hinter dem E-Satz stehen 3 Bytes"),
      Finding(TSeverity::Warning, TFindingKind::Account, "Zahlung 1: Kontonummer 7 ist ung\xFCltig"),
  };
  check.Accounts = {.Checked = true,
                    .DirectoryDate = "01.02.2003",
                    .Accounts = 2,
                    .WrongCheckDigit = 1,
                    .UnknownBankCodes = 0,
                    .NotCheckable = 0,
                    .DirectoryNewer = true};
  const auto report = cli::FormatCheckReport("f.dta", check);
  EXPECT_EQ(report.Discrepancies, 2);
  EXPECT_EQ(report.Lines,
            (std::vector<std::string>{
                "Prüfbericht für f.dta", "Feldprüfung: Ungültige Länge - ABWEICHUNG",
                "Anzahl der Zahlungen: Datei 2, gelesen 1 - ABWEICHUNG",
                "Prüfsumme Bankleitzahlen: Datei 1, berechnet 1 - in Ordnung",
                "Hinter dem E-Satz stehen 3 Bytes - Hinweis", "Datei nicht stimmig",
                "Kontenprüfung nach Bankverzeichnis vom 01.02.2003: 1 Prüfziffer falsch",
                "Hinweis: Das Bankverzeichnis ist jünger als die Datei: alte Konten und seither aufgehobene "
                "Bankleitzahlen kann es anders beurteilen.",
                "Kontenprüfung: 2 Konten geprüft", "Zahlung 1: Kontonummer 7 ist ungültig - Hinweis",
                "Ergebnis: 2 Abweichungen gefunden, 1 Hinweis; Konten: 1 Prüfziffer falsch."}));

  check.Findings.resize(3);
  check.Findings.erase(check.Findings.begin(), check.Findings.begin() + 2);
  check.Accounts.WrongCheckDigit = 0;
  check.Accounts.DirectoryNewer = false;
  const auto clean = cli::FormatCheckReport("f.dta", check);
  EXPECT_EQ(clean.Discrepancies, 0);
  EXPECT_EQ(clean.Lines,
            (std::vector<std::string>{
                "Prüfbericht für f.dta", "Feldprüfungen: keine Beanstandung",
                "Prüfsumme Bankleitzahlen: Datei 1, berechnet 1 - in Ordnung", "Datei in sich stimmig",
                "Kontenprüfung nach Bankverzeichnis vom 01.02.2003: alle Konten gültig",
                "Kontenprüfung: 2 Konten geprüft", "Ergebnis: keine Abweichungen; Konten: alle Konten gültig."}));

  // Without a directory the account check is not mentioned at all.
  check.Accounts = {};
  EXPECT_EQ(cli::FormatCheckReport("f.dta", check).Lines.back(), "Ergebnis: keine Abweichungen.");
}

TEST(CheckReportTest, AFailedLoadEndsTheReportWithItsReason) {
  ombra::TFileCheck check;
  check.LoadError =
      "Zahlung 2 (C-Satz ab Byte 385), Stellen 22-31 (Byte 406), Kontonummer "
      "\x84"
      "12 34\x93 ist keine Zahl";
  const auto report = cli::FormatCheckReport("f.dta", check);
  EXPECT_EQ(report.Discrepancies, 1);
  EXPECT_EQ(report.Lines,
            (std::vector<std::string>{
                "Prüfbericht für f.dta", "Beim Lesen der Datei f.dta ist ein Fehler aufgetreten.",
                "Grund: Zahlung 2 (C-Satz ab Byte 385), Stellen 22-31 (Byte 406), Kontonummer "
                "„12 34“ ist keine Zahl",
                "Ergebnis: Die Datei konnte nicht gelesen werden."}));
}

}  // namespace
