#include <limits>

#include <gtest/gtest.h>

#include "cents.h"
#include "check_report.h"

namespace {

using ombra::TFindingKind;
using ombra::TSeverity;

ombra::TFinding Finding(TSeverity severity, TFindingKind kind, const std::string& text) {
  return {severity, kind, 'E', 0, "", "", "", text};
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

TEST(CheckReportTest, EveryComparisonWithItsVerdictThenTheResult) {
  ombra::TFileCheck check;
  check.Loaded = true;
  check.Findings = {
      Finding(TSeverity::Error, TFindingKind::FieldCheck, "Ung\xFCltige L\xE4nge"),
      Finding(TSeverity::Error, TFindingKind::Count, "Anzahl der Zahlungen: Datei 2, gelesen 1"),
      Finding(TSeverity::None, TFindingKind::CheckSum,
              "Pr\xFC"
              "fsumme Bankleitzahlen: Datei 1, berechnet 1"),
      Finding(TSeverity::Warning, TFindingKind::Trailer, "Hinter dem E-Satz stehen 3 Bytes"),
      Finding(TSeverity::Error, TFindingKind::Account, "Zahlung 1: Kontonummer 7 ist ung\xFCltig"),
  };
  const auto report = cli::FormatCheckReport("f.dta", check, "Kontenprüfung: 2 Konten");
  EXPECT_EQ(report.Discrepancies, 3);
  EXPECT_EQ(report.Lines,
            (std::vector<std::string>{"Prüfbericht für f.dta", "Feldprüfung: Ungültige Länge - ABWEICHUNG",
                                      "Anzahl der Zahlungen: Datei 2, gelesen 1 - ABWEICHUNG",
                                      "Prüfsumme Bankleitzahlen: Datei 1, berechnet 1 - in Ordnung",
                                      "Hinter dem E-Satz stehen 3 Bytes - Hinweis", "Kontenprüfung: 2 Konten",
                                      "Zahlung 1: Kontonummer 7 ist ungültig - ABWEICHUNG",
                                      "Ergebnis: 3 Abweichungen gefunden, 1 Hinweis."}));

  check.Findings.resize(3);
  check.Findings.erase(check.Findings.begin(), check.Findings.begin() + 2);
  const auto clean = cli::FormatCheckReport("f.dta", check, "Kontenprüfung: 2 Konten");
  EXPECT_EQ(clean.Discrepancies, 0);
  EXPECT_EQ(clean.Lines[1], "Feldprüfungen: keine Beanstandung");
  EXPECT_EQ(clean.Lines[3], "Kontenprüfung: 2 Konten");  // said even when all accounts pass
  EXPECT_EQ(clean.Lines.back(), "Ergebnis: keine Abweichungen.");
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
