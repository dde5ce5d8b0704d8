// DTAUS files from other projects' test suites. Each either loads with the values those
// projects assert, where our reading rules agree with theirs, or fails with the error page.
// `why` says where and why our verdict differs from the other project's.
#include <filesystem>

#include <gtest/gtest.h>

#include "dtaus.h"

namespace {

namespace fs = std::filesystem;

struct PeerCase {
  const char* file;
  bool loads;
  int payments;  // when it loads
  double total;  // the trailer's total in the file's currency
  std::int64_t summeBLZ;
  std::int64_t summeKonto;
  const char* why;
};

const PeerCase kCases[] = {
    {"jDTAUS_jdtaus-banking/dtaus0_valid_header_and_checksum", true, 0, 0, 0, 0, ""},
    {"jDTAUS_jdtaus-banking/dtaus0_valid_header_checksum_and_transaction", true, 1, 777777777.77, 22222222,
     3333333333, ""},
    {"jDTAUS_jdtaus-banking/dtaus0_valid_header_checksum_and_transaction_ext", true, 1, 777777777.77,
     22222222, 3333333333, ""},
    {"jDTAUS_jdtaus-banking/dtaus0_valid_header_checksum_and_transaction_missing_currency", true, 1, 0,
     22222222, 3333333333,
     "a blank currency byte makes a DM file whatever its date; the other reader rejects it for "
     "a 2003 file"},
    {"jDTAUS_jdtaus-banking/dtaus0_valid_header_checksum_and_transaction_missing_currency_valid", true, 1, 0,
     22222222, 3333333333, "DM file: amounts come from the DM field, which holds zeros here"},
    {"jDTAUS_jdtaus-banking/dtaus0_valid_header_checksum_illegal_format_transaction", false, 0, 0, 0, 0, ""},
    {"jDTAUS_jdtaus-banking/dtaus0_valid_header_illegal_format_checksum", false, 0, 0, 0, 0, ""},
    {"jDTAUS_jdtaus-banking/dtaus0_legal_header_and_transaction_but_missing_checksum", false, 0, 0, 0, 0, ""},
    {"jDTAUS_jdtaus-banking/dtaus0_missing_header_legal_transaction_and_checksum", false, 0, 0, 0, 0, ""},
    {"jDTAUS_jdtaus-banking/dtaus0_illegal_create_date_with_legal_transaction", false, 0, 0, 0, 0, ""},
    {"jDTAUS_jdtaus-banking/illegal_file_length", false, 0, 0, 0, 0, ""},
    {"pear_Payment_DTA/pear_basic_credit_GK.dta", true, 2, 1556.46, 66668888, 27158000, ""},
    {"pear_Payment_DTA/pear_basic_debit_LK.dta", true, 2, 1556.46, 66668888, 27158000, ""},
    {"pear_Payment_DTA/pear_8bit_latin1_names.dta", true, 2, 1556.46, 66668888, 27158000,
     "8-bit names are kept as they are, not transliterated"},
    {"pear_Payment_DTA/pear_bad_blz_first_C.dta", true, 2, 1556.46, 66668888, 27158000,
     "the broken field is the sender's bank code in the payment, which is not read here"},
    {"pear_Payment_DTA/pear_wrong_E_account_sum.dta", true, 2, 1556.46, 66668888, 27159000,
     "the control list shows check sums as the trailer holds them; quandel-cli check finds it"},
    {"pear_Payment_DTA/pear_wrong_E_blz_sum.dta", true, 2, 1556.46, 66668887, 27158000,
     "as above, for the bank codes"},
    {"pear_Payment_DTA/pear_15_extensions.dta", true, 1, 1234.56, 16050000, 3503007767, ""},
    {"pear_Payment_DTA/pear_ext_type_04.dta", true, 1, 1234.56, 16050000, 3503007767,
     "the type bytes of extension parts are not examined"},
    {"pear_Payment_DTA/pear_writer_debit_5ext.dta", true, 2, 47.12, 47060074, 532014234, ""},
};

fs::path PeersDir() { return fs::path(QUANDEL_PEERS_DIR); }

class PeerFiles : public ::testing::TestWithParam<PeerCase> {};

TEST_P(PeerFiles, LoadAndRenderAsExpected) {
  const PeerCase& c = GetParam();
  const fs::path path = PeersDir() / c.file;
  ASSERT_TRUE(fs::exists(path)) << "peer file missing: " << path;
  if (*c.why) RecordProperty("differs_from_peer", c.why);

  ombra::TDtaus doc;
  doc.Load(path.string());
  ombra::TLineList lines;
  doc.RenderControlList(lines, "");
  if (!c.loads) {
    EXPECT_EQ(doc.ErrorText, path.string());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("<font face=arial color=#ff0000>Beim Lesen der Datei ", 0), 0u);
    return;
  }
  ASSERT_EQ(doc.ErrorText, "");
  EXPECT_EQ(doc.SatzE->Anzahl, c.payments);
  EXPECT_EQ(lines.size(), 12u + static_cast<std::size_t>(c.payments));
  EXPECT_DOUBLE_EQ(doc.SatzA->Euro ? doc.SatzE->SummeEuro : doc.SatzE->SummeDM, c.total);
  EXPECT_EQ(doc.SatzE->SummeBLZ, c.summeBLZ);
  EXPECT_EQ(doc.SatzE->SummeKonto, c.summeKonto);
}

INSTANTIATE_TEST_SUITE_P(Corpus, PeerFiles, ::testing::ValuesIn(kCases), [](const auto& tested) {
  std::string name = fs::path(tested.param.file).filename().string();
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

TEST(PeerFileDetails, JdtausHeaderAndFifteenExtensionParts) {
  const fs::path path = PeersDir() / "jDTAUS_jdtaus-banking/dtaus0_valid_header_checksum_and_transaction_ext";
  ASSERT_TRUE(fs::exists(path)) << "peer file missing: " << path;
  ombra::TDtaus doc;
  doc.Load(path.string());
  ASSERT_EQ(doc.ErrorText, "");
  EXPECT_EQ(doc.SatzA->Art, "Lastschriften");
  EXPECT_EQ(doc.SatzA->BLZ, "111 111 11");
  EXPECT_EQ(doc.SatzA->Konto, "1111111111");
  EXPECT_EQ(doc.SatzA->Referenz, "2222222222");
  EXPECT_EQ(doc.SatzA->Datum, (ombra::TDate{2003, 1, 1}));
  EXPECT_EQ(doc.SatzA->Name, "ABCDEFGHUJKI.UHZGT[\\]~+ ,$&");
  EXPECT_TRUE(doc.SatzA->Euro);
  const ombra::TSatzC& c = doc.SatzCList.at(0);
  EXPECT_EQ(c.BLZ, "222 222 22");
  EXPECT_EQ(c.Konto, "3333333333");
  EXPECT_DOUBLE_EQ(c.Betrag, 777777777.77);
  // The record's own purpose, then parts 1 to 15 (receiver, 13 purposes, sender) and the
  // empty slot that completes the last pair.
  ASSERT_EQ(c.Verwendungszweck.size(), 17u);
  EXPECT_EQ(c.Verwendungszweck[1], "1BCDEFGHIJKLMNOPQRSTU[\\]~$.");
  EXPECT_EQ(c.Verwendungszweck[2], "2BCDEFGHIJKLMNOPQRSTU[\\]~$.");
  EXPECT_EQ(c.Verwendungszweck[14], "14CDEFGHIJKLMNOPQRSTU[\\]~$.");
  EXPECT_EQ(c.Verwendungszweck[15], "15CDEFGHIJKLMNOPQRSTU[\\]~$.");
}

TEST(PeerFileDetails, PartsBeyondTheSecondBlockSitFourToABlock) {
  const fs::path path = PeersDir() / "pear_Payment_DTA/pear_writer_debit_5ext.dta";
  ASSERT_TRUE(fs::exists(path)) << "peer file missing: " << path;
  ombra::TDtaus doc;
  doc.Load(path.string());
  ASSERT_EQ(doc.ErrorText, "");
  const auto& first = doc.SatzCList.at(0).Verwendungszweck;
  ASSERT_EQ(first.size(), 7u);
  EXPECT_EQ(first[1].substr(0, 21), "RECEIVERS NAME LINE 2");
  EXPECT_EQ(first[3].substr(0, 9), "PURPOSE 3");
  EXPECT_EQ(first[4].substr(0, 9), "PURPOSE 4");
  EXPECT_EQ(first[5].substr(0, 19), "SENDERS NAME LINE 2");
  EXPECT_EQ(first[6], std::string(27, ' '));
  EXPECT_EQ(doc.SatzCList.at(1).Name.substr(0, 15), "SECOND RECEIVER");
}

}  // namespace
