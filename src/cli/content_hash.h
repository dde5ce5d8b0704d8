#pragma once
// Whether a file is one already seen: its size and a 64-bit hash of its bytes (the published
// XXH64 function, seed 0). Not proof against deliberate collisions; two archive files that
// differ do not meet by chance.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

class TContentHash {
 public:
  void Add(std::string_view bytes);
  std::uint64_t Value() const;
  std::uint64_t Size() const { return size_; }

 private:
  void Stripe(const unsigned char* p);

  std::uint64_t v_[4] = {0x9E3779B185EBCA87ULL + 0xC2B2AE3D27D4EB4FULL, 0xC2B2AE3D27D4EB4FULL, 0,
                         0 - 0x9E3779B185EBCA87ULL};
  unsigned char pending_[32] = {};
  std::size_t pendingSize_ = 0;
  std::uint64_t size_ = 0;
};

struct TFileIdentity {
  std::uint64_t Size = 0;
  std::string Hash;  // 16 lower-case hex digits
};

// Reads the whole file; nothing when it cannot be opened or read.
std::optional<TFileIdentity> IdentifyFile(const std::string& path);

}  // namespace cli
