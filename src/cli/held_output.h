#pragma once
// Output formatted while a file is read and held until the read is over: the first bytes of a
// JSON export, and whether a CSV export is written at all, depend on whether the file turns
// out sound, which only its last record tells. The bytes are formatted straight into large
// mapped blocks backed by huge pages, so holding them costs a handful of page faults, and the
// blocks are written out as they are.
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace cli {

class THeldOutput {
 public:
  THeldOutput() = default;
  ~THeldOutput();
  THeldOutput(const THeldOutput&) = delete;
  THeldOutput& operator=(const THeldOutput&) = delete;

  // Room for `bytes` more; write through the pointer, then Commit the end.
  char* Reserve(std::size_t bytes) {
    if (static_cast<std::size_t>(end_ - next_) < bytes) NewBlock(bytes);
    return next_;
  }
  void Commit(const char* end) {
    next_ += end - next_;
    blocks_.back().Used = static_cast<std::size_t>(next_ - blocks_.back().Data);
  }
  void Put(std::string_view bytes);

  void WriteTo(const std::function<void(std::string_view)>& write) const;

 private:
  struct TBlock {
    char* Data;
    std::size_t Size;
    std::size_t Used;
    void* Mapped;
    std::size_t MappedSize;
  };
  void NewBlock(std::size_t atLeast);

  std::vector<TBlock> blocks_;
  char* next_ = nullptr;
  char* end_ = nullptr;
};

}  // namespace cli
