// Any bytes as a DTAUS file: the load must end, the page must render and the check must agree
// with the load, without a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "check.h"
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

  // The check reads the same bytes and what follows the trailer; it says why a load failed.
  static ombra::TDtaus checked;
  const ombra::TFileCheck check = ombra::LoadAndCheck(checked, path, rs);
  if (check.Loaded == doc.LoadFailed()) __builtin_trap();
  if (!check.Loaded && check.LoadError.empty()) __builtin_trap();
  if (check.Loaded && checked.SatzCList.size() != doc.SatzCList.size()) __builtin_trap();
  // A failed load says what it read before the damage, and keeps exactly that.
  if (doc.LoadFailed() == (doc.Damage.Kind == ombra::TDamageKind::None)) __builtin_trap();
  if (doc.Damage.PaymentsRead != static_cast<std::int64_t>(doc.SatzCList.size())) __builtin_trap();
  if (ombra::PartlyRead(doc.Damage) && ombra::ReadSoFarText(doc.Damage).empty()) __builtin_trap();
  return 0;
}
