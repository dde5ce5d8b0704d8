#pragma once
// The fuzz input as a file that the readers open by path, kept in memory so the disk stays
// out of the loop.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The path of a file holding exactly `data`; empty when none can be made.
inline std::string AsFile(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("quandel-fuzz", 0);
  if (fd < 0) return {};
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return {};
  return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace fuzz
