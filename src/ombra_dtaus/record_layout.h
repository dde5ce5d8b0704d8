#pragma once
// Where the records of a DTAUS file lie: the one place that knows the block arithmetic.
// Positions are 0-based byte offsets within a record unless a name says otherwise.
#include <cstddef>

namespace ombra::layout {

inline constexpr std::size_t kBlock = 128;
inline constexpr std::size_t kTypeOffset = 4;              // position 5: "A", "C" or "E"
inline constexpr std::size_t kCFixedPart = 187;            // a C record up to its part count
inline constexpr std::size_t kExtensionCountOffset = 185;  // positions 186-187
inline constexpr std::size_t kExtensionSize = 29;          // 2 type bytes and 27 text bytes
inline constexpr int kMaxExtensions = 15;
inline constexpr std::size_t kECountOffset = 10;  // positions 11-17
inline constexpr std::size_t kECountLength = 7;

// Offset of extension part `slot` (counted from 1) in a C record: two parts in the rest of
// the second block, then four in every further block.
constexpr std::size_t ExtensionOffset(int slot) {
  if (slot <= 2) return kCFixedPart + static_cast<std::size_t>(slot - 1) * kExtensionSize;
  const auto k = static_cast<std::size_t>(slot - 3);
  return 2 * kBlock + (k / 4) * kBlock + (k % 4) * kExtensionSize;
}

// 128-byte blocks a C record with `extensions` parts fills.
constexpr std::size_t CRecordBlocks(int extensions) {
  if (extensions <= 2) return 2;
  return 2 + static_cast<std::size_t>(extensions - 2 + 3) / 4;
}

// Parts read for `extensions`: whole pairs, so an odd count reads the pair's second part too.
constexpr int SlotsRead(int extensions) { return extensions > 0 ? (extensions + 1) / 2 * 2 : 0; }

// Bytes of a C record the reader needs: its fixed part and the parts it reads.
constexpr std::size_t CRecordBytesRead(int extensions) {
  const int slots = SlotsRead(extensions);
  return slots > 0 ? ExtensionOffset(slots) + kExtensionSize : kCFixedPart;
}

// Blocks of a C record the reader kept `slots` extension texts of: an odd count of parts
// reads its pair's second part too, and fills as many blocks as the even count.
constexpr std::size_t CRecordBlocksForSlots(int slots) { return CRecordBlocks(slots); }
static_assert(CRecordBlocks(3) == CRecordBlocks(4) && CRecordBlocks(5) == CRecordBlocks(6) &&
              CRecordBlocks(7) == CRecordBlocks(8) && CRecordBlocks(9) == CRecordBlocks(10) &&
              CRecordBlocks(11) == CRecordBlocks(12) && CRecordBlocks(13) == CRecordBlocks(14) &&
              CRecordBlocks(15) == CRecordBlocks(16) && CRecordBlocks(1) == CRecordBlocks(2));

static_assert(CRecordBlocks(4) * kBlock == 384 && ExtensionOffset(3) == 256);
static_assert(CRecordBytesRead(15) <= CRecordBlocks(15) * kBlock);

}  // namespace ombra::layout
