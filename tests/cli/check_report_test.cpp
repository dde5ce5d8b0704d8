#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "cents.h"
#include "check_report.h"

namespace {

void AddPayment(ombra::TDtaus& doc, double betrag, const std::string& blz, const std::string& konto) {
  doc.AddSatzC(betrag, blz, konto, "", {""});
}

bool Contains(const cli::TCheckReport& report, const std::string& line) {
  for (const auto& l : report.Lines)
    if (l == line) return true;
  return false;
}

cli::TTrailerField Trailer(const std::string& count) { return {true, count, 0}; }

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

TEST(CheckReportTest, TotalIsSummedInWholeCents) {
  ombra::TDtaus doc;
  double floating = 0.0;
  for (int i = 0; i < 10; ++i) {
    AddPayment(doc, 0.1, "100 200 30", "1");
    floating += 0.1;
  }
  ASSERT_NE(floating, 1.0);  // the reason for counting cents
  EXPECT_EQ(cli::SumOfPaymentsInCents(doc), 100);

  AddPayment(doc, 1e300, "100 200 30", "1");
  EXPECT_FALSE(cli::SumOfPaymentsInCents(doc));
}

TEST(CheckReportTest, CheckSumsUseTheDigitsOfTheGroupedBankCodes) {
  ombra::TDtaus doc;
  AddPayment(doc, 1, "333 344 44", "13579000");
  AddPayment(doc, 1, "333 344 44", "13579000");
  AddPayment(doc, 1, "100 200 30", "-5");
  const auto sums = cli::ComputeCheckSums(doc);
  EXPECT_EQ(sums.BLZ, 2 * 33334444 + 10020030);
  EXPECT_EQ(sums.Konto, 2 * 13579000 - 5);
  EXPECT_TRUE(sums.Problems.empty());
}

TEST(CheckReportTest, FieldsThatAreNoNumbersAreNamed) {
  ombra::TDtaus doc;
  AddPayment(doc, 1, "160 F00 00", "1");
  AddPayment(doc, 1, "          ", "1");
  AddPayment(doc, 1, "100 200 30", "1");
  const auto sums = cli::ComputeCheckSums(doc);
  ASSERT_EQ(sums.Problems.size(), 2u);
  EXPECT_EQ(sums.Problems[0], "Zahlung 1: Bankleitzahl „160 F00 00“ ist keine Zahl");
  EXPECT_EQ(sums.Problems[1], "Zahlung 2: Bankleitzahl „          “ ist keine Zahl");
  EXPECT_EQ(sums.BLZ, 10020030);
}

TEST(CheckReportTest, EveryDisagreementCounts) {
  ombra::TDtaus doc;
  doc.SatzA->Euro = true;
  AddPayment(doc, 10.0, "100 200 30", "7");
  doc.SatzE->SummeEuro = 10.01;
  doc.SatzE->SummeKonto = 8;
  doc.SatzE->SummeBLZ = 10020030;
  const auto report = cli::CheckDocument("f.dta", doc, {"Ung\xFCltige L\xE4nge"}, Trailer("0000002"),
                                         ombra::TRegionalSettings::en_US());
  EXPECT_EQ(report.Discrepancies, 4);
  EXPECT_TRUE(Contains(report, "Feldprüfung: Ungültige Länge - ABWEICHUNG"));
  EXPECT_TRUE(Contains(report, "Anzahl der Zahlungen: Datei 2, gelesen 1 - ABWEICHUNG"));
  EXPECT_TRUE(Contains(report, "Gesamtsumme (EUR): Datei 10.01, berechnet 10.00 - ABWEICHUNG"));
  EXPECT_TRUE(Contains(report, "Prüfsumme Kontonummern: Datei 8, berechnet 7 - ABWEICHUNG"));
  EXPECT_TRUE(
      Contains(report, "Prüfsumme Bankleitzahlen: Datei 10020030, berechnet 10020030 - in Ordnung"));
  EXPECT_EQ(report.Lines.back(), "Ergebnis: 4 Abweichungen gefunden.");
}

TEST(CheckReportTest, UnreadableOrMissingCountFieldIsADiscrepancy) {
  ombra::TDtaus doc;
  auto report = cli::CheckDocument("f.dta", doc, {}, Trailer("00 0001"),
                                   ombra::TRegionalSettings::de_DE());
  EXPECT_EQ(report.Discrepancies, 1);
  EXPECT_TRUE(Contains(
      report, "Anzahl der Zahlungen: Feld im E-Satz „00 0001“ ist keine Zahl, gelesen 0 - ABWEICHUNG"));

  report = cli::CheckDocument("f.dta", doc, {}, cli::TTrailerField{},
                              ombra::TRegionalSettings::de_DE());
  EXPECT_EQ(report.Discrepancies, 1);
  EXPECT_EQ(report.Lines.back(), "Ergebnis: 1 Abweichung gefunden.");
}

TEST(CheckReportTest, AFailedLoadEndsTheReport) {
  ombra::TDtaus doc;
  doc.ErrorText = "f.dta";
  const auto report = cli::CheckDocument("f.dta", doc, {}, cli::TTrailerField{},
                                         ombra::TRegionalSettings::de_DE());
  EXPECT_EQ(report.Discrepancies, 1);
  EXPECT_EQ(report.Lines,
            (std::vector<std::string>{"Prüfbericht für f.dta",
                                      "Beim Lesen der Datei f.dta ist ein Fehler aufgetreten.",
                                      "Ergebnis: Die Datei konnte nicht gelesen werden."}));
}

}  // namespace
