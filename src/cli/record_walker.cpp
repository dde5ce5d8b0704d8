#include "record_walker.h"

#include <array>
#include <fstream>
#include <string_view>
#include <vector>

#include "convert.h"

namespace cli {
namespace {

constexpr std::streamoff kBlock = 128;
constexpr std::size_t kTypePos = 4;         // position 5
constexpr std::size_t kExtensionPos = 185;  // positions 186-187
constexpr std::size_t kCountPos = 10;       // positions 11-17
constexpr std::size_t kCountLength = 7;

}  // namespace

std::int64_t CRecordBlocks(std::int32_t extensionParts) {
  if (extensionParts <= 2) return 2;
  return 2 + (static_cast<std::int64_t>(extensionParts) - 2 + 3) / 4;
}

TTrailerField FindTrailer(std::istream& in) {
  TTrailerField result;
  std::array<char, 2 * kBlock> record{};
  // Read straight on, never seeking back: a check of a million payments stays one pass.
  in.ignore(kBlock);  // the A record
  for (;;) {
    in.read(record.data(), kBlock);
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got <= kTypePos) return result;
    if (record[kTypePos] != 'C') {
      if (got < kCountPos + kCountLength) return result;
      result.Found = true;
      result.Count.assign(record.data() + kCountPos, kCountLength);
      return result;
    }
    in.read(record.data() + kBlock, kBlock);
    if (static_cast<std::size_t>(in.gcount()) + kBlock < kExtensionPos + 2) return result;
    std::int32_t parts = 0;
    try {
      parts = ombra::StrToInt32(std::string_view(record.data() + kExtensionPos, 2));
    } catch (const ombra::EConvertError&) {
      return result;
    }
    ++result.CRecords;
    in.ignore((CRecordBlocks(parts) - 2) * kBlock);
  }
}

TTrailerField FindTrailerInFile(const std::string& fileName) {
  // Large reads: the default buffer would take a system call per few records.
  std::vector<char> buffer(std::size_t{1} << 20);
  std::ifstream in;
  in.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  in.open(fileName, std::ios::binary);
  if (!in) return {};
  return FindTrailer(in);
}

}  // namespace cli
