#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "dtaus.h"
#include "dtaus_builder.h"
#include "temp_dir.h"

using namespace testdta;
using ombra::TDtaus;

namespace {

class ReaderTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) { return dir.Write("test.dta", bytes); }
  void LoadBytes(const std::string& bytes,
                 const ombra::TRegionalSettings& rs = ombra::TRegionalSettings::de_DE()) {
    doc.Load(Write(bytes), rs);
  }
  std::vector<std::string> Purposes(std::size_t record) const {
    const auto& lines = doc.SatzCList.at(record).Verwendungszweck;
    return {lines.begin(), lines.end()};
  }

  TempDir dir;
  TDtaus doc;
};

CRecord WithExtensions(int n) {
  CRecord c;
  for (int i = 1; i <= n; ++i) c.extensions.push_back({"02", "ZEILE " + std::to_string(i)});
  return c;
}

std::string Padded(const std::string& text) { return text + std::string(27 - text.size(), ' '); }

TEST_F(ReaderTest, ReadsHeaderPaymentsAndTrailerOfAPlainFile) {
  ARecord a;
  CRecord c1, c2;
  c2.blz = "11122233";
  c2.konto = "0099999999";
  c2.euro = "00000100050";
  c2.name = "ZWEITER EMPFAENGER";
  const std::string bytes = File(a, {c1, c2});
  ASSERT_EQ(bytes.size(), 768u);
  LoadBytes(bytes);

  EXPECT_EQ(doc.ErrorText, "");
  EXPECT_EQ(doc.SatzA->Art,
            "\xDC"
            "berweisungen");
  EXPECT_EQ(doc.SatzA->Name, Padded("ABSENDER GMBH"));
  EXPECT_EQ(doc.SatzA->BLZ, "123 456 78");
  EXPECT_EQ(doc.SatzA->Konto, "1234567");
  EXPECT_EQ(doc.SatzA->Referenz, "REF0000001");
  EXPECT_EQ(doc.SatzA->Datum, (ombra::TDate{2002, 12, 31}));
  EXPECT_TRUE(doc.SatzA->Euro);

  ASSERT_EQ(doc.SatzCList.size(), 2u);
  EXPECT_EQ(doc.SatzE->Anzahl, 2);
  const auto& second = doc.SatzCList[1];
  EXPECT_EQ(second.BLZ, "111 222 33");
  EXPECT_EQ(second.Konto, "99999999");
  EXPECT_DOUBLE_EQ(second.Betrag, 1000.50);
  EXPECT_EQ(second.Name, Padded("ZWEITER EMPFAENGER"));
  EXPECT_EQ(Purposes(1), std::vector<std::string>{Padded("RECHNUNG 1")});

  // The trailer is read from byte 641: its values are those of the two payments.
  EXPECT_DOUBLE_EQ(doc.SatzE->SummeEuro, 1123.95);
  EXPECT_DOUBLE_EQ(doc.SatzE->SummeDM, 0.0);
  EXPECT_EQ(doc.SatzE->SummeKonto, 123456 + 99999999);
  EXPECT_EQ(doc.SatzE->SummeBLZ, 87654321 + 11122233);
}

TEST_F(ReaderTest, AmountComesFromTheFieldOfTheFilesCurrency) {
  ARecord a;
  CRecord c;
  c.dm = "00000012345";
  c.euro = "00000099999";
  LoadBytes(File(a, {c}));
  EXPECT_DOUBLE_EQ(doc.SatzCList.at(0).Betrag, 999.99);

  a.currency = " ";
  LoadBytes(File(a, {c}));
  EXPECT_FALSE(doc.SatzA->Euro);
  EXPECT_DOUBLE_EQ(doc.SatzCList.at(0).Betrag, 123.45);
}

TEST_F(ReaderTest, OddExtensionCountAlsoTakesTheNextSlotsText) {
  CRecord c = WithExtensions(1);
  std::string bytes = File(ARecord{}, {c});
  Put(bytes, 128 + 219, 128 + 245, "IM ZWEITEN FELD");  // slot 2's text, not announced
  LoadBytes(bytes);
  ASSERT_EQ(doc.ErrorText, "");
  EXPECT_EQ(Purposes(0),
            (std::vector<std::string>{Padded("RECHNUNG 1"), Padded("ZEILE 1"), Padded("IM ZWEITEN FELD")}));
}

TEST_F(ReaderTest, ThreeExtensionsTakeThreeBlocksAndTheNextRecordFollows) {
  CRecord c1 = WithExtensions(3);
  CRecord c2;
  c2.name = "NACH DREI TEILEN";
  LoadBytes(File(ARecord{}, {c1, c2}));
  ASSERT_EQ(doc.ErrorText, "");
  ASSERT_EQ(doc.SatzCList.size(), 2u);
  EXPECT_EQ(Purposes(0).size(), 5u);
  EXPECT_EQ(Purposes(0)[3], Padded("ZEILE 3"));
  EXPECT_EQ(doc.SatzCList[1].Name, Padded("NACH DREI TEILEN"));
}

TEST_F(ReaderTest, UpToFifteenExtensionsAreReadFourPerFurtherBlock) {
  for (int n : {5, 6, 7, 14, 15}) {
    SCOPED_TRACE(n);
    CRecord c1 = WithExtensions(n);
    CRecord c2;
    c2.name = "DANACH";
    LoadBytes(File(ARecord{}, {c1, c2}));
    ASSERT_EQ(doc.ErrorText, "");
    ASSERT_EQ(doc.SatzCList.size(), 2u);
    const auto purposes = Purposes(0);
    ASSERT_EQ(purposes.size(), static_cast<std::size_t>(1 + (n + 1) / 2 * 2));
    for (int i = 1; i <= n; ++i)
      EXPECT_EQ(purposes[static_cast<std::size_t>(i)], Padded("ZEILE " + std::to_string(i)));
    EXPECT_EQ(doc.SatzCList[1].Name, Padded("DANACH"));
  }
}

TEST_F(ReaderTest, ExtensionCountFieldDecidesTheRecord) {
  CRecord none;
  none.count = "00";
  LoadBytes(File(ARecord{}, {none}));
  EXPECT_EQ(doc.ErrorText, "");
  EXPECT_EQ(Purposes(0).size(), 1u);

  CRecord negative;
  negative.count = "-1";
  LoadBytes(File(ARecord{}, {negative}));
  EXPECT_EQ(doc.ErrorText, "");
  EXPECT_EQ(Purposes(0).size(), 1u);

  for (const char* bad : {"  ", "1 ", "16", "99", "AB"}) {
    SCOPED_TRACE(bad);
    CRecord c = WithExtensions(15);
    c.count = bad;
    const std::string name = Write(File(ARecord{}, {c}));
    doc.Load(name);
    EXPECT_EQ(doc.ErrorText, name);
  }
}

TEST_F(ReaderTest, FileWithoutPaymentsReadsTheNextRecordAsTrailer) {
  LoadBytes(File(ARecord{}, {}));
  EXPECT_EQ(doc.ErrorText, "");
  EXPECT_TRUE(doc.SatzCList.empty());
  EXPECT_EQ(doc.SatzE->Anzahl, 0);
}

TEST_F(ReaderTest, KindsAndFieldChecksGoToTheReportHandler) {
  std::vector<std::string> reports;
  doc.SetReportHandler([&](int level, const std::string& message) {
    EXPECT_EQ(level, 2);
    reports.push_back(message);
  });
  const std::vector<std::pair<std::string, std::string>> kinds = {{"GK",
                                                                   "\xDC"
                                                                   "berweisungen"},
                                                                  {"LK", "Lastschriften"},
                                                                  {"GB", "???"},
                                                                  {"LB", "???"}};
  for (const auto& [kind, art] : kinds) {
    ARecord a;
    a.kind = kind;
    LoadBytes(File(a, {CRecord{}}));
    EXPECT_EQ(doc.SatzA->Art, art);
  }
  EXPECT_TRUE(reports.empty());

  ARecord a;
  a.kind = "gk";
  a.length = "0127";
  a.type = "X";
  a.currency = "2";
  std::string bytes = File(a, {CRecord{}});
  Put(bytes, 128 + 256 + 1, 128 + 256 + 5, "0129Z");
  LoadBytes(bytes);
  EXPECT_EQ(doc.ErrorText, "");
  EXPECT_EQ(doc.SatzA->Art, "???");
  EXPECT_FALSE(doc.SatzA->Euro);  // any byte but "1" makes a DM file
  EXPECT_EQ(reports, (std::vector<std::string>{"Ung\xFCltige L\xE4nge", "Nur Satzart A erlaubt",
                                               "Nur Kennzeichen GK, LK, GB, LB erlaubt", "Nur Euro oder DM",
                                               "Ung\xFCltige L\xE4nge", "Nur Satzart E erlaubt"}));
}

TEST_F(ReaderTest, BankCodesAreGroupedWhateverTheyHold) {
  EXPECT_EQ(ombra::FormatBLZ("12345678"), "123 456 78");
  EXPECT_EQ(ombra::FormatBLZ("        "), std::string(10, ' '));
  EXPECT_EQ(ombra::FormatBLZ("AB<DEF&H"), "AB< DEF &H");
}

TEST_F(ReaderTest, AccountNumbersAreNormalisedOrFailTheLoad) {
  EXPECT_EQ(ombra::NormalizeKonto("0001234567"), "1234567");
  EXPECT_EQ(ombra::NormalizeKonto("0000000000"), "0");
  EXPECT_EQ(ombra::NormalizeKonto("  -0000042"), "-42");
  for (const char* bad : {"12345678 9", "          ", "00001234 ", "12A4567890"}) {
    SCOPED_TRACE(bad);
    CRecord c;
    c.konto = bad;
    const std::string name = Write(ARecord{}.Bytes() + c.Bytes() + ERecord{}.Bytes());
    doc.Load(name);
    EXPECT_EQ(doc.ErrorText, name);
  }
}

TEST_F(ReaderTest, HeaderDateIsReadByPositionInEveryLocale) {
  ARecord a;
  a.date = "010180";
  for (const auto& rs : {ombra::TRegionalSettings::de_DE(), ombra::TRegionalSettings::en_US()}) {
    LoadBytes(File(a, {}), rs);
    EXPECT_EQ(doc.ErrorText, "");
    EXPECT_EQ(doc.SatzA->Datum, (ombra::TDate{1980, 1, 1}));
  }
  for (const char* bad : {"000000", "310202", "3112O2", "      ", "01.180"}) {
    SCOPED_TRACE(bad);
    a.date = bad;
    LoadBytes(File(a, {}));
    EXPECT_FALSE(doc.ErrorText.empty());
  }
}

TEST_F(ReaderTest, AmountsFollowTheUsersDecimalSeparator) {
  CRecord c;
  c.euro = "   12345,5 ";
  LoadBytes(ARecord{}.Bytes() + c.Bytes() + ERecord{}.Bytes());
  ASSERT_EQ(doc.ErrorText, "");
  EXPECT_DOUBLE_EQ(doc.SatzCList.at(0).Betrag, 123.455);

  LoadBytes(ARecord{}.Bytes() + c.Bytes() + ERecord{}.Bytes(), ombra::TRegionalSettings::en_US());
  EXPECT_FALSE(doc.ErrorText.empty());

  c.euro = "12345.5";
  LoadBytes(ARecord{}.Bytes() + c.Bytes() + ERecord{}.Bytes(), ombra::TRegionalSettings::en_US());
  EXPECT_EQ(doc.ErrorText, "");
  EXPECT_DOUBLE_EQ(doc.SatzCList.at(0).Betrag, 123.455);
}

TEST_F(ReaderTest, FailedLoadKeepsTheNameAndTheNextLoadStartsClean) {
  // The empty name fails like any other, although it leaves ErrorText as empty as success.
  for (const std::string& name : {(dir.Path() / "fehlt.dta").string(), dir.Path().string(), std::string()}) {
    SCOPED_TRACE(name);
    LoadBytes(File(ARecord{}, {CRecord{}}));
    ASSERT_FALSE(doc.LoadFailed());
    doc.Load(name);
    EXPECT_EQ(doc.ErrorText, name);
    EXPECT_TRUE(doc.LoadFailed());
    ombra::TLineList lines;
    doc.RenderControlList(lines, "FOOTER");
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines.at(0).rfind("<font face=arial color=#ff0000>Beim Lesen der Datei ", 0), 0u);
  }
  LoadBytes(File(ARecord{}, {CRecord{}, CRecord{}}));
  EXPECT_EQ(doc.ErrorText, "");
  EXPECT_FALSE(doc.LoadFailed());
  EXPECT_EQ(doc.SatzCList.size(), 2u);
}

struct FileState {
  std::string bytes;
  timespec modified{};
  timespec changed{};
};

FileState StateOf(const std::string& name) {
  struct stat st {};
  EXPECT_EQ(stat(name.c_str(), &st), 0);
  std::ifstream in(name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return {std::move(bytes).str(), st.st_mtim, st.st_ctim};
}

void ExpectUnchanged(const FileState& before, const FileState& after) {
  EXPECT_EQ(after.bytes, before.bytes);
  EXPECT_EQ(after.modified.tv_sec, before.modified.tv_sec);
  EXPECT_EQ(after.modified.tv_nsec, before.modified.tv_nsec);
  EXPECT_EQ(after.changed.tv_sec, before.changed.tv_sec);
  EXPECT_EQ(after.changed.tv_nsec, before.changed.tv_nsec);
}

TEST_F(ReaderTest, ReadOnlyFilesLoadAndNoFileIsEverChanged) {
  const std::string good = dir.Write("gut.dta", File(ARecord{}, {CRecord{}}));
  const std::string bad = dir.Write("kaputt.dta", File(ARecord{}, {CRecord{}}).substr(0, 300));
  ASSERT_EQ(chmod(good.c_str(), 0444), 0);
  const FileState goodBefore = StateOf(good);
  const FileState badBefore = StateOf(bad);

  doc.Load(good);
  EXPECT_EQ(doc.ErrorText, "");
  ombra::TLineList lines;
  doc.RenderControlList(lines, "");
  doc.Load(bad);
  EXPECT_EQ(doc.ErrorText, bad);
  doc.RenderControlList(lines, "");

  ExpectUnchanged(goodBefore, StateOf(good));
  ExpectUnchanged(badBefore, StateOf(bad));
}

TEST_F(ReaderTest, BytesAfterTheTrailerAreIgnored) {
  LoadBytes(File(ARecord{}, {CRecord{}}) + "0128C" + std::string(500, '#'));
  EXPECT_EQ(doc.ErrorText, "");
  EXPECT_EQ(doc.SatzCList.size(), 1u);
}

TEST_F(ReaderTest, FilesThatEndEarlyFail) {
  const std::string whole = File(ARecord{}, {WithExtensions(5)});
  const std::size_t aEnd = 128, cEnd = aEnd + 3 * 128;
  // Inside the header, inside the payment's parts, right after the payment, inside the trailer.
  for (std::size_t size :
       {std::size_t{0}, std::size_t{100}, aEnd + 150, aEnd + 300, cEnd - 12, cEnd, cEnd + 127}) {
    SCOPED_TRACE(size);
    const std::string name = Write(whole.substr(0, size));
    doc.Load(name);
    EXPECT_EQ(doc.ErrorText, name);
  }
  LoadBytes(whole);
  EXPECT_EQ(doc.ErrorText, "");
}

TEST_F(ReaderTest, TrailerFieldsMustConvert) {
  for (std::size_t first : {18u, 31u, 48u, 65u}) {
    SCOPED_TRACE(first);
    std::string bytes = File(ARecord{}, {CRecord{}});
    const std::size_t e = bytes.size() - 128;
    bytes[e + first + 2] = '#';
    LoadBytes(bytes);
    EXPECT_FALSE(doc.ErrorText.empty());
  }
}

}  // namespace

namespace {

TEST_F(ReaderTest, AFailedLoadSaysWhyInOneLine) {
  const std::string header = ARecord().Bytes();
  CRecord badKonto;
  badKonto.konto = "00000012 4";
  CRecord sixteen = WithExtensions(15);
  sixteen.count = "16";
  ARecord noDate;
  noDate.date = "000000";
  ERecord badSum;
  badSum.blz = "0000000000000000X";
  const std::pair<std::string, std::string> cases[] = {
      {"", "Die Datei ist leer"},
      {header.substr(0, 100), "Datei endet vorzeitig: A-Satz hat nur 100 von 128 Bytes"},
      {header + CRecord().Bytes(), "Kein E-Satz: die Datei endet mit Byte 384 nach 1 Zahlung"},
      {header + CRecord().Bytes().substr(0, 150),
       "Datei endet vorzeitig: Zahlung 1 (C-Satz ab Byte 129) hat nur 150 von 187 Bytes"},
      {File(ARecord(), {CRecord(), badKonto}),
       "Zahlung 2 (C-Satz ab Byte 385), Stellen 22-31 (Byte 406), Kontonummer \x84"
       "00000012 4\x93"
       " ist keine Zahl"},
      {File(ARecord(), {sixteen}),
       "Zahlung 1 (C-Satz ab Byte 129), Stellen 186-187 (Byte 314), Anzahl der Erweiterungsteile "
       "\x84"
       "16\x93 ist gr\xF6\xDF"
       "er als 15"},
      {File(noDate, {}),
       "A-Satz, Stellen 51-56 (Byte 51), Datum \x84"
       "000000\x93 ist kein g\xFCltiges Datum"},
      {header + badSum.Bytes(),
       "E-Satz (ab Byte 129), Stellen 48-64 (Byte 176), Pr\xFC"
       "fsumme der Bankleitzahlen \x84"
       "0000000000000000X\x93 ist keine Zahl"},
      {File(ARecord(), {CRecord()}), ""},
  };
  for (const auto& [bytes, why] : cases) {
    LoadBytes(bytes);
    EXPECT_EQ(doc.LoadError, why);
    EXPECT_EQ(doc.ErrorText.empty(), why.empty());
  }
  const std::pair<std::string, std::string> unopenable[] = {
      {(dir.Path() / "fehlt.dta").string(), "Datei nicht gefunden"},
      {dir.Path().string(), "Ist ein Ordner"},
  };
  for (const auto& [name, why] : unopenable) {
    doc.Load(name);
    EXPECT_EQ(doc.LoadError, why);
  }
}

TEST_F(ReaderTest, TheTrailersOwnCountIsKeptAsStored) {
  std::string bytes = File(ARecord(), {CRecord()});
  bytes.replace(bytes.size() - 128 + 10, 7, "00 0042");
  LoadBytes(bytes);
  EXPECT_EQ(doc.SatzE->Anzahl, 1);
  EXPECT_EQ(doc.SatzE->AnzahlDatei, "00 0042");
}

}  // namespace
