#include <sstream>

#include <gtest/gtest.h>

#include "dtaus_builder.h"
#include "record_walker.h"

using namespace testdta;

namespace {

CRecord WithExtensions(std::size_t n) {
  CRecord c;
  for (std::size_t i = 1; i <= n; ++i) c.extensions.push_back({"02", "ZEILE " + std::to_string(i)});
  return c;
}

cli::TTrailerField Walk(const std::string& bytes) {
  std::istringstream in(bytes);
  return cli::FindTrailer(in);
}

TEST(RecordWalkerTest, BlocksOfACRecordGrowByOneForEveryFourFurtherParts) {
  const std::pair<int, std::int64_t> expected[] = {{-1, 2}, {0, 2}, {1, 2}, {2, 2},  {3, 3},
                                                   {6, 3},  {7, 4}, {10, 4}, {11, 5}, {15, 6}};
  for (const auto& [parts, blocks] : expected) EXPECT_EQ(cli::CRecordBlocks(parts), blocks) << parts;
  // Agrees with how the test files lay the records out.
  for (std::size_t n = 0; n <= 15; ++n)
    EXPECT_EQ(WithExtensions(n).Bytes().size(),
              static_cast<std::size_t>(cli::CRecordBlocks(static_cast<int>(n)) * 128));
}

TEST(RecordWalkerTest, FindsTheTrailerBehindRecordsOfEveryLength) {
  std::vector<CRecord> records;
  for (std::size_t n : {0, 1, 2, 3, 4, 5, 15, 0}) records.push_back(WithExtensions(n));
  std::string bytes = File(ARecord(), records);
  bytes.replace(bytes.size() - 128 + 10, 7, "0004711");
  bytes += std::string(128, 'C');  // what follows the trailer is never looked at

  const auto trailer = Walk(bytes);
  EXPECT_TRUE(trailer.Found);
  EXPECT_EQ(trailer.Count, "0004711");
  EXPECT_EQ(trailer.CRecords, 8);
}

TEST(RecordWalkerTest, ATrailerDirectlyBehindTheHeader) {
  const auto trailer = Walk(File(ARecord(), {}));
  EXPECT_TRUE(trailer.Found);
  EXPECT_EQ(trailer.Count, "0000000");
  EXPECT_EQ(trailer.CRecords, 0);
}

TEST(RecordWalkerTest, NoTrailerWhenTheFileEndsOrAPartCountIsUnreadable) {
  const std::string header = ARecord().Bytes();
  const std::string payment = CRecord().Bytes();
  EXPECT_FALSE(Walk(header).Found);
  EXPECT_FALSE(Walk(header + payment).Found);
  EXPECT_FALSE(Walk(header + payment.substr(0, 150)).Found);
  EXPECT_FALSE(Walk(header + payment + "0128E     00").Found);  // ends inside the count

  CRecord unreadable;
  unreadable.count = "??";
  const auto trailer = Walk(File(ARecord(), {CRecord(), unreadable}));
  EXPECT_FALSE(trailer.Found);
  EXPECT_EQ(trailer.CRecords, 1);
}

TEST(RecordWalkerTest, MissingFileHasNoTrailer) {
  EXPECT_FALSE(cli::FindTrailerInFile("/nonexistent/quandel/file.dta").Found);
}

}  // namespace
