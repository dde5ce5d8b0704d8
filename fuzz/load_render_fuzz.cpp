// Any bytes as a DTAUS file: the load must end, and the page must render, without a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dtaus.h"
#include "memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::AsFile(data, size);
  if (path.empty()) return 0;

  static ombra::TDtaus doc;
  const auto& rs = size % 2 ? ombra::TRegionalSettings::en_US() : ombra::TRegionalSettings::de_DE();
  doc.Load(path, rs);
  ombra::TLineList lines;
  doc.RenderControlList(lines, "footer", rs);
  if (lines.empty()) __builtin_trap();
  if (!doc.LoadFailed() && lines.size() != 12 + doc.SatzCList.size()) __builtin_trap();
  return 0;
}
