#pragma once
// Read-only, buffered access to a regular file by position. Throws EReadError, whose text
// says in German (Windows-1252) why the file cannot be read.
// The file is read up to the size it had when it was opened: a writer appending to it
// meanwhile can neither make a read go on for ever nor change what one load sees.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ombra {

class EReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TFileReader {
 public:
  explicit TFileReader(const std::string& fileName);
  ~TFileReader();
  TFileReader(const TFileReader&) = delete;
  TFileReader& operator=(const TFileReader&) = delete;

  // Up to `count` bytes at the current position (fewer at the end of the file); moves on by
  // as many. The view stays valid until the next call.
  std::string_view Read(std::size_t count);
  std::int64_t Position() const { return position_; }
  // The size found at open; nothing beyond it is read.
  std::int64_t Size() const { return size_; }
  void Seek(std::int64_t position) { position_ = position; }
  // The first position at or after `from` that holds stored bytes: beyond a hole of a sparse
  // file, whose bytes read as NULs without being stored; Size() when only a hole follows.
  std::int64_t NextData(std::int64_t from) const;

 private:
  void Fill();

  int fd_ = -1;
  std::int64_t size_ = 0;
  std::unique_ptr<char[]> buffer_;
  std::size_t bufferSize_ = 0;
  std::int64_t bufferStart_ = 0;
  std::size_t bufferLength_ = 0;
  bool bufferReachesEnd_ = false;
  std::int64_t position_ = 0;
};

}  // namespace ombra
