#include <limits>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "json_export.h"

namespace {

std::string Written(const ombra::TDtaus& doc) {
  std::string out;
  cli::WriteDocumentJson(doc, [&out](std::string_view bytes) { out.append(bytes); });
  return out;
}

TEST(JsonExportTest, IsoDateIsZeroPadded) {
  EXPECT_EQ(cli::IsoDate({2002, 12, 31}), "2002-12-31");
  EXPECT_EQ(cli::IsoDate({1980, 1, 5}), "1980-01-05");
  EXPECT_EQ(cli::IsoDate({}), "0000-00-00");
}

TEST(JsonExportTest, FileNamesStayUtf8AndOtherBytesAreEscaped) {
  EXPECT_EQ(cli::FileNameToUtf8("zahlungen-\xC3\xA4.dta"), "zahlungen-\xC3\xA4.dta");
  // A Latin-1 name never prints like its UTF-8 twin.
  EXPECT_EQ(cli::FileNameToUtf8("zahlungen-\xE4.dta"), "zahlungen-\\xE4.dta");
  // Overlong and surrogate forms are not UTF-8 either.
  EXPECT_EQ(cli::FileNameToUtf8("\xC0\xAF"), "\\xC0\\xAF");
  EXPECT_EQ(cli::FileNameToUtf8("\xED\xA0\x80"), "\\xED\\xA0\\x80");
}

TEST(JsonExportTest, FailedLoadGivesOnlyTheErrorText) {
  ombra::TDtaus doc;
  doc.ErrorText = "kaputt.dta";
  doc.SatzCList.emplace_back();  // left from an earlier load
  EXPECT_EQ(Written(doc), "{\n  \"ErrorText\": \"kaputt.dta\"\n}\n");
}

TEST(JsonExportTest, FieldsInTheDocumentsOrderAndTextsInUtf8) {
  ombra::TDtaus doc;
  doc.SatzA->Datum = {2010, 1, 30};
  doc.SatzA->Art =
      "\xDC"
      "berweisungen";
  doc.SatzA->Name = "\x80 ";
  doc.SatzA->Euro = true;
  doc.AddSatzC(-1.5, "", "", "", {"[A]", ""});
  doc.SatzE->Anzahl = 1;
  doc.SatzE->SummeKonto = 99999999999999999;
  doc.SatzE->AnzahlDatei = "0000002";

  doc.AddSatzC(0, "", "", "", {"\\\"X\""});

  EXPECT_EQ(
      Written(doc),
      "{\n"
      R"(  "ErrorText": "",)"
      "\n"
      R"(  "SatzA": {"Datum":"2010-01-30","Art":"Überweisungen","Name":"€ ","BLZ":"",)"
      R"("Konto":"","Referenz":"","Euro":true},)"
      "\n"
      R"(  "SatzCList": [)"
      "\n"
      R"(    {"Betrag":-1.5,"BLZ":"","Konto":"","Name":"","Verwendungszweck":["[A]",""]},)"
      "\n"
      R"(    {"Betrag":0.0,"BLZ":"","Konto":"","Name":"","Verwendungszweck":["\\\"X\""]})"
      "\n"
      R"(  ],)"
      "\n"
      R"(  "SatzE": {"Anzahl":1,"AnzahlDatei":2,"SummeDM":0.0,"SummeKonto":99999999999999999,"SummeBLZ":0,)"
      R"("SummeEuro":0.0})"
      "\n"
      "}\n");
}

// The hand-written payment writer must give the bytes the library gives for the same object.
TEST(JsonExportTest, PaymentWriterMatchesTheLibrarysDump) {
  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte += static_cast<char>(b);
  const std::string texts[] = {"",
                               "MEIER [\\] ~",
                               everyByte,
                               std::string("A\0B", 3),
                               "\x1F\x7F\"\\\b\t\n\f\r/",
                               "\x80\x81\x8D\x9F\xA0\xFF"};
  const double amounts[] = {0.0,
                            -0.0,
                            -1.5,
                            0.1,
                            0.29,
                            1234567.89,
                            99999999999.99,
                            1e-7,
                            5e-324,
                            1e300,
                            123456789012345678.0,
                            std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN()};
  ombra::TDtaus doc;
  for (const std::string& text : texts)
    for (const double amount : amounts) {
      const ombra::TSatzC& c = doc.AddSatzC(amount, text, text, text, {text, "X", text});
      std::string fast;
      cli::AppendSatzCJson(fast, c);
      const std::string reference =
          cli::SatzCToJson(c).dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
      ASSERT_EQ(fast, reference) << amount;
    }
}

// Amounts of whole hundredths are written without the library; they must read the same.
TEST(JsonExportTest, AmountsMatchTheLibraryAcrossMagnitudes) {
  std::mt19937_64 random(42);
  ombra::TDtaus doc;
  for (int i = 0; i < 20000; ++i) {
    // Hundredths of every length up to 15 digits, plain and scaled by one of the file's ways.
    const std::int64_t cents = static_cast<std::int64_t>(random() >> (i % 60 + 4));
    for (const double amount : {static_cast<double>(cents) / 100, -static_cast<double>(cents) / 100,
                                static_cast<double>(cents) * 0.01}) {
      const ombra::TSatzC& c = doc.AddSatzC(amount, "", "", "", {});
      std::string fast;
      cli::AppendSatzCJson(fast, c);
      ASSERT_EQ(fast, cli::SatzCToJson(c).dump()) << cents;
    }
  }
}

TEST(JsonExportTest, AnEmptyListIsStillValidJson) {
  ombra::TDtaus doc;
  const auto json = nlohmann::json::parse(Written(doc));
  EXPECT_TRUE(json.at("SatzCList").is_array());
  EXPECT_TRUE(json.at("SatzCList").empty());
  EXPECT_EQ(json.at("SatzE").at("Anzahl"), 0);
  EXPECT_TRUE(json.at("SatzE").at("AnzahlDatei").is_null());  // no number in the field
}

}  // namespace
