// json and csv format each payment as it is read instead of loading the document first. What
// they write must stay byte for byte what the document's own writers make of the loaded file,
// for sound files, long files and every kind of damage, with and without --banks and
// --partial, in both locales; and the read must end with what a load says about the file, so
// the messages stay the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bank_directory.h"
#include "check.h"
#include "csv_export.h"
#include "dtaus.h"
#include "dtaus_builder.h"
#include "json_export.h"
#include "run_cli.h"
#include "temp_dir.h"

using namespace testdta;

namespace {

// Names and purposes that take every path of the writers: quotes, separators, formulas,
// backslashes, DIN umlaut codes, bytes above 0x7F, control characters, blank lines.
const char* const kTexts[] = {
    "MUELLER, HANS",   "SAGT \"HALLO\"; A,B",  "=SUMME(A1)",     "-MINUS +PLUS @AT", "EMPF\\NGER [BER",
    "\xC4RGER\x01TAB\t", "M]NCHEN {STRASSE} ~", "",               "LANG LANG LANG LANG LANG L", "\x7F\xFF\x80\x9F"};

CRecord Payment(int i) {
  CRecord c;
  c.blz = Digits(10000000 + i % 89999999, 8);
  c.konto = Digits(1000 + std::int64_t{i} * 7919 % 9999999999, 10);
  c.euro = Digits(1 + std::int64_t{i} * 37 % 99999999, 11);
  c.name = kTexts[i % 10];
  c.purpose = i % 7 == 0 ? "" : "RECHNUNG " + std::to_string(i);
  for (int p = 0; p < i % 6; ++p) c.extensions.push_back({"02", kTexts[(i + p) % 10]});
  // A part of another type (the sender's second name line) among the purposes.
  if (i % 11 == 0) c.extensions.push_back({"03", "ZWEITE ZEILE"});
  return c;
}

std::string Generated(int count) {
  std::vector<CRecord> payments;
  for (int i = 0; i < count; ++i) payments.push_back(Payment(i));
  return File(ARecord{}, payments);
}

// Offset of payment `index`'s record (from 0) in a file of Generated().
std::size_t PaymentOffset(int index) {
  std::size_t at = 128;
  for (int i = 0; i < index; ++i) at += Payment(i).Blocks() * 128;
  return at;
}

std::string Patched(std::string bytes, std::size_t at, const std::string& with) {
  bytes.replace(at, with.size(), with);
  return bytes;
}

struct TCase {
  const char* Name;
  std::string Bytes;
};

// Long enough to cross the read buffer and several blocks of held output.
constexpr int kLong = 12000;
// Damage lies behind several blocks of held output too.
constexpr int kDamaged = 3000;

std::vector<TCase> Cases() {
  const std::string damaged = Generated(kDamaged);
  const std::size_t fifth = PaymentOffset(kDamaged / 5);
  const std::size_t trailer = damaged.size() - 128;
  ARecord dm;
  dm.currency = " ";
  dm.kind = "LK";
  std::vector<CRecord> dmPayments = {Payment(1), Payment(2)};
  dmPayments[0].dm = "00000012345";
  dmPayments[1].dm = "00000000001";
  CRecord decimals = Payment(3);
  decimals.euro = "0000012,345";  // a decimal separator: an amount in de_DE, no number in en_US
  return {
      {"leer_an_zahlungen", File(ARecord{}, {})},
      {"dm", File(dm, dmPayments)},
      {"dezimalen", File(ARecord{}, {Payment(1), decimals, Payment(4)})},
      {"lang", Generated(kLong)},
      {"nach_e_muell", damaged + "MUELL\r\n\x1A"},
      {"c_abgeschnitten", damaged.substr(0, fifth + 100)},
      {"e_abgeschnitten", damaged.substr(0, damaged.size() - 60)},
      {"ohne_e", damaged.substr(0, trailer)},
      {"konto_keine_zahl", Patched(damaged, fifth + 21, "12 4X67890")},
      {"betrag_keine_zahl", Patched(damaged, fifth + 79, "0000000A000")},
      {"zu_viele_teile", Patched(damaged, fifth + 185, "16")},
      {"e_summe_keine_zahl", Patched(damaged, trailer + 17, "000000000X000")},
      {"e_anzahl_text", Patched(damaged, trailer + 10, "00x0004")},
      {"a_datum", Patched(damaged, 50, "991399")},
      {"a_abgeschnitten", damaged.substr(0, 70)},
      {"keine_dtaus", std::string(240, 'x')},
      {"leer", ""},
  };
}

struct TOptions {
  bool Banks;
  bool Partial;
  const char* Locale;
};

std::vector<std::string> Arguments(const char* command, const std::string& file, const TOptions& o) {
  std::vector<std::string> args = {command, file, "--locale", o.Locale};
  if (o.Banks) args.emplace_back("--banks");
  if (o.Partial) args.emplace_back("--partial");
  return args;
}

ombra::TRegionalSettings Settings(const TOptions& o) { return *ombra::RegionalSettingsByName(o.Locale); }

bool WritesPartly(const ombra::TDtaus& doc, const TOptions& o) {
  return o.Partial && doc.LoadFailed() && ombra::PartlyRead(doc.Damage);
}

// What json wrote when it loaded the document first.
std::string DocumentJson(const std::string& file, const TOptions& o, const ombra::TBankDirectory* banks) {
  ombra::TDtaus doc;
  doc.Load(file, Settings(o));
  std::optional<ombra::TAccountChecks> accounts;
  const bool partly = WritesPartly(doc, o);
  if (banks != nullptr && (!doc.LoadFailed() || partly)) accounts = ombra::CheckAccounts(doc, *banks);
  std::string out;
  cli::WriteDocumentJson(
      doc, [&out](std::string_view bytes) { out.append(bytes); }, accounts ? &*accounts : nullptr,
      banks != nullptr ? banks->DataDate() : std::string(), partly);
  return out;
}

// What csv wrote when it loaded the document first; nothing for a damaged file without --partial.
std::string DocumentCsv(const std::string& file, const TOptions& o, const ombra::TBankDirectory* banks) {
  ombra::TDtaus doc;
  doc.Load(file, Settings(o));
  const bool partly = WritesPartly(doc, o);
  if (doc.LoadFailed() && !partly) return {};
  std::string out;
  const auto write = [&out](std::string_view bytes) { out.append(bytes); };
  const auto accounts = banks != nullptr ? std::optional(ombra::CheckAccounts(doc, *banks)) : std::nullopt;
  cli::WriteCsv(doc, Settings(o), write, accounts ? &*accounts : nullptr);
  if (partly) cli::WriteCsvDamageRow(doc, Settings(o), write);
  return out;
}

class TCounting final : public ombra::TPaymentSink {
 public:
  void OnPayment(const ombra::TSatzC&) override { ++Count; }
  std::int64_t Count = 0;
};

// The generated cases written to `dir`, the shipped examples and the files of another
// reader's tests beside them, and a name that does not exist.
std::vector<std::string> Files(const TempDir& dir) {
  std::vector<std::string> files;
  for (const TCase& c : Cases()) files.push_back(dir.Write(std::string(c.Name) + ".dta", c.Bytes));
  for (const char* folder : {QUANDEL_EXAMPLES, QUANDEL_CLI_TEST_DATA})
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.path().extension() == ".dta") files.push_back(entry.path().string());
  files.push_back(dir.Path("fehlt.dta"));
  return files;
}

TEST(StreamExportTest, WritesWhatTheDocumentWritersMakeOfTheLoadedFile) {
  TempDir dir;
  const std::unique_ptr<ombra::TBankDirectory> directory = ombra::OpenSystemBankDirectory();
  ASSERT_NE(directory, nullptr) << "the bank directory (ktoblzcheck) is needed for --banks";
  const std::vector<std::string> files = Files(dir);
  ASSERT_GE(files.size(), Cases().size() + 3);
  for (const std::string& file : files)
    for (const char* locale : {"de_DE", "en_US"}) {
      ombra::TDtaus loaded;
      loaded.Load(file, *ombra::RegionalSettingsByName(locale));
      const int exitCode = loaded.LoadFailed() ? 1 : 0;
      // --partial changes nothing for a sound file; once is enough to see that.
      for (const bool partial : {false, true}) {
        if (partial && !loaded.LoadFailed() && file != files.front()) continue;
        for (const bool banks : {false, true})
          for (const char* command : {"json", "csv"}) {
            const TOptions o{banks, partial, locale};
            SCOPED_TRACE(file + " " + command + (banks ? " --banks" : "") + (partial ? " --partial" : "") + " " +
                         locale);
            const std::string expected = std::string(command) == "json"
                                             ? DocumentJson(file, o, banks ? directory.get() : nullptr)
                                             : DocumentCsv(file, o, banks ? directory.get() : nullptr);
            const clitest::TRun run = clitest::RunCli(Arguments(command, file, o));
            EXPECT_EQ(run.ExitCode, exitCode) << run.Err;
            EXPECT_TRUE(run.Out == expected) << "first difference at byte "
                                             << std::mismatch(run.Out.begin(), run.Out.end(), expected.begin(),
                                                              expected.end())
                                                        .first -
                                                    run.Out.begin();
          }
      }
    }
}

// The messages about a damaged file come from what the read found: where, what, how much.
TEST(StreamExportTest, TheReadEndsWithWhatALoadFinds) {
  TempDir dir;
  for (const TCase& c : Cases())
    for (const char* locale : {"de_DE", "en_US"}) {
      SCOPED_TRACE(std::string(c.Name) + " " + locale);
      const std::string file = dir.Write(std::string(c.Name) + ".dta", c.Bytes);
      const ombra::TRegionalSettings rs = *ombra::RegionalSettingsByName(locale);
      ombra::TDtaus loaded, streamed;
      loaded.Load(file, rs);
      TCounting counting;
      streamed.Stream(file, rs, counting);
      EXPECT_TRUE(streamed.SatzCList.empty());
      EXPECT_EQ(counting.Count, static_cast<std::int64_t>(loaded.SatzCList.size()));
      EXPECT_EQ(streamed.ErrorText, loaded.ErrorText);
      EXPECT_EQ(streamed.LoadError, loaded.LoadError);
      const ombra::TLoadDamage &s = streamed.Damage, &l = loaded.Damage;
      EXPECT_EQ(s.Kind, l.Kind);
      EXPECT_EQ(s.Record, l.Record);
      EXPECT_EQ(s.Payment, l.Payment);
      EXPECT_EQ(s.RecordOffset, l.RecordOffset);
      EXPECT_EQ(s.Offset, l.Offset);
      EXPECT_EQ(s.What, l.What);
      EXPECT_EQ(s.PaymentsRead, l.PaymentsRead);
      EXPECT_EQ(s.BytesRead, l.BytesRead);
      EXPECT_EQ(streamed.SatzE->Anzahl, loaded.SatzE->Anzahl);
      EXPECT_EQ(streamed.SatzE->AnzahlDatei, loaded.SatzE->AnzahlDatei);
      EXPECT_EQ(streamed.SatzA->Name, loaded.SatzA->Name);
    }
}

}  // namespace
