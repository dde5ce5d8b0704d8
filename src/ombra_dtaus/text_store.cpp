#include "text_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace ombra {
namespace {
constexpr std::size_t kSmallestBlock = std::size_t{64} << 10;
constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}  // namespace

TTextStore::~TTextStore() { ReleaseBlocks(); }

void TTextStore::ReleaseBlocks() {
  for (const TBlock& block : blocks_) ::munmap(block.data, block.size);
  blocks_.clear();
  next_ = end_ = nullptr;
}

void TTextStore::Reset(std::size_t expectedBytes) {
  ReleaseBlocks();
  nextBlockSize_ = std::max(expectedBytes, kSmallestBlock);
}

void AdviseHugePages(const void* data, std::size_t bytes) {
  const auto first = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHugePage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void* TTextStore::AllocateInNewBlock(std::size_t bytes, std::size_t align) {
  // Mapped rather than taken from the heap: the whole block goes back to the system at once,
  // and pages never written are never paid for.
  const std::size_t size =
      (std::max({bytes + align, nextBlockSize_, kSmallestBlock}) + kPage - 1) & ~(kPage - 1);
  void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (data == MAP_FAILED) throw std::bad_alloc();
  AdviseHugePages(data, size);
  blocks_.push_back({data, size});
  next_ = static_cast<char*>(data);
  end_ = next_ + size;
  // Growth keeps the number of blocks small when the first guess was short.
  nextBlockSize_ = size * 2;
  return Allocate(bytes, align);
}

std::string_view TTextStore::Copy(std::string_view text) {
  if (text.empty()) return {};
  char* to = Chars(text.size());
  std::memcpy(to, text.data(), text.size());
  return {to, text.size()};
}

TTextLines TTextStore::Copy(std::span<const std::string_view> lines) {
  if (lines.empty()) return {};
  std::string_view* to = Lines(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) to[i] = Copy(lines[i]);
  return {to, lines.size()};
}

}  // namespace ombra
