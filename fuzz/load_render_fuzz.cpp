// Any bytes as a DTAUS file: the load must end, and the page must render, without a fault.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "dtaus.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An in-memory file keeps the disk out of the loop; the reader opens it by path.
  static const int fd = memfd_create("quandel-fuzz", 0);
  if (fd < 0) return 0;
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);

  static ombra::TDtaus doc;
  const auto& rs = size % 2 ? ombra::TRegionalSettings::en_US() : ombra::TRegionalSettings::de_DE();
  doc.Load(path, rs);
  ombra::TLineList lines;
  doc.RenderControlList(lines, "footer", rs);
  if (lines.empty()) __builtin_trap();
  if (doc.ErrorText.empty() && lines.size() != 12 + doc.SatzCList.size()) __builtin_trap();
  return 0;
}
