#pragma once
// Output gathered into blocks of about a megabyte and handed on whole: exports of a million
// payments write straight into memory that is reused, without a string per row or field.
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

namespace cli {

class TBlockWriter {
 public:
  using TWrite = std::function<void(std::string_view)>;
  static constexpr std::size_t kBlock = std::size_t{1} << 20;

  explicit TBlockWriter(TWrite write)
      : write_(std::move(write)), data_(std::make_unique_for_overwrite<char[]>(2 * kBlock)) {}
  TBlockWriter(const TBlockWriter&) = delete;
  TBlockWriter& operator=(const TBlockWriter&) = delete;

  // Room for `bytes` more (at most kBlock); write through the pointer, then Commit the end.
  char* Reserve(std::size_t bytes) {
    if (used_ + bytes > 2 * kBlock || used_ >= kBlock) Flush();
    return data_.get() + used_;
  }
  void Commit(const char* end) { used_ = static_cast<std::size_t>(end - data_.get()); }

  void Put(std::string_view bytes) {
    if (bytes.size() > kBlock) {
      Flush();
      write_(bytes);
      return;
    }
    char* to = Reserve(bytes.size());
    std::memcpy(to, bytes.data(), bytes.size());
    Commit(to + bytes.size());
  }

  void Flush() {
    if (used_ > 0) write_(std::string_view(data_.get(), used_));
    used_ = 0;
  }

 private:
  TWrite write_;
  std::unique_ptr<char[]> data_;
  std::size_t used_ = 0;
};

}  // namespace cli
