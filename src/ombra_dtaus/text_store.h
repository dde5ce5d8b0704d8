#pragma once
// Where a document keeps its texts: a few large blocks instead of one heap block per text, so a
// million payments stay a handful of allocations that the next Load releases at once.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ombra {

// Read-only view of a payment's purpose lines; the lines live in the document's storage.
class TTextLines {
 public:
  using value_type = std::string_view;
  using const_iterator = const std::string_view*;
  using iterator = const_iterator;

  TTextLines() = default;
  TTextLines(const std::string_view* first, std::size_t count) : first_(first), count_(count) {}

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  std::string_view operator[](std::size_t i) const { return first_[i]; }
  std::string_view front() const { return first_[0]; }
  std::string_view back() const { return first_[count_ - 1]; }
  const_iterator begin() const { return first_; }
  const_iterator end() const { return first_ + count_; }

 private:
  const std::string_view* first_ = nullptr;
  std::size_t count_ = 0;
};

// Asks the kernel to back the whole 2 MiB pages of a large buffer with huge pages: a million
// payments then cost a few hundred page faults instead of a hundred thousand.
void AdviseHugePages(const void* data, std::size_t bytes);

// Append-only storage; nothing handed out moves or dies before Reset or destruction.
class TTextStore {
 public:
  TTextStore() = default;
  ~TTextStore();
  TTextStore(const TTextStore&) = delete;
  TTextStore& operator=(const TTextStore&) = delete;

  // Releases everything. The next block is sized for `expectedBytes`; its pages cost memory
  // only once they are written, so a generous guess is cheap.
  void Reset(std::size_t expectedBytes = 0);

  char* Chars(std::size_t count) { return static_cast<char*>(Allocate(count, 1)); }
  std::string_view* Lines(std::size_t count) {
    return static_cast<std::string_view*>(
        Allocate(count * sizeof(std::string_view), alignof(std::string_view)));
  }
  std::string_view Copy(std::string_view text);
  TTextLines Copy(std::span<const std::string_view> lines);

 private:
  struct TBlock {
    void* data;
    std::size_t size;
  };
  void* Allocate(std::size_t bytes, std::size_t align) {
    const auto at = (reinterpret_cast<std::uintptr_t>(next_) + align - 1) & ~(align - 1);
    if (next_ == nullptr || at + bytes > reinterpret_cast<std::uintptr_t>(end_))
      return AllocateInNewBlock(bytes, align);
    next_ = reinterpret_cast<char*>(at + bytes);
    return reinterpret_cast<void*>(at);
  }
  void* AllocateInNewBlock(std::size_t bytes, std::size_t align);
  void ReleaseBlocks();

  std::vector<TBlock> blocks_;
  char* next_ = nullptr;
  char* end_ = nullptr;
  std::size_t nextBlockSize_ = 0;
};

}  // namespace ombra
