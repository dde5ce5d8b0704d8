// A damaged file keeps what was read before the damage, and says where, what and how much.
#include <gtest/gtest.h>

#include "dtaus.h"
#include "dtaus_builder.h"
#include "temp_dir.h"

using namespace testdta;
using ombra::TDamageKind;

namespace {

class DamageTest : public ::testing::Test {
 protected:
  void LoadBytes(const std::string& bytes) { doc.Load(dir.Write("kaputt.dta", bytes)); }
  TempDir dir;
  ombra::TDtaus doc;
};

CRecord Payment(const std::string& name, int extensions = 0) {
  CRecord c;
  c.name = name;
  for (int i = 1; i <= extensions; ++i) c.extensions.push_back({"02", "ZEILE " + std::to_string(i)});
  return c;
}

TEST_F(DamageTest, FilesCutAtEveryRecordKindKeepThePaymentsBefore) {
  ARecord a;
  a.name = "ABSENDER GMBH";
  a.referenz = "REF4711";
  // A 128, payment 1 at 128 (256 bytes), payment 2 at 384 (3 parts: 384 bytes), payment 3 at
  // 768 (256 bytes), E at 1024.
  const std::string whole = File(a, {Payment("EINS"), Payment("ZWEI", 3), Payment("DREI")});
  ASSERT_EQ(whole.size(), 1152u);
  CRecord badAmount = Payment("DREI");
  badAmount.euro = "000000X2345";
  struct Case {
    const char* name;
    std::string bytes;
    TDamageKind kind;
    char record;
    std::int64_t payment, recordOffset, offset;
    std::string what;
    std::size_t paymentsRead;
    std::int64_t bytesRead;
    std::string readSoFar;  // Windows-1252
  } const cases[] = {
      {"inside the A record", whole.substr(0, 100), TDamageKind::CutShort, 'A', 0, 0, 100,
       "A-Satz hat nur 100 von 128 Bytes", 0, 0, ""},
      {"inside the first payment", whole.substr(0, 200), TDamageKind::CutShort, 'C', 1, 128, 200,
       "C-Satz hat nur 72 von 187 Bytes", 0, 128,
       "0 Zahlungen bis Byte 128 gelesen; Summen nicht pr\xFC"
       "fbar"},
      {"inside the second payment's extension parts", whole.substr(0, 384 + 250), TDamageKind::CutShort, 'C',
       2, 384, 384 + 250, "C-Satz hat nur 250 von 314 Bytes", 1, 384,
       "1 Zahlung bis Byte 384 gelesen; Summen nicht pr\xFC"
       "fbar"},
      {"inside the third payment's fixed part", whole.substr(0, 768 + 150), TDamageKind::CutShort, 'C', 3,
       768, 768 + 150, "C-Satz hat nur 150 von 187 Bytes", 2, 768,
       "2 Zahlungen bis Byte 768 gelesen; Summen nicht pr\xFC"
       "fbar"},
      {"right after the payments", whole.substr(0, 1024), TDamageKind::NoTrailer, 'E', 0, 1024, 1024,
       "Kein E-Satz: die Datei endet mit Byte 1024 nach 3 Zahlungen", 3, 1024,
       "3 Zahlungen bis Byte 1.024 gelesen; Summen nicht pr\xFC"
       "fbar"},
      {"inside the last payment's padding", whole.substr(0, 768 + 200), TDamageKind::NoTrailer, 'E', 0, 1024,
       768 + 200, "Kein E-Satz: die Datei endet mit Byte 968 nach 3 Zahlungen", 3, 968,
       "3 Zahlungen bis Byte 968 gelesen; Summen nicht pr\xFC"
       "fbar"},
      {"inside the E record", whole.substr(0, 1024 + 48), TDamageKind::CutShort, 'E', 0, 1024, 1024 + 48,
       "E-Satz hat nur 48 von 128 Bytes", 3, 1024,
       "3 Zahlungen bis Byte 1.024 gelesen; Summen nicht pr\xFC"
       "fbar"},
      {"an amount that is no number", File(a, {Payment("EINS"), Payment("ZWEI", 3), badAmount}),
       TDamageKind::BadField, 'C', 3, 768, 768 + 79,
       "Betrag in Euro \x84"
       "000000X2345\x93 ist kein Betrag",
       2, 768,
       "2 Zahlungen bis Byte 768 gelesen; Summen nicht pr\xFC"
       "fbar"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoadBytes(c.bytes);
    ASSERT_TRUE(doc.LoadFailed());
    const ombra::TLoadDamage& d = doc.Damage;
    EXPECT_EQ(d.Kind, c.kind);
    EXPECT_EQ(d.Record, c.record);
    EXPECT_EQ(d.Payment, c.payment);
    EXPECT_EQ(d.RecordOffset, c.recordOffset);
    EXPECT_EQ(d.Offset, c.offset);
    EXPECT_EQ(d.What, c.what);
    EXPECT_EQ(d.PaymentsRead, static_cast<std::int64_t>(c.paymentsRead));
    EXPECT_EQ(d.BytesRead, c.bytesRead);
    EXPECT_EQ(ombra::ReadSoFarText(d), c.readSoFar);
    EXPECT_EQ(ombra::PartlyRead(d), !c.readSoFar.empty());
    // Every payment before the damage, and the A record's texts, are there to be shown.
    ASSERT_EQ(doc.SatzCList.size(), c.paymentsRead);
    const char* const names[] = {"EINS", "ZWEI", "DREI"};
    for (std::size_t i = 0; i < c.paymentsRead; ++i) EXPECT_EQ(doc.SatzCList[i].Name.substr(0, 4), names[i]);
    EXPECT_EQ(doc.SatzA->Name.substr(0, 13), "ABSENDER GMBH");
    // The one-line message stays as it was and names the same record.
    EXPECT_NE(doc.LoadError.find(c.record == 'C' ? "C-Satz" : std::string(1, c.record) + "-Satz"),
              std::string::npos)
        << doc.LoadError;
  }
  LoadBytes(whole);
  EXPECT_EQ(doc.Damage.Kind, TDamageKind::None);
  EXPECT_EQ(doc.Damage.PaymentsRead, 3);
}

TEST_F(DamageTest, AnARecordCutShortKeepsTheFieldsBeforeTheCut) {
  ARecord a;
  a.kind = "LK";
  a.blz = "10020030";
  a.name = "ABSENDER GMBH";
  a.referenz = "REF4711";
  // A date that does not convert fails the load after the texts were read.
  ARecord noDate = a;
  noDate.date = "000000";
  LoadBytes(File(noDate, {}));
  EXPECT_EQ(doc.Damage.Kind, TDamageKind::BadField);
  EXPECT_EQ(doc.Damage.Offset, 50);
  EXPECT_EQ(doc.SatzA->Referenz, "REF4711   ");
  EXPECT_EQ(doc.SatzA->Art, "Lastschriften");

  LoadBytes(a.Bytes().substr(0, 60));
  EXPECT_EQ(doc.SatzA->Name.substr(0, 13), "ABSENDER GMBH");
  EXPECT_EQ(doc.SatzA->BLZ, "100 200 30");
  EXPECT_EQ(doc.SatzA->Referenz, "");           // positions 71-80 lie behind the cut, and the load before
  EXPECT_EQ(doc.SatzA->Datum, ombra::TDate{});  // is forgotten
}

TEST_F(DamageTest, AFileThatDoesNotStartWithAnARecordIsNoDtausFile) {
  const std::string good = File(ARecord(), {CRecord()});
  ARecord lower;
  lower.type = "a";
  const std::string cases[] = {
      "Hallo Welt, ein Text.\n",                // 22 bytes of text
      std::string(5000, 'x'),                   // longer than any record
      "\xEF\xBB\xBF" + good,                    // a byte-order mark before it
      "  " + good,                              // blanks before it
      File(lower, {CRecord()}).substr(0, 100),  // a lowercase a, cut short
      "0128",                                   // fewer bytes than the type needs
  };
  for (const auto& bytes : cases) {
    SCOPED_TRACE(bytes.substr(0, 20));
    LoadBytes(bytes);
    EXPECT_EQ(doc.LoadError, "keine DTAUS-Datei");
    EXPECT_EQ(doc.Damage.Kind, TDamageKind::NotDtaus);
    EXPECT_FALSE(ombra::PartlyRead(doc.Damage));
  }
  LoadBytes("");
  EXPECT_EQ(doc.LoadError, "Die Datei ist leer");
  EXPECT_EQ(doc.Damage.Kind, TDamageKind::Empty);
  // A record of the right length whose type byte is wrong still reads: the field check says so.
  LoadBytes(File(lower, {CRecord()}));
  EXPECT_FALSE(doc.LoadFailed()) << doc.LoadError;
  doc.Load((dir.Path() / "fehlt.dta").string());
  EXPECT_EQ(doc.Damage.Kind, TDamageKind::Unreadable);
  EXPECT_EQ(doc.Damage.What, "Datei nicht gefunden");
}

}  // namespace
