#include <fstream>

#include <gtest/gtest.h>

#include "file_reader.h"
#include "temp_dir.h"

namespace {

void Append(const std::string& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::app) << bytes;
}

// Everything the reader delivers from `start` on, in pieces of `piece` bytes.
std::string ReadToEnd(ombra::TFileReader& reader, std::size_t piece) {
  std::string all;
  for (;;) {
    const std::string_view got = reader.Read(piece);
    if (got.empty()) return all;
    all.append(got);
  }
}

TEST(FileReaderTest, BytesAppendedAfterTheOpenAreNotRead) {
  struct Case {
    std::size_t size;       // at open
    std::size_t readFirst;  // read before the writer appends
    std::size_t piece;
  } const cases[] = {
      {0, 0, 128},
      {640, 0, 128},
      {640, 256, 187},
      {(1u << 20) + 300, 0, 4096},   // larger than the reader's buffer
      {(1u << 20), 1000, 1u << 20},  // exactly one buffer
      {3 * (1u << 20) + 7, (1u << 20) + 5, 70000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    testdta::TempDir dir;
    std::string original(c.size, 'x');
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<char>('a' + i % 26);
    const std::string file = dir.Write("growing.dta", original);
    ombra::TFileReader reader(file);
    EXPECT_EQ(reader.Size(), static_cast<std::int64_t>(c.size));
    std::string seen(reader.Read(c.readFirst));
    Append(file, std::string(2 * (1u << 20), 'G'));
    seen += ReadToEnd(reader, c.piece);
    EXPECT_EQ(seen.size(), c.size);
    EXPECT_TRUE(seen == original);
    reader.Seek(static_cast<std::int64_t>(c.size));
    EXPECT_TRUE(reader.Read(10).empty());
  }
}

TEST(FileReaderTest, AFileThatShrinksEndsWhereItEnds) {
  testdta::TempDir dir;
  const std::string file = dir.Write("shrinking.dta", std::string(1000, 's'));
  ombra::TFileReader reader(file);
  std::filesystem::resize_file(file, 300);
  EXPECT_EQ(ReadToEnd(reader, 128), std::string(300, 's'));
}

}  // namespace
