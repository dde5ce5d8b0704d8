#include <map>

#include <gtest/gtest.h>

#include "check.h"
#include "dtaus_builder.h"
#include "temp_dir.h"

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
  const std::tuple<TSeverity, std::int64_t, std::string> expected[] = {
      {TSeverity::Error, 2,
       "Zahlung 2: Kontonummer 123456 ist bei der Bank 200 505 50 (Sparkasse, Hamburg) nicht "
       "g\xFCltig (Pr\xFC"
       "fziffer falsch)"},
      {TSeverity::Warning, 3,
       "Zahlung 3 (und 1 weitere an diese Bank): Bankleitzahl 100 200 30 steht nicht im Bankverzeichnis vom "
       "01.02.2003 (eine "
       "Bankleitzahl einer alten Datei kann seither aufgehoben sein)"},
      {TSeverity::Warning, 4,
       "Zahlung 4: Kontonummer 123456 nicht gepr\xFC"
       "ft, denn die Pr\xFC"
       "fziffernmethode E4 der "
       "Bank 450 500 01 (Sparkasse, Hagen) ist nicht verf\xFC"
       "gbar (Bankverzeichnis vom 01.02.2003)"},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(problems[i].Severity, std::get<0>(expected[i]));
    EXPECT_EQ(problems[i].Payment, std::get<1>(expected[i]));
    EXPECT_EQ(problems[i].Text, std::get<2>(expected[i]));
  }
  EXPECT_FALSE(check.Ok());

  // A sender account that fails is an error of the A record; warnings alone leave it ok.
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
