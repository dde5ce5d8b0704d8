#include <stdlib.h>

#include <gtest/gtest.h>

#include "datetime.h"
#include "regional.h"

using namespace ombra;

namespace {

class Environment : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* v : kVariables) unsetenv(v);
  }
  void TearDown() override { SetUp(); }
  static constexpr const char* kVariables[] = {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"};
};

TEST(RegionalPresets, HoldTheAgreedValues) {
  const auto de = TRegionalSettings::de_DE();
  EXPECT_EQ(de.ThousandSeparator, '.');
  EXPECT_EQ(de.DecimalSeparator, ',');
  EXPECT_EQ(de.DateSeparator, '.');
  EXPECT_EQ(de.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(de.LongTimeFormat, "HH:mm:ss");
  const auto us = TRegionalSettings::en_US();
  EXPECT_EQ(us.ThousandSeparator, ',');
  EXPECT_EQ(us.DecimalSeparator, '.');
  EXPECT_EQ(us.DateSeparator, '/');
  EXPECT_EQ(us.ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(us.LongTimeFormat, "h:mm:ss AP");
  EXPECT_EQ(RegionalSettingsByName("en_US.UTF-8"), us);
  EXPECT_EQ(RegionalSettingsByName("de_DE@euro"), de);
  EXPECT_FALSE(RegionalSettingsByName("fr_FR").has_value());
}

TEST_F(Environment, NothingSetOrPlainCGivesGermanConventions) {
  EXPECT_EQ(RegionalSettingsFromEnvironment(), TRegionalSettings::de_DE());
  setenv("LANG", "C.UTF-8", 1);
  EXPECT_EQ(RegionalSettingsFromEnvironment(), TRegionalSettings::de_DE());
  setenv("LC_ALL", "POSIX", 1);
  EXPECT_EQ(RegionalSettingsFromEnvironment(), TRegionalSettings::de_DE());
}

TEST_F(Environment, LcAllWinsOverTheSpecificVariablesWhichWinOverLang) {
  setenv("LANG", "en_US.UTF-8", 1);
  EXPECT_EQ(RegionalSettingsFromEnvironment(), TRegionalSettings::en_US());

  setenv("LC_NUMERIC", "de_DE.UTF-8", 1);
  const auto mixed = RegionalSettingsFromEnvironment();
  EXPECT_EQ(mixed.DecimalSeparator, ',');
  EXPECT_EQ(mixed.ShortDateFormat, "M/d/yyyy");

  setenv("LC_ALL", "de_DE.UTF-8", 1);
  EXPECT_EQ(RegionalSettingsFromEnvironment(), TRegionalSettings::de_DE());
}

TEST_F(Environment, UnknownLocaleFallsBackToGermanConventions) {
  setenv("LANG", "xx_NOWHERE.UTF-8", 1);
  EXPECT_EQ(RegionalSettingsFromEnvironment(), TRegionalSettings::de_DE());
}

TEST(DateTimeText, FollowsThePatterns) {
  const TDate date{2026, 12, 8};
  EXPECT_EQ(FormatDateTime(date, {14, 22, 6}, TRegionalSettings::de_DE()), "08.12.2026 14:22:06");
  EXPECT_EQ(FormatDateTime(date, {14, 22, 6}, TRegionalSettings::en_US()), "12/8/2026 2:22:06 PM");
  EXPECT_EQ(FormatDateTime(date, {0, 0, 0}, TRegionalSettings::de_DE()), "08.12.2026");
  EXPECT_EQ(FormatTime({0, 5, 9}, "h:mm:ss AP"), "12:05:09 AM");
  EXPECT_EQ(FormatTime({12, 0, 1}, "hh:mm:ss ap"), "12:00:01 pm");
  EXPECT_EQ(FormatDate({1999, 3, 4}, "d/M/yy"), "4/3/99");
}

}  // namespace
