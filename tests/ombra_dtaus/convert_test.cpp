#include <gtest/gtest.h>

#include "convert.h"

using namespace ombra;
using namespace std::string_literals;

TEST(IntegerConversion, ReadsDecimalAndHexadecimalFields) {
  EXPECT_EQ(StrToInt64("0001234567"), 1234567);
  EXPECT_EQ(StrToInt64("   -42"), -42);
  EXPECT_EQ(StrToInt64("+7"), 7);
  EXPECT_EQ(StrToInt64("$FF"), 255);
  EXPECT_EQ(StrToInt64("x1f"), 31);
  EXPECT_EQ(StrToInt64("0X10"), 16);
  EXPECT_EQ(StrToInt64("-$10"), -16);
  EXPECT_EQ(StrToInt64("99999999999999999"), 99999999999999999);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
}

TEST(IntegerConversion, NulEndsTheFieldEarly) {
  EXPECT_EQ(StrToInt64("12\0 junk"s), 12);
  EXPECT_THROW(StrToInt64("\0"
                          "12"s),
               EConvertError);
}

TEST(IntegerConversion, RejectsEverythingElse) {
  for (const char* bad : {"", "   ", "12 ", "1 2", "12a", "$", "0x", "-", "+-1", "1.0", "$G1",
                          "9223372036854775808", "$10000000000000000"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(StrToInt64(bad), EConvertError);
  }
  EXPECT_EQ(StrToInt32("2147483647"), 2147483647);
  EXPECT_THROW(StrToInt32("2147483648"), EConvertError);
}

TEST(DecimalConversion, DigitsReadTheSameWithEverySeparator) {
  EXPECT_DOUBLE_EQ(StrToFloat("00000012345", ','), 12345.0);
  EXPECT_DOUBLE_EQ(StrToFloat("00000012345", '.'), 12345.0);
  EXPECT_DOUBLE_EQ(StrToFloat("  -12,5  ", ','), -12.5);
  EXPECT_DOUBLE_EQ(StrToFloat(",5", ','), 0.5);
  EXPECT_DOUBLE_EQ(StrToFloat("12,", ','), 12.0);
  EXPECT_DOUBLE_EQ(StrToFloat("1E3", ','), 1000.0);
  EXPECT_DOUBLE_EQ(StrToFloat("25e-1", '.'), 2.5);
  EXPECT_DOUBLE_EQ(StrToFloat("42\0"
                              "abc"s,
                              ','),
                   42.0);
  EXPECT_DOUBLE_EQ(StrToFloat("1e-999", ','), 0.0);
}

TEST(DecimalConversion, RejectsBlanksForeignSeparatorsAndOverflow) {
  for (const char* bad : {"", "           ", "12.5", "1.234,5", "1 2", "1E", "e5", ",", "+", "0x10", "1E999",
                          "inf", "nan", "12,5,0"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(StrToFloat(bad, ','), EConvertError);
  }
}

// Plain digit fields take a shortcut; a sign or an exponent sends the same number the long way.
TEST(NumberConversion, PlainDigitFieldsReadAsTheGeneralPathReadsThem) {
  for (const std::string digits :
       {"0", "00000000000", "0001234567", "999999999999999999", "9223372036854775807", "9007199254740993",
        "12345678901234567", "00000100050"}) {
    for (const std::string& field : {digits, "   " + digits}) {
      SCOPED_TRACE(field);
      EXPECT_EQ(StrToInt64(field), StrToInt64("+" + digits));
      EXPECT_EQ(StrToFloat(field + "  ", ','), StrToFloat(digits + "e0", ','));
    }
  }
  EXPECT_THROW(StrToInt64("12 "), EConvertError);
}

// Fields of eight to sixteen bytes are looked at a word at a time: every length, and a byte
// just outside the digits (or a blank) at every place, read as the general path reads them.
TEST(NumberConversion, WordWiseDigitFieldsOfEveryLength) {
  const std::string pattern = "9876543210123456";
  for (std::size_t n = 8; n <= 16; ++n) {
    const std::string digits = pattern.substr(0, n);
    SCOPED_TRACE(digits);
    EXPECT_EQ(StrToInt64(digits), StrToInt64("+" + digits));
    EXPECT_EQ(StrToFloat(digits, ','), StrToFloat(digits + "e0", ','));
    for (std::size_t at = 0; at < n; ++at)
      for (const char bad : {'/', ':', 'A', '\x80', ' '}) {
        std::string field = digits;
        field[at] = bad;
        SCOPED_TRACE(field);
        // Blanks may lead a number and trail an amount; anywhere else they, like the other
        // bytes, make no number.
        if (bad == ' ' && at == 0) {
          EXPECT_EQ(StrToInt64(field), StrToInt64("+" + digits.substr(1)));
          EXPECT_EQ(StrToFloat(field, ','), StrToFloat(digits.substr(1) + "e0", ','));
          continue;
        }
        EXPECT_THROW(StrToInt64(field), EConvertError);
        if (bad == ' ' && at == n - 1) {
          EXPECT_EQ(StrToFloat(field, ','), StrToFloat(digits.substr(0, at) + "e0", ','));
        } else {
          EXPECT_THROW(StrToFloat(field, ','), EConvertError);
        }
      }
  }
}

TEST(DateConversion, ReadsDayMonthYearByPosition) {
  EXPECT_EQ(DateFromDDMMYY("311202", 2026), (TDate{2002, 12, 31}));
  EXPECT_EQ(DateFromDDMMYY("010180", 2026), (TDate{1980, 1, 1}));
  EXPECT_EQ(DateFromDDMMYY("290200", 2026), (TDate{2000, 2, 29}));
  for (const char* bad : {"000000", "320102", "011302", "290201", "31.12.", "3112 2", "31122"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(DateFromDDMMYY(bad, 2026), EConvertError);
  }
}

TEST(DateConversion, TwoDigitYearsLieAroundTheCurrentYear) {
  EXPECT_EQ(ExpandTwoDigitYear(76, 2026), 1976);
  EXPECT_EQ(ExpandTwoDigitYear(75, 2026), 2075);
  EXPECT_EQ(ExpandTwoDigitYear(80, 2030), 1980);
  EXPECT_EQ(ExpandTwoDigitYear(80, 2031), 2080);
  EXPECT_EQ(ExpandTwoDigitYear(0, 2049), 2000);
  EXPECT_EQ(ExpandTwoDigitYear(99, 2049), 1999);
  EXPECT_EQ(ExpandTwoDigitYear(99, 2050), 2099);
}
