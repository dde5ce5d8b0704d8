#include <map>

#include <gtest/gtest.h>

#include "check.h"
#include "dtaus_builder.h"
#include "numfmt.h"
#include "temp_dir.h"
#include "verdict.h"

using namespace testdta;
using ombra::TAccountVerdict;
using ombra::TFindingKind;
using ombra::TSeverity;

namespace {

// The findings that are not in order.
std::vector<ombra::TFinding> Problems(const ombra::TFileCheck& check) {
  std::vector<ombra::TFinding> problems;
  for (const auto& f : check.Findings)
    if (f.Severity != TSeverity::None) problems.push_back(f);
  return problems;
}

class CheckTest : public ::testing::Test {
 protected:
  ombra::TFileCheck Check(const std::string& bytes) {
    return ombra::LoadAndCheck(doc, dir.Write("check.dta", bytes), ombra::TRegionalSettings::de_DE());
  }
  TempDir dir;
  ombra::TDtaus doc;
};

// Overwrites the trailer's positions first.. of a file made by File().
std::string WithTrailerField(std::string bytes, std::size_t first, const std::string& value) {
  bytes.replace(bytes.size() - 128 + first - 1, value.size(), value);
  return bytes;
}

TEST_F(CheckTest, EachWrongFieldIsFoundOnItsOwn) {
  const std::string good = File(ARecord(), {CRecord(), CRecord()});
  ARecord kind;
  kind.kind = "XY";
  ARecord length;
  length.length = "0127";
  struct Case {
    std::string bytes;
    TFindingKind kind;
    char record;
    std::string field, found, text;
  } const cases[] = {
      {WithTrailerField(good, 11, "0000003"), TFindingKind::Count, 'E', "Anzahl der Zahlungen", "3",
       "Anzahl der Zahlungen: Datei 3, gelesen 2"},
      {WithTrailerField(good, 11, "00000x2"), TFindingKind::Count, 'E', "Anzahl der Zahlungen", "00000x2",
       "Anzahl der Zahlungen: Feld im E-Satz \x84"
       "00000x2\x93 ist keine Zahl, gelesen 2"},
      {WithTrailerField(good, 65, "0000000024691"), TFindingKind::Total, 'E', "Gesamtsumme (EUR)", "246,91",
       "Gesamtsumme (EUR): Datei 246,91, berechnet 246,90"},
      {WithTrailerField(good, 31, "00000000000246913"), TFindingKind::CheckSum, 'E',
       "Pr\xFC"
       "fsumme Kontonummern",
       "246913",
       "Pr\xFC"
       "fsumme Kontonummern: Datei 246913, berechnet 246912"},
      {WithTrailerField(good, 48, "00000000175308641"), TFindingKind::CheckSum, 'E',
       "Pr\xFC"
       "fsumme Bankleitzahlen",
       "175308641",
       "Pr\xFC"
       "fsumme Bankleitzahlen: Datei 175308641, berechnet 175308642"},
      {WithTrailerField(good, 5, "X"), TFindingKind::FieldCheck, 'E', "Satzart", "X",
       "Nur Satzart E erlaubt"},
      {File(kind, {CRecord()}), TFindingKind::FieldCheck, 'A', "Kennzeichen", "XY",
       "Nur Kennzeichen GK, LK, GB, LB erlaubt"},
      {File(length, {CRecord()}), TFindingKind::FieldCheck, 'A', "Satzl\xE4nge", "0127",
       "Ung\xFCltige L\xE4nge"},
      {good + "XYZ", TFindingKind::Trailer, 0, "Dateiende", "3 Bytes",
       "Hinter dem E-Satz stehen ab Byte 769 weitere 3 Bytes, die nicht gelesen werden"},
      {good + "\r\n" + good, TFindingKind::Trailer, 0, "Dateiende", "A-Satz",
       "Hinter dem E-Satz beginnt ab Byte 771 ein weiterer Datentr\xE4ger (A-Satz); seine "
       "Zahlungen werden nirgends gezeigt und nicht gepr\xFC"
       "ft"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto check = Check(c.bytes);
    ASSERT_TRUE(check.Loaded) << check.LoadError;
    const auto problems = Problems(check);
    ASSERT_EQ(problems.size(), 1u);
    const auto& f = problems.front();
    EXPECT_EQ(f.Kind, c.kind);
    EXPECT_EQ(f.Record, c.record);
    EXPECT_EQ(f.Field, c.field);
    EXPECT_EQ(f.Found, c.found);
    EXPECT_EQ(f.Text, c.text);
    // Only bytes after the trailer that are not another batch leave the file consistent.
    EXPECT_EQ(f.Severity,
              c.text.find("weitere 3 Bytes") != std::string::npos ? TSeverity::Warning : TSeverity::Error);
    EXPECT_EQ(check.Ok(), f.Severity != TSeverity::Error);
    EXPECT_EQ(check.FirstProblem()->Text, c.text);
  }
}

TEST_F(CheckTest, PaddingAfterTheTrailerIsNoFinding) {
  const std::string good = File(ARecord(), {CRecord()});
  for (const std::string& padding :
       {std::string(), std::string(128, ' '), std::string(300, '\0'), std::string("\r\n"),
        std::string("\x1A"), std::string("\r\n\x1A \0", 5) + std::string(70000, ' ')}) {
    const auto check = Check(good + padding);
    EXPECT_TRUE(check.Ok());
    EXPECT_TRUE(Problems(check).empty()) << Problems(check).front().Text;
    EXPECT_EQ(check.FirstProblem(), nullptr);
  }
}

TEST_F(CheckTest, PaymentsThatAreNoNumbersAreNamedAndTheLoadFailureIsKept) {
  CRecord letters;
  letters.blz = "160F0000";
  auto check = Check(File(ARecord(), {CRecord(), letters}).replace(128 * 3 + 13, 8, "160F0000"));
  const auto problems = Problems(check);
  ASSERT_FALSE(problems.empty());
  EXPECT_EQ(problems[0].Payment, 2);
  EXPECT_EQ(problems[0].Text,
            "Zahlung 2: Bankleitzahl \x84"
            "160 F00 00\x93 ist keine Zahl");

  check = Check(ARecord().Bytes());
  EXPECT_FALSE(check.Loaded);
  EXPECT_FALSE(check.Ok());
  EXPECT_EQ(check.LoadError, "Kein E-Satz: die Datei endet mit Byte 128 nach 0 Zahlungen");
}

TEST_F(CheckTest, TheTotalIsSummedInWholeCents) {
  CRecord dime;
  dime.euro = "00000000010";
  const auto check = Check(File(ARecord(), std::vector<CRecord>(10, dime)));
  double floating = 0.0;
  for (int i = 0; i < 10; ++i) floating += 0.1;
  ASSERT_NE(floating, 1.0);  // the reason for counting cents
  EXPECT_TRUE(check.Ok());
  EXPECT_EQ(check.Findings[1].Text, "Gesamtsumme (EUR): Datei 1,00, berechnet 1,00");
}

// A directory that knows what a test tells it.
class TFakeDirectory final : public ombra::TBankDirectory {
 public:
  std::map<std::string, std::pair<ombra::TBank, TAccountVerdict>> Banks;
  std::optional<ombra::TBank> FindBank(std::string_view blz) const override {
    const auto it = Banks.find(std::string(blz));
    if (it == Banks.end()) return std::nullopt;
    return it->second.first;
  }
  TAccountVerdict CheckAccount(std::string_view blz, std::string_view) const override {
    const auto it = Banks.find(std::string(blz));
    return it == Banks.end() ? TAccountVerdict::UnknownBank : it->second.second;
  }
  std::string DataDate() const override { return "01.02.2003"; }
};

TEST_F(CheckTest, AccountsAreJudgedByTheirBanks) {
  TFakeDirectory banks;
  banks.Banks["12345678"] = {{"Absenderbank", "K\xF6ln", "13"}, TAccountVerdict::Passes};
  banks.Banks["20050550"] = {{"Sparkasse", "Hamburg", "00"}, TAccountVerdict::Fails};
  banks.Banks["45050001"] = {{"Sparkasse", "Hagen", "E4"}, TAccountVerdict::NotImplemented};
  CRecord fails, unknown, unimplemented;
  fails.blz = "20050550";
  unknown.blz = "10020030";
  unimplemented.blz = "45050001";
  ARecord a;
  // The second payment to the unknown bank adds to the first one's finding.
  auto check = Check(File(a, {CRecord(), fails, unknown, unimplemented, unknown}));
  banks.Banks["87654321"] = {{"Empf\xE4ngerbank", "Bonn", "09"}, TAccountVerdict::Passes};
  const auto accounts = ombra::CheckAccounts(doc, banks);
  ASSERT_EQ(accounts.Payments.size(), 5u);
  EXPECT_EQ(accounts.Sender.Bank->Place, "K\xF6ln");
  EXPECT_EQ(accounts.Payments[1].Verdict, TAccountVerdict::Fails);
  EXPECT_FALSE(accounts.Payments[2].Bank);
  ombra::AddAccountFindings(check, doc, accounts, banks.DataDate());
  const auto problems = Problems(check);
  ASSERT_EQ(problems.size(), 3u);
  // Every account finding is a warning: the directory judges today's accounts, not the file.
  const std::tuple<TFindingKind, std::int64_t, std::string> expected[] = {
      {TFindingKind::Account, 2,
       "Zahlung 2: Kontonummer 123456 ist bei der Bank 200 505 50 (Sparkasse, Hamburg) nicht "
       "g\xFCltig (Pr\xFC"
       "fziffer falsch)"},
      {TFindingKind::UnknownBank, 3,
       "Zahlung 3 (und 1 weitere an diese Bank): Bankleitzahl 100 200 30 steht nicht im Bankverzeichnis vom "
       "01.02.2003 (eine "
       "Bankleitzahl einer alten Datei kann seither aufgehoben sein)"},
      {TFindingKind::AccountNotChecked, 4,
       "Zahlung 4: Kontonummer 123456 nicht gepr\xFC"
       "ft, denn die Pr\xFC"
       "fziffernmethode E4 der "
       "Bank 450 500 01 (Sparkasse, Hagen) ist nicht verf\xFC"
       "gbar (Bankverzeichnis vom 01.02.2003)"},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(problems[i].Severity, TSeverity::Warning);
    EXPECT_EQ(problems[i].Kind, std::get<0>(expected[i]));
    EXPECT_EQ(problems[i].Payment, std::get<1>(expected[i]));
    EXPECT_EQ(problems[i].Text, std::get<2>(expected[i]));
  }
  // The file stays consistent; a wrong check digit still fails the check as a whole.
  EXPECT_TRUE(check.Consistent());
  EXPECT_FALSE(check.Ok());
  ASSERT_NE(check.FirstProblem(), nullptr);
  EXPECT_EQ(check.FirstProblem()->Payment, 2);
  EXPECT_EQ(check.Accounts.WrongCheckDigit, 1);
  EXPECT_EQ(check.Accounts.UnknownBankCodes, 1);
  EXPECT_EQ(check.Accounts.NotCheckable, 1);
  EXPECT_EQ(check.Accounts.Accounts, 6);

  // A sender account that fails is a finding of the A record; warnings alone leave it ok.
  banks.Banks["12345678"].second = TAccountVerdict::Fails;
  check = Check(File(a, {unknown}));
  ombra::AddAccountFindings(check, doc, ombra::CheckAccounts(doc, banks), "");
  ASSERT_EQ(Problems(check).size(), 2u);
  EXPECT_EQ(Problems(check)[0].Record, 'A');
  EXPECT_EQ(Problems(check)[0].Text.substr(0, 30), "Absender: Kontonummer 1234567 ");
  EXPECT_NE(Problems(check)[1].Text.find("steht nicht im Bankverzeichnis ("), std::string::npos);
  banks.Banks["12345678"].second = TAccountVerdict::Passes;
  check = Check(File(a, {unknown}));
  ombra::AddAccountFindings(check, doc, ombra::CheckAccounts(doc, banks), "");
  EXPECT_TRUE(check.Ok());
}

}  // namespace

// The viewer's figure moves with the accounts checked and ends at all of them, however many.
TEST_F(CheckTest, AccountCheckReportsHowManyAreCheckedAndEndsAtAll) {
  const TFakeDirectory banks;
  struct Case {
    std::size_t payments;
    std::vector<std::size_t> heard;
  } const cases[] = {
      {0, {}},
      {1, {1}},
      {4096, {4096}},
      {9000, {4096, 8192, 9000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.payments);
    Check(File(ARecord(), std::vector<CRecord>(c.payments)));
    std::vector<std::size_t> heard;
    const auto accounts =
        ombra::CheckAccounts(doc, banks, [&heard](std::size_t checked) { heard.push_back(checked); });
    EXPECT_EQ(accounts.Payments.size(), c.payments);
    EXPECT_EQ(heard, c.heard);
  }
}

namespace {

const ombra::TFinding* FindKind(const ombra::TFileCheck& check, TFindingKind kind) {
  for (const auto& f : check.Findings)
    if (f.Kind == kind && f.Severity != TSeverity::None) return &f;
  return nullptr;
}

TEST_F(CheckTest, ABankCodeIsEightDigits) {
  struct Case {
    std::string senderBlz, payeeBlz;
    char record;
    std::int64_t offset;
    std::string found, text;
  } const cases[] = {
      {"12345678", "5001 517", 'C', 128 + 13, "5001 517",
       "Zahlung 1: Bankleitzahl \x84"
       "5001 517\x93 hat nicht acht Ziffern"},
      {"12345678", "5001517", 'C', 128 + 13, "5001517 ",
       "Zahlung 1: Bankleitzahl \x84"
       "5001517 \x93 hat nicht acht Ziffern"},
      {"12345678", "5001A517", 'C', 128 + 13, "5001A517",
       "Zahlung 1: Bankleitzahl \x84"
       "500 1A5 17\x93 ist keine Zahl"},
      {"1234 678", "87654321", 'A', 7, "1234 678",
       "Absender: Bankleitzahl \x84"
       "1234 678\x93 hat nicht acht Ziffern"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ARecord a;
    a.blz = c.senderBlz;
    CRecord payment;
    payment.blz = c.payeeBlz;
    const auto check = Check(File(a, {payment}));
    ASSERT_TRUE(check.Loaded) << check.LoadError;
    const ombra::TFinding* f = FindKind(check, TFindingKind::BankCode);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Severity, TSeverity::Error);
    EXPECT_EQ(f->Record, c.record);
    EXPECT_EQ(f->Offset, c.offset);
    EXPECT_EQ(f->FoundValue, ombra::TFindingValue(c.found));
    EXPECT_EQ(f->Text, c.text);
    EXPECT_FALSE(check.Consistent());
  }
  EXPECT_EQ(FindKind(Check(File(ARecord(), {CRecord()})), TFindingKind::BankCode), nullptr);
}

TEST_F(CheckTest, AnotherARecordAfterTheTrailerIsAnErrorWhereverItStands) {
  const std::string good = File(ARecord(), {CRecord(), CRecord()});  // 768 bytes
  const std::string second = File(ARecord(), {CRecord()});
  struct Case {
    const char* name;
    std::string tail;
    TSeverity severity;
    std::int64_t offset;  // of the finding, 0-based
  } const cases[] = {
      {"directly", second, TSeverity::Error, 768},
      {"behind a stray byte", "X" + second, TSeverity::Error, 769},
      {"behind a form feed", "\f" + second, TSeverity::Error, 769},
      {"behind padding and a letter", std::string(300, ' ') + "q" + second, TSeverity::Error, 1069},
      {"across two pieces read", std::string(65533, 'x') + second, TSeverity::Error, 768 + 65533},
      {"behind a page of text", std::string(200000, 'x') + second, TSeverity::Error, 768 + 200000},
      {"text that only looks like one", "0128A  Hallo", TSeverity::Warning, 768},
      {"a stray byte alone", "X", TSeverity::Warning, 768},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto check = Check(good + c.tail);
    ASSERT_TRUE(check.Loaded);
    const ombra::TFinding* f = FindKind(check, TFindingKind::Trailer);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Severity, c.severity);
    EXPECT_EQ(f->Offset, c.offset);
    EXPECT_EQ(check.Consistent(), c.severity != TSeverity::Error);
    if (c.severity == TSeverity::Error) {
      EXPECT_NE(f->Text.find("ab Byte " + std::to_string(c.offset + 1) + " ein weiterer"), std::string::npos)
          << f->Text;
    }
  }
}

TEST_F(CheckTest, FindingsPointAtTheirFieldAndCarryValuesForPrograms) {
  CRecord threeParts;
  threeParts.extensions = {{"02", "A"}, {"02", "B"}, {"02", "C"}};  // 384 bytes
  std::string bytes = File(ARecord(), {threeParts, CRecord()});
  bytes = WithTrailerField(bytes, 11, "0000003");
  bytes = WithTrailerField(bytes, 65, "0000000024691");
  const auto check = Check(bytes);
  const std::int64_t trailer = 128 + 384 + 256;
  const ombra::TFinding* count = FindKind(check, TFindingKind::Count);
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->Offset, trailer + 10);
  EXPECT_EQ(count->ExpectedValue, ombra::TFindingValue(std::int64_t{2}));
  EXPECT_EQ(count->FoundValue, ombra::TFindingValue(std::int64_t{3}));
  const ombra::TFinding* total = FindKind(check, TFindingKind::Total);
  ASSERT_NE(total, nullptr);
  EXPECT_EQ(total->Offset, trailer + 64);
  EXPECT_EQ(total->ExpectedValue, ombra::TFindingValue(std::int64_t{24690}));
  EXPECT_EQ(total->FoundValue, ombra::TFindingValue(std::int64_t{24691}));

  TFakeDirectory banks;
  banks.Banks["87654321"] = {{"Bank", "Ort", "00"}, TAccountVerdict::Fails};
  ombra::TFileCheck accounts = Check(File(ARecord(), {threeParts, CRecord()}));
  ombra::AddAccountFindings(accounts, doc, ombra::CheckAccounts(doc, banks), banks.DataDate());
  std::vector<std::int64_t> offsets;
  for (const auto& f : accounts.Findings)
    if (ombra::IsAccountKind(f.Kind)) offsets.push_back(f.Offset);
  // The sender's unknown bank code, then both payments' account numbers.
  EXPECT_EQ(offsets, (std::vector<std::int64_t>{7, 128 + 21, 128 + 384 + 21}));
  EXPECT_EQ(accounts.Findings.back().FoundValue, ombra::TFindingValue(std::string("123456")));
}

TEST(ClosingTotalTest, ThePagesTotalIsExactWhereARunningSumDrifts) {
  // 823 payments alternating 987.654.321,09 and 0,01 EUR: a running sum of doubles ends a cent
  // off. (Their total is too large for a trailer's field, so the document is built by hand.)
  ombra::TDtaus doc;
  doc.SatzA->Datum = {2002, 12, 31};
  doc.SatzA->Euro = true;
  std::int64_t cents = 0;
  double running = 0.0;
  for (int i = 0; i < 823; ++i) {
    const double amount = i % 2 == 0 ? 987654321.09 : 0.01;
    doc.AddSatzC(amount, "100 200 30", "4711", "Max Muster", {"Zweck"});
    cents += i % 2 == 0 ? 98765432109 : 1;
    running += amount;
  }
  const auto de = ombra::TRegionalSettings::de_DE();
  const std::string exact = ombra::FormatAmount(static_cast<double>(cents) / 100.0, de);
  ASSERT_NE(ombra::FormatAmount(running, de), exact);  // the reason for summing exactly
  ombra::TLineList page;
  doc.RenderControlList(page, "", de);
  ASSERT_GE(page.size(), 3u);
  EXPECT_EQ(page[page.size() - 3], "<tr><td align=right>Gesamtsumme: <b>" + exact + " EUR</b></td></tr>");
  EXPECT_EQ(doc.SatzCList[0].BetragCent, 98765432109);
}

TEST_F(CheckTest, TheReaderKeepsEachAmountsHundredths) {
  CRecord big;
  big.euro = "99999999999";
  Check(File(ARecord(), {big, CRecord()}));
  ASSERT_EQ(doc.SatzCList.size(), 2u);
  EXPECT_EQ(doc.SatzCList[0].BetragCent, 99999999999);
  EXPECT_EQ(doc.SatzCList[1].BetragCent, 12345);
}

TEST(ExactSumTest, WholeHundredthsAreSummedAsIntegersTheRestRoundedOnce) {
  ombra::TExactSum cents;
  for (int i = 0; i < 10; ++i) cents.Add(0.1, 10);
  EXPECT_EQ(cents.Value(), 1.0);
  EXPECT_EQ(cents.Cents(), 100);

  // An amount written with decimals has no hundredths; the sum stays exact all the same.
  ombra::TExactSum mixed;
  mixed.Add(1e16, ombra::kNoCents);
  mixed.Add(1.0, 100);
  mixed.Add(-1e16, ombra::kNoCents);
  EXPECT_EQ(mixed.Value(), 1.0);
  EXPECT_FALSE(mixed.Cents());

  EXPECT_EQ(ombra::WholeCents(1234.56), 123456);
  EXPECT_EQ(ombra::WholeCents(0.29), 29);
  EXPECT_EQ(ombra::WholeCents(1.2345), ombra::kNoCents);
}

TEST_F(CheckTest, BothVerdictsInOneVocabulary) {
  TFakeDirectory banks;  // dated 01.02.2003
  banks.Banks["12345678"] = {{"Absenderbank", "Ort", "00"}, TAccountVerdict::Passes};
  banks.Banks["87654321"] = {{"Bank", "Ort", "00"}, TAccountVerdict::Fails};
  CRecord fails, unknownA, unknownB, passes;
  unknownA.blz = "10020030";
  unknownB.blz = "10020040";
  passes.blz = "12345678";
  ARecord euro2002, euro2004, dm2004;
  euro2002.date = "311202";
  euro2004.date = "010104";
  dm2004 = euro2004;
  dm2004.currency = " ";
  struct Case {
    const char* name;
    ARecord a;
    std::vector<CRecord> payments;
    bool wrongTotal;
    std::string headline;
    bool caveat;
  } const cases[] = {
      {"consistent, findings",
       euro2004,
       {fails, unknownA, unknownB, unknownA},
       false,
       "In sich stimmig ✓ · Konten: 1 Prüfziffer falsch, 2 Bankleitzahlen unbekannt (Verzeichnis vom "
       "01.02.2003)",
       false},
      {"all valid, older file",
       euro2002,
       {passes},
       false,
       "In sich stimmig ✓ · Konten: alle Konten gültig (Verzeichnis vom 01.02.2003)",
       true},
      {"a DM file",
       dm2004,
       {passes},
       false,
       "In sich stimmig ✓ · Konten: alle Konten gültig (Verzeichnis vom 01.02.2003)",
       true},
      {"wrong total",
       euro2004,
       {fails, fails},
       true,
       "Nicht stimmig ✗ · Konten: 2 Prüfziffern falsch (Verzeichnis vom 01.02.2003)",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = File(c.a, c.payments);
    if (c.wrongTotal) bytes = WithTrailerField(bytes, 65, "0000000000001");
    auto check = Check(bytes);
    ombra::AddAccountFindings(check, doc, ombra::CheckAccounts(doc, banks), banks.DataDate());
    EXPECT_EQ(ombra::Headline(check), c.headline);
    EXPECT_EQ(ombra::FileVerdictText(ombra::FileVerdictOf(check)),
              c.wrongTotal ? "Datei nicht stimmig" : "Datei in sich stimmig");
    EXPECT_EQ(ombra::AccountsTitle(check.Accounts.DirectoryDate),
              "Kontenprüfung nach Bankverzeichnis vom 01.02.2003");
    EXPECT_EQ(ombra::AccountsCaveat(check.Accounts).empty(), !c.caveat);
    // Account findings never make the file inconsistent, but a wrong check digit fails the run.
    EXPECT_EQ(check.Ok(), !c.wrongTotal && check.Accounts.WrongCheckDigit == 0);
  }
  auto unchecked = Check(File(ARecord(), {CRecord()}));
  EXPECT_EQ(ombra::Headline(unchecked), "In sich stimmig ✓ · Konten nicht geprüft (kein Bankverzeichnis)");
  unchecked = Check("Hallo");
  EXPECT_EQ(ombra::Headline(unchecked), "Datei nicht lesbar");
}

}  // namespace
