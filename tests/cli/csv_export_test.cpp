#include <charconv>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "cents.h"
#include "csv_export.h"

namespace {

std::string Field(std::string_view text, char separator) {
  std::string out;
  cli::AppendCsvField(out, text, separator);
  return out;
}

TEST(CsvExportTest, QuotesOnlyWhatNeedsQuoting) {
  EXPECT_EQ(Field("MEIER GMBH", ';'), "MEIER GMBH");
  EXPECT_EQ(Field("MEIER, KLAUS", ';'), "MEIER, KLAUS");
  EXPECT_EQ(Field("MEIER, KLAUS", ','), "\"MEIER, KLAUS\"");
  EXPECT_EQ(Field("A;B", ';'), "\"A;B\"");
  EXPECT_EQ(Field("SAGT \"HALLO\"", ','), "\"SAGT \"\"HALLO\"\"\"");
  EXPECT_EQ(Field("\"", ';'), "\"\"\"\"");
  EXPECT_EQ(Field("ZEILE\r\nZWEI", ';'), "\"ZEILE\r\nZWEI\"");
  EXPECT_EQ(Field("", ';'), "");
  // Long fields are looked at in pieces; a mark in any piece counts.
  for (const char mark : {';', '"', '\r', '\n'})
    for (const std::size_t at : {0u, 7u, 8u, 15u, 16u, 22u}) {
      std::string text(23, 'X');
      text[at] = mark;
      EXPECT_EQ(Field(text, ';').front(), '"') << at;
    }
  EXPECT_EQ(Field(std::string(23, 'X') + "\xFC,", ';'), std::string(23, 'X') + "\xFC,");
}

TEST(CsvExportTest, SeparatorFollowsTheDecimalSeparator) {
  EXPECT_EQ(cli::CsvSeparator(ombra::TRegionalSettings::de_DE()), ';');
  EXPECT_EQ(cli::CsvSeparator(ombra::TRegionalSettings::en_US()), ',');
}

TEST(CsvExportTest, TrimsTrailingBlanksOnly) {
  EXPECT_EQ(cli::TrimTrailingBlanks("  TEXT  "), "  TEXT");
  EXPECT_EQ(cli::TrimTrailingBlanks("       "), "");
  EXPECT_EQ(cli::TrimTrailingBlanks(""), "");
  EXPECT_EQ(cli::TrimTrailingBlanks(std::string("A\0 ", 3)), std::string("A\0", 2));
}

TEST(CsvExportTest, PurposeLinesAreDecodedTrimmedAndJoined) {
  ombra::TDtaus doc;
  const auto& payment = doc.AddSatzC(
      0, "", "", "",
      {"R[CKZAHLUNG \\L           ", "                           ", "  NR. 5]                   ", "~{|}"});
  EXPECT_EQ(cli::JoinPurpose(payment),
            "R\xC4"
            "CKZAHLUNG \xD6L /   NR. 5\xDC / ~{|}");

  EXPECT_EQ(cli::JoinPurpose(doc.AddSatzC(0, "", "", "", {"                           "})), "");
}

TEST(CsvExportTest, AmountsWithTwoDecimalsAndNoGrouping) {
  EXPECT_EQ(cli::FormatPlainAmount(1234567.5, ','), "1234567,50");
  EXPECT_EQ(cli::FormatPlainAmount(0.29, '.'), "0.29");
  EXPECT_EQ(cli::FormatPlainAmount(-0.07, ','), "-0,07");
  EXPECT_EQ(cli::FormatPlainAmount(0.0, ','), "0,00");
  EXPECT_EQ(cli::FormatPlainAmount(-0.0, ','), "0,00");
  EXPECT_EQ(cli::FormatPlainAmount(999999999.99, ','), "999999999,99");
}

// Amounts of whole hundredths take a shortcut; it must agree with the general rounding.
TEST(CsvExportTest, AmountShortcutAgreesWithFixedNotation) {
  const auto reference = [](double amount) {
    if (amount == 0.0) amount = 0.0;
    char text[400];
    const auto end = std::to_chars(text, text + sizeof text, amount, std::chars_format::fixed, 2);
    return std::string(text, end.ptr);
  };
  for (const double amount : {0.125, 0.135, -0.001, -0.005, 0.005, 1.005, 2.675, 12.3, -25.0, 0.29, 1e-9,
                              99999999999.99, 1e11, -123456789.125, 7e15, 1e20}) {
    SCOPED_TRACE(amount);
    EXPECT_EQ(cli::FormatPlainAmount(amount, '.'), reference(amount));
  }
  for (std::int64_t cents = -100000; cents <= 100000; cents += 7)
    ASSERT_EQ(cli::FormatPlainAmount(static_cast<double>(cents) / 100, '.'),
              reference(static_cast<double>(cents) / 100));
}

TEST(CsvExportTest, TextCellsAreNeverTakenForFormulas) {
  ombra::TDtaus doc;
  const std::pair<std::string, std::string> names[] = {{"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
                                                       {"+49 GMBH", "'+49 GMBH"},
                                                       {"-1+2", "'-1+2"},
                                                       {"@SUMME(A1)", "'@SUMME(A1)"},
                                                       {"\tTAB", "'\tTAB"},
                                                       {"\rCR", "\"'\rCR\""},
                                                       {"A=B", "A=B"},
                                                       {" =1", " =1"},
                                                       {"'=1", "'=1"}};
  for (const auto& [name, cell] : names)
    doc.AddSatzC(-0.07, "=1", "42", name, std::vector<std::string>{"-" + name});
  const std::string csv = cli::PaymentsToCsv(doc, ombra::TRegionalSettings::de_DE());
  std::size_t row = 0;
  for (const auto& [name, cell] : names) {
    SCOPED_TRACE(name);
    ++row;
    const std::string purpose = Field("'-" + name, ';');
    EXPECT_NE(csv.find("\r\n" + std::to_string(row) + ";" + cell + ";'=1;42;" + purpose + ";-0,07;DM\r\n"),
              std::string::npos)
        << csv;
  }
}

TEST(CsvExportTest, TableOfADmDocument) {
  ombra::TDtaus doc;
  doc.SatzA->Euro = false;
  doc.AddSatzC(12.3, "100 200 30", "42",
               "N\xC4"
               "HER            ",
               {"MIETE"});
  EXPECT_EQ(cli::PaymentsToCsv(doc, ombra::TRegionalSettings::de_DE()),
            "\xEF\xBB\xBF"
            "Nr.;Empfänger;BLZ;Konto;Verwendungszweck;Betrag;Währung\r\n"
            "1;NÄHER;100 200 30;42;MIETE;12,30;DM\r\n");
}

}  // namespace
