#include "file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "cp1252.h"
#include "system_error.h"

namespace ombra {
namespace {
// Small enough to stay in the processor's cache between one read into it and the parse of
// it, and to cost few page faults: a megabyte measured a third slower to load with.
constexpr std::size_t kBufferSize = std::size_t{128} << 10;

// Why a file cannot be read, in the document's Windows-1252.
std::string ReadError(int error) {
  return support::Utf8ToCp1252OrKeep(support::GermanSystemError(error, support::TFileDeed::Read));
}
}  // namespace

TFileReader::TFileReader(const std::string& fileName) {
  // Read-only and not locked: other programs may keep using the file. O_NONBLOCK keeps a
  // named pipe from blocking the open; such files are refused right after.
  fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) throw EReadError(ReadError(errno));
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    const bool folder = S_ISDIR(st.st_mode);
    ::close(fd_);
    throw EReadError(folder ? ReadError(EISDIR) : "Keine gew\xF6hnliche Datei (Ger\xE4t, Pipe oder Socket)");
  }
  size_ = st.st_size;
  // Small files get a small buffer; nothing is gained by zeroing a megabyte for them.
  const auto size = static_cast<std::uint64_t>(st.st_size);
  bufferSize_ = size < kBufferSize ? static_cast<std::size_t>(size) + 1 : kBufferSize;
  buffer_ = std::make_unique_for_overwrite<char[]>(bufferSize_);
}

TFileReader::~TFileReader() { ::close(fd_); }

std::int64_t TFileReader::NextData(std::int64_t from) const {
  if (from >= size_) return from;
  const off_t data = ::lseek(fd_, from, SEEK_DATA);
  if (data < 0) return errno == ENXIO ? size_ : from;  // other errors: file systems without holes
  return data < size_ ? data : size_;
}

void TFileReader::Fill() {
  bufferStart_ = position_;
  bufferLength_ = 0;
  const std::int64_t left = position_ < size_ ? size_ - position_ : 0;
  const std::size_t wanted =
      static_cast<std::uint64_t>(left) < bufferSize_ ? static_cast<std::size_t>(left) : bufferSize_;
  while (bufferLength_ < wanted) {
    const ssize_t got = ::pread(fd_, buffer_.get() + bufferLength_, wanted - bufferLength_,
                                bufferStart_ + static_cast<std::int64_t>(bufferLength_));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EReadError("Lesefehler: " + ReadError(errno));
    }
    if (got == 0) break;
    bufferLength_ += static_cast<std::size_t>(got);
  }
  // A file that shrank since the open ends where the reads end.
  bufferReachesEnd_ = bufferLength_ < wanted || wanted < bufferSize_;
}

std::string_view TFileReader::Read(std::size_t count) {
  const std::int64_t bufferEnd = bufferStart_ + static_cast<std::int64_t>(bufferLength_);
  const bool inside = position_ >= bufferStart_ && position_ <= bufferEnd;
  // Refill when the request runs past the buffer, unless the buffer already holds the
  // file's end.
  if (!inside || (position_ + static_cast<std::int64_t>(count) > bufferEnd && !bufferReachesEnd_)) Fill();
  const std::size_t offset = static_cast<std::size_t>(position_ - bufferStart_);
  const std::size_t available = bufferLength_ - offset;
  const std::size_t delivered = count < available ? count : available;
  position_ += static_cast<std::int64_t>(delivered);
  return std::string_view(buffer_.get() + offset, delivered);
}

}  // namespace ombra
