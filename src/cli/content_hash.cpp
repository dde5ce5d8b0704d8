#include "content_hash.h"

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>

namespace cli {
namespace {

constexpr std::uint64_t kP1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kP2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kP3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t kP4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t kP5 = 0x27D4EB2F165667C5ULL;

std::uint64_t Read64(const unsigned char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

std::uint32_t Read32(const unsigned char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  return v;
}

std::uint64_t Round(std::uint64_t acc, std::uint64_t input) {
  acc += input * kP2;
  return std::rotl(acc, 31) * kP1;
}

std::uint64_t Merge(std::uint64_t acc, std::uint64_t v) {
  acc ^= Round(0, v);
  return acc * kP1 + kP4;
}

}  // namespace

void TContentHash::Stripe(const unsigned char* p) {
  for (int i = 0; i < 4; ++i) v_[i] = Round(v_[i], Read64(p + 8 * i));
}

void TContentHash::Add(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  size_ += n;
  if (pendingSize_ > 0) {
    const std::size_t take = std::min(n, sizeof pending_ - pendingSize_);
    std::memcpy(pending_ + pendingSize_, p, take);
    pendingSize_ += take;
    p += take;
    n -= take;
    if (pendingSize_ < sizeof pending_) return;
    Stripe(pending_);
    pendingSize_ = 0;
  }
  for (; n >= 32; p += 32, n -= 32) Stripe(p);
  std::memcpy(pending_, p, n);
  pendingSize_ = n;
}

std::uint64_t TContentHash::Value() const {
  std::uint64_t h = 0;
  if (size_ >= 32) {
    h = std::rotl(v_[0], 1) + std::rotl(v_[1], 7) + std::rotl(v_[2], 12) + std::rotl(v_[3], 18);
    for (const std::uint64_t v : v_) h = Merge(h, v);
  } else {
    h = kP5;
  }
  h += size_;
  const unsigned char* p = pending_;
  std::size_t n = pendingSize_;
  for (; n >= 8; p += 8, n -= 8) h = std::rotl(h ^ Round(0, Read64(p)), 27) * kP1 + kP4;
  if (n >= 4) {
    h = std::rotl(h ^ (std::uint64_t{Read32(p)} * kP1), 23) * kP2 + kP3;
    p += 4;
    n -= 4;
  }
  for (; n > 0; ++p, --n) h = std::rotl(h ^ (*p * kP5), 11) * kP1;
  h ^= h >> 33;
  h *= kP2;
  h ^= h >> 29;
  h *= kP3;
  h ^= h >> 32;
  return h;
}

std::optional<TFileIdentity> IdentifyFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  constexpr std::size_t kChunk = std::size_t{1} << 16;
  const auto buffer = std::make_unique<char[]>(kChunk);
  TContentHash hash;
  for (;;) {
    const ssize_t n = ::read(fd, buffer.get(), kChunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    hash.Add(std::string_view(buffer.get(), static_cast<std::size_t>(n)));
  }
  ::close(fd);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex(16, '0');
  std::uint64_t value = hash.Value();
  for (int i = 15; i >= 0; --i, value >>= 4) hex[static_cast<std::size_t>(i)] = kHex[value & 15];
  return TFileIdentity{hash.Size(), hex};
}

}  // namespace cli
