#include "profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "temp_dir.h"

using support::TProfile;
using support_test::TempDir;

namespace {

class Profile : public ::testing::Test {
 protected:
  TProfile Ini(const std::string& text) { return TProfile(dir_.Write("quandel.ini", text)); }
  std::string Str(const std::string& text, const std::string& key = "initialdir") {
    return Ini(text).ReadString("viewer", key, "<default>");
  }
  std::int32_t Int(const std::string& value) {
    return Ini("[viewer]\nfilterindex=" + value + "\n").ReadInteger("viewer", "filterindex", 1);
  }

  TempDir dir_;
};

TEST_F(Profile, IntegerDecimalAndHexadecimal) {
  EXPECT_EQ(Int("3"), 3);
  EXPECT_EQ(Int("-5"), -5);
  EXPECT_EQ(Int("+2"), 2);
  EXPECT_EQ(Int(" +0 "), 0);
  EXPECT_EQ(Int("+2147483647"), 2147483647);
  EXPECT_EQ(Int("+3"), 3);
  EXPECT_EQ(Int("0x2"), 2);
  EXPECT_EQ(Int("0X1f"), 31);
  EXPECT_EQ(Int("$2"), 2);
  EXPECT_EQ(Int("$a"), 10);
  EXPECT_EQ(Int("  7  "), 7);
  EXPECT_EQ(Int("2147483647"), 2147483647);
  EXPECT_EQ(Int("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(Int("$FFFFFFFF"), -1);
}

TEST_F(Profile, IntegerThatIsNotOneGivesDefault) {
  for (const char* bad :
       {"abc", "12abc",       "",           "-",           "0x",         "$",    "0x1g", "1.5",
        "1 2", "-0x2",        "+",          "++3",         "+-3",        "-+3",  "+ 3",  "+0x2",
        "+$2", "+2147483648", "2147483648", "-2147483649", "$100000000", "\"\"", "0b1"}) {
    EXPECT_EQ(Int(bad), 1) << bad;
  }
}

TEST_F(Profile, MissingFileSectionOrKeyGivesDefault) {
  const TProfile none(dir_.Path("missing.ini"));
  EXPECT_EQ(none.ReadString("viewer", "initialdir", "d"), "d");
  EXPECT_EQ(none.ReadInteger("viewer", "filterindex", 1), 1);
  EXPECT_EQ(Str("[other]\ninitialdir=x\n"), "<default>");
  EXPECT_EQ(Str("[viewer]\nfilterindex=2\n"), "<default>");
  EXPECT_EQ(Str("initialdir=outside\n[viewer]\n"), "<default>");
  EXPECT_EQ(Str("[viewer]\ninitialdir\n"), "<default>");
}

TEST_F(Profile, FolderInPlaceOfFileActsAsEmpty) {
  const std::string folder = dir_.Folder("quandel.ini");
  EXPECT_EQ(TProfile(folder).ReadString("viewer", "initialdir", "d"), "d");
}

TEST_F(Profile, NamesIgnoreCase) {
  EXPECT_EQ(Str("[VIEWER]\nInitialDir=C:\\Daten\n"), "C:\\Daten");
  EXPECT_EQ(Ini("[Viewer]\nFILTERINDEX=3\n").ReadInteger("vIeWeR", "filterIndex", 1), 3);
}

TEST_F(Profile, FirstSectionAndFirstKeyWin) {
  EXPECT_EQ(Str("[viewer]\ninitialdir=first\ninitialdir=second\n"), "first");
  EXPECT_EQ(Str("[viewer]\nfilterindex=2\n[Viewer]\ninitialdir=later\n"), "<default>");
  EXPECT_EQ(Str("[a]\ninitialdir=a\n[viewer]\ninitialdir=v\n[b]\ninitialdir=b\n"), "v");
}

TEST_F(Profile, ValueKeepsCommasBackslashesAndInnerBlanks) {
  EXPECT_EQ(Str("[viewer]\ninitialdir=C:\\Bank,Daten\\2024 Q1\\\n"), "C:\\Bank,Daten\\2024 Q1\\");
  EXPECT_EQ(Str("[viewer]\ninitialdir=a;b=c\n"), "a;b=c");
  EXPECT_EQ(Str("[viewer]\ninitialdir=;not a comment\n"), ";not a comment");
}

TEST_F(Profile, BlanksAroundNamesAndValuesAreTrimmed) {
  EXPECT_EQ(Str("  [ viewer ]  trailing\n\t initialdir \t=  \t/x y \t \n"), "/x y");
  EXPECT_EQ(Str("[viewer]\ninitialdir=\n"), "");
  EXPECT_EQ(Ini("[viewer]\ninitialdir=v\n").ReadString(" viewer ", " initialdir ", "d"), "v");
}

TEST_F(Profile, CommentLinesAreIgnored) {
  EXPECT_EQ(Str("[viewer]\n;initialdir=commented\n  ; initialdir=too\ninitialdir=real\n"), "real");
}

TEST_F(Profile, CrLfAndLfLineEnds) {
  EXPECT_EQ(Str("[viewer]\r\ninitialdir=C:\\a\r\nfilterindex=2\r\n"), "C:\\a");
  EXPECT_EQ(Ini("[viewer]\r\nfilterindex=0x2\r\n").ReadInteger("viewer", "filterindex", 1), 2);
  EXPECT_EQ(Str("[viewer]\ninitialdir=last line without end"), "last line without end");
}

TEST_F(Profile, OnePairOfMatchingQuotesIsStripped) {
  EXPECT_EQ(Str("[viewer]\ninitialdir=\" C:\\a b \"\n"), " C:\\a b ");
  EXPECT_EQ(Str("[viewer]\ninitialdir='x'\n"), "x");
  EXPECT_EQ(Str("[viewer]\ninitialdir=\"\"x\"\"\n"), "\"x\"");
  EXPECT_EQ(Str("[viewer]\ninitialdir=\"x'\n"), "\"x'");
  EXPECT_EQ(Str("[viewer]\ninitialdir=\"\n"), "\"");
  EXPECT_EQ(Str("[viewer]\ninitialdir=a\"b\"\n"), "a\"b\"");
  EXPECT_EQ(Int("\"0x2\""), 2);
}

TEST_F(Profile, ValueIsCutAt2047Characters) {
  const std::string longValue(2047, 'v');
  EXPECT_EQ(Str("[viewer]\ninitialdir=" + longValue + "\n"), longValue);
  EXPECT_EQ(Str("[viewer]\ninitialdir=" + longValue + "XYZ\n"), longValue);
  EXPECT_EQ(Str("[viewer]\ninitialdir=\"" + longValue + "XYZ\"\n"), longValue);
}

TEST_F(Profile, OnlyTheFirst64KiBAreRead) {
  const std::string head = "[viewer]\nfilterindex=2\n";
  const std::string key = "initialdir=D\n";
  const std::string filler = ";" + std::string(64 * 1024 - head.size() - key.size() - 2, 'x') + "\n";
  ASSERT_EQ(head.size() + filler.size() + key.size(), 64u * 1024);
  // The key's line ends the first 64 KiB; then a line as long pushes it just beyond.
  EXPECT_EQ(Str(head + filler + key), "D");
  EXPECT_EQ(Str(head + filler + ";" + std::string(key.size() - 2, 'y') + "\n" + key), "<default>");
}

TEST_F(Profile, BytesStayWindows1252) {
  EXPECT_EQ(Str("[viewer]\ninitialdir=C:\\\xC4nderungen\n"), "C:\\\xC4nderungen");
  // A file saved as UTF-8 with its mark is read as such and handed over in Windows-1252.
  EXPECT_EQ(Str("\xEF\xBB\xBF[viewer]\ninitialdir=C:\\\xC3\x84nderungen\n"), "C:\\\xC4nderungen");
}

TEST_F(Profile, FileIsNeverWritten) {
  const std::string path = dir_.Write("quandel.ini", "[viewer]\nfilterindex=2\n");
  chmod(path.c_str(), 0444);
  struct stat before {};
  stat(path.c_str(), &before);
  const TProfile p(path);
  EXPECT_EQ(p.ReadInteger("viewer", "filterindex", 1), 2);
  EXPECT_EQ(p.ReadString("viewer", "initialdir", ""), "");
  struct stat after {};
  stat(path.c_str(), &after);
  EXPECT_EQ(before.st_size, after.st_size);
  EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
  EXPECT_EQ(before.st_mtime, after.st_mtime);
}

}  // namespace
