#include "held_output.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "text_store.h"

namespace cli {
namespace {
constexpr std::size_t kPage = 4096;
// Small outputs take one small block; long ones grow to blocks of many huge pages.
constexpr std::size_t kFirstBlock = std::size_t{256} << 10;
constexpr std::size_t kLargestBlock = std::size_t{64} << 20;
}  // namespace

THeldOutput::~THeldOutput() {
  for (const TBlock& block : blocks_) ::munmap(block.Data, block.Size);
}

void THeldOutput::NewBlock(std::size_t atLeast) {
  const std::size_t grown = blocks_.empty() ? kFirstBlock : std::min(2 * blocks_.back().Size, kLargestBlock);
  const std::size_t size = (std::max(atLeast, grown) + kPage - 1) & ~(kPage - 1);
  void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (data == MAP_FAILED) throw std::bad_alloc();
  ombra::AdviseHugePages(data, size);
  blocks_.push_back({static_cast<char*>(data), size, 0});
  next_ = static_cast<char*>(data);
  end_ = next_ + size;
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
