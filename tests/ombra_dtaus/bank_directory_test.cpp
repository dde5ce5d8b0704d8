#include <cstdlib>
#include <ctime>
#include <iostream>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "bank_directory.h"

namespace {

using ombra::TAccountVerdict;

class BankDirectoryTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { directory_ = ombra::OpenSystemBankDirectory().release(); }
  static void TearDownTestSuite() { delete directory_; }
  void SetUp() override { ASSERT_NE(directory_, nullptr) << "bank data of ktoblzcheck missing"; }
  static ombra::TBankDirectory* directory_;
};
ombra::TBankDirectory* BankDirectoryTest::directory_ = nullptr;

TEST_F(BankDirectoryTest, VerdictsOfKnownPairs) {
  struct Case {
    const char* blz;
    const char* konto;
    TAccountVerdict verdict;
  } const cases[] = {
      {"37040044", "532013000", TAccountVerdict::Passes},
      {"37040044", "0532013000", TAccountVerdict::Passes},  // leading zeros as stored
      {"37040044", "1234567890", TAccountVerdict::Fails},
      {"20050550", "1234567890", TAccountVerdict::Fails},
      {"37040044", "12345678901", TAccountVerdict::Fails},  // longer than the field
      {"37040044", "-5", TAccountVerdict::Fails},
      {"10020030", "1234567890", TAccountVerdict::UnknownBank},
      {"1002003", "1234567890", TAccountVerdict::UnknownBank},
      {"160F0000", "1", TAccountVerdict::UnknownBank},
      {"45050001", "1234567890", TAccountVerdict::NotImplemented},  // method E4
  };
  for (const auto& c : cases)
    EXPECT_EQ(directory_->CheckAccount(c.blz, c.konto), c.verdict) << c.blz << "/" << c.konto;
}

TEST_F(BankDirectoryTest, AMethodTheLibraryLacksWritesNothing) {
  std::ostringstream caught;
  std::streambuf* const previous = std::cerr.rdbuf(caught.rdbuf());
  const auto verdict = directory_->CheckAccount("45050001", "1234567890");
  std::cerr.rdbuf(previous);
  EXPECT_EQ(verdict, TAccountVerdict::NotImplemented);
  EXPECT_EQ(caught.str(), "");
}

TEST_F(BankDirectoryTest, BankNamesAndPlacesInWindows1252WithoutPadding) {
  const auto bank = directory_->FindBank("37040044");
  ASSERT_TRUE(bank);
  EXPECT_EQ(bank->Name, "Commerzbank");
  EXPECT_EQ(bank->Place, "K\xF6ln");
  EXPECT_EQ(bank->Method, "13");
  EXPECT_FALSE(directory_->FindBank("10020030"));
  EXPECT_FALSE(directory_->FindBank("370 400 44"));
}

TEST_F(BankDirectoryTest, TheDataDateIsADay) {
  EXPECT_TRUE(std::regex_match(directory_->DataDate(), std::regex(R"(\d\d\.\d\d\.(19|20)\d\d)")))
      << directory_->DataDate();
}

TEST(BankCodeDigitsTest, DropsTheGroupingBlanks) {
  EXPECT_EQ(ombra::BankCodeDigits("370 400 44"), "37040044");
  EXPECT_EQ(ombra::BankCodeDigits("        "), "");
  EXPECT_EQ(ombra::BankCodeDigits("160 F00 00"), "160F0000");
}

}  // namespace

// The library keeps the day of its data as a time at local midnight; east of Greenwich that
// time falls on the day before in UTC.
TEST(BankDirectoryZoneTest, TheDataDateIsTheSameDayInEveryTimeZone) {
  const char* const previous = std::getenv("TZ");
  const std::string kept = previous != nullptr ? previous : "";
  const auto dateIn = [](const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
    const auto directory = ombra::OpenSystemBankDirectory();
    return directory ? directory->DataDate() : std::string("kein Verzeichnis");
  };
  const std::string utc = dateIn("UTC");
  for (const char* zone :
       {"Europe/Berlin", "Asia/Tokyo", "Pacific/Kiritimati", "America/Los_Angeles", "Pacific/Pago_Pago"})
    EXPECT_EQ(dateIn(zone), utc) << zone;
  if (previous != nullptr)
    ::setenv("TZ", kept.c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
}
