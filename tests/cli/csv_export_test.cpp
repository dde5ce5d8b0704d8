#include <charconv>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "cents.h"
#include "control_list.h"
#include "cp1252.h"
#include "csv_export.h"
#include "numfmt.h"

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

// A row is written in one pass, straight from the record's fields; it must read as the plain
// routines compose it: trimmed, decoded (purpose only), in UTF-8, guarded, quoted, in both
// locales. The texts put quotes, codes and high bytes before, at and after the sixteenth byte.
TEST(CsvExportTest, RowsAgreeWithThePlainRoutines) {
  const struct {
    std::string name;
    std::vector<std::string> purpose;
  } cases[] = {
      {"M]LLER                     ", {"R[CKZAHLUNG \\L           ", "                           ", "  NR. 5]  "}},
      {"A;B \"Q\"                   ", {"A;B \"Q\" 12345678901234567", "ZWEITE ZEILE MIT ]         "}},
      {"=SUMME(A1)                 ", {"=SUMME(A1)                 ", "X"}},
      {"NAME MIT HOHEM BYTE \xE4\xF6\xFC ", {"\xE4\xF6\xFC\xDF MIT HOHEN BYTES ABC", "DEF\x80", "ABCDEFGHIJKLMNOP]"}},
      {"1234567890123456,ZWEI      ", {"1234567890123456,ZWEI      ", "ABC"}},
      {"KURZ", {"12345678901234567890\"     ", "                ,"}},
      {"                           ", {"                           ", ""}},
      {"KURZ", {}},
      {"-EINS", {"  -EINS", "\tTAB", "ZEILE\r\nZWEI"}},
  };
  for (const auto& rs : {ombra::TRegionalSettings::de_DE(), ombra::TRegionalSettings::en_US()}) {
    const char sep = cli::CsvSeparator(rs);
    ombra::TDtaus doc;
    const std::vector<std::string> titles = ombra::SheetColumnTitles();
    std::string expected = "\xEF\xBB\xBF" + titles[0];
    for (std::size_t i = 1; i < titles.size(); ++i) expected += sep + titles[i];
    expected += "\r\n";
    const auto field = [&](std::string_view cp1252, bool guard) {
      const std::string text = support::Cp1252ToUtf8(cli::TrimTrailingBlanks(cp1252));
      return sep + Field(guard ? support::NeutraliseFormula(text) : text, sep);
    };
    std::size_t row = 0;
    for (const auto& c : cases) {
      const ombra::TSatzC& payment = doc.AddSatzC(-1234.5, "100 200 30", "0042", c.name, c.purpose);
      expected += std::to_string(++row) + field(c.name, true) + field("100 200 30", true) + field("0042", false) +
                  field(cli::JoinPurpose(payment), true) + sep + cli::FormatPlainAmount(-1234.5, rs.DecimalSeparator) +
                  sep + std::string(ombra::CurrencyText(doc.SatzA->Euro)) + "\r\n";
    }
    EXPECT_EQ(cli::PaymentsToCsv(doc, rs), expected) << sep;
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

// A part of the list, in any order, is the whole table's header and those payments' rows, each
// numbered as in the file; both locales.
TEST(CsvExportTest, RowsOfAPartAreTheWholeTablesRows) {
  ombra::TDtaus doc;
  for (int i = 1; i <= 6; ++i)
    doc.AddSatzC(i * 10.5, "01234567", std::to_string(i), i == 2 ? "A;B, \"C\"" : "NAME " + std::to_string(i),
                 {"ZWECK"});
  const struct {
    std::vector<int> rows;
    std::vector<int> numbers;
  } cases[] = {{{0, 1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, 6}}, {{5, 1, 3}, {6, 2, 4}}, {{}, {}}, {{1}, {2}}};
  for (const auto& rs : {ombra::TRegionalSettings::de_DE(), ombra::TRegionalSettings::en_US()}) {
    const std::string whole = cli::PaymentsToCsv(doc, rs);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = whole.find("\r\n", at)) != std::string::npos; at = end + 2)
      lines.push_back(whole.substr(at, end + 2 - at));
    ASSERT_EQ(lines.size(), 7u);
    for (const auto& c : cases) {
      std::string expected = lines[0];
      for (const int number : c.numbers) expected += lines[static_cast<std::size_t>(number)];
      std::string part;
      EXPECT_TRUE(
          cli::WriteCsvRows(doc, rs, c.rows, [&part](std::string_view bytes) { part.append(bytes); }));
      EXPECT_EQ(part, expected);
    }
  }
}

// Asked every few thousand rows, a "stop" ends the writing there.
TEST(CsvExportTest, RowsStopWhenProgressSaysSo) {
  ombra::TDtaus doc;
  std::vector<int> rows;
  for (int i = 0; i < 10000; ++i) {
    doc.AddSatzC(1, "1", "1", "N", {"Z"});
    rows.push_back(i);
  }
  std::vector<std::size_t> reported;
  const bool done = cli::WriteCsvRows(
      doc, ombra::TRegionalSettings::de_DE(), rows, [](std::string_view) {},
      [&reported](std::size_t written) {
        reported.push_back(written);
        return written < 8000;
      });
  EXPECT_FALSE(done);
  EXPECT_EQ(reported, (std::vector<std::size_t>{4096, 8192}));
}

}  // namespace
