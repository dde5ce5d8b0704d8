#include "held_output.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>


namespace cli {
namespace {
// Blocks start on a huge page and span whole ones: a page fault then brings 2 MiB at once.
// Pages never written are never paid for, so a small output loses nothing by it.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kLargestBlock = std::size_t{64} << 20;
}  // namespace

THeldOutput::~THeldOutput() {
  for (const TBlock& block : blocks_) ::munmap(block.Mapped, block.MappedSize);
}

void THeldOutput::NewBlock(std::size_t atLeast) {
  const std::size_t grown = blocks_.empty() ? kHugePage : std::min(2 * blocks_.back().Size, kLargestBlock);
  const std::size_t size = (std::max(atLeast, grown) + kHugePage - 1) & ~(kHugePage - 1);
  // Mapped a huge page larger, to start the block on one.
  const std::size_t mappedSize = size + kHugePage;
  void* mapped = ::mmap(nullptr, mappedSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  char* data = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(mapped) + kHugePage - 1) & ~(kHugePage - 1));
  ::madvise(data, size, MADV_HUGEPAGE);
  blocks_.push_back({data, size, 0, mapped, mappedSize});
  next_ = data;
  end_ = data + size;
}

void THeldOutput::Put(std::string_view bytes) {
  char* to = Reserve(bytes.size());
  if (!bytes.empty()) std::memcpy(to, bytes.data(), bytes.size());
  Commit(to + bytes.size());
}

void THeldOutput::WriteTo(const std::function<void(std::string_view)>& write) const {
  for (const TBlock& block : blocks_)
    if (block.Used > 0) write(std::string_view(block.Data, block.Used));
}

}  // namespace cli
