// json --banks and csv --banks: each payment with its bank and the verdict on its account.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "dtaus_builder.h"
#include "known_accounts.h"
#include "run_cli.h"
#include "temp_dir.h"

using clitest::RunCli;
using namespace testdta;

namespace {

std::string KnownPairs() {
  const clitest::TKnownAccounts known;
  return File(known.sender, {known.passes, known.fails, known.unknown});
}

TEST(BanksExportTest, JsonNamesBankPlaceAndVerdict) {
  TempDir dir;
  const std::string file = dir.Write("konten.dta", KnownPairs());
  const auto run = RunCli({"json", "--banks", file});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const auto json = nlohmann::json::parse(run.Out);
  EXPECT_EQ(json.at("SatzA").at("BankName"), "Commerzbank");
  EXPECT_EQ(json.at("SatzA").at("BankOrt"), "Köln");
  EXPECT_EQ(json.at("SatzA").at("Kontopruefung"), "gueltig");
  const auto& list = json.at("SatzCList");
  const char* verdicts[] = {"gueltig", "ungueltig", "unbekannt"};
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(list[i].at("Kontopruefung"), verdicts[i]);
  EXPECT_EQ(list[1].at("BankOrt"), "Hamburg");
  EXPECT_TRUE(list[2].at("BankName").is_null());
  EXPECT_EQ(json.at("Bankverzeichnis").get<std::string>().size(), 10u);

  // Without the flag the export stays as it was.
  const auto plain = nlohmann::json::parse(RunCli({"json", file}).Out);
  EXPECT_FALSE(plain.at("SatzCList")[0].contains("BankName"));
  EXPECT_FALSE(plain.contains("Bankverzeichnis"));
}

TEST(BanksExportTest, CsvAddsThreeColumns) {
  TempDir dir;
  const std::string file = dir.Write("konten.dta", KnownPairs());
  auto run = RunCli({"csv", "--banks", file, "--locale", "de_DE"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out.substr(0, run.Out.find("\r\n")),
            "\xEF\xBB\xBFNr.;Empfänger;BLZ;Konto;Verwendungszweck;Betrag;Währung;Bank;Ort;Kontoprüfung");
  EXPECT_NE(run.Out.find(";EUR;Commerzbank;Köln;gültig\r\n2;"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find(";EUR;Hamburger Sparkasse;Hamburg;ungültig\r\n3;"), std::string::npos);
  EXPECT_NE(run.Out.find(";EUR;;;Bankleitzahl unbekannt\r\n"), std::string::npos);

  run = RunCli({"csv", file, "--locale", "de_DE"});
  EXPECT_EQ(run.Out.find("Bank"), std::string::npos);
}

}  // namespace
