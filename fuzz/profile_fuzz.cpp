// Any bytes as ./quandel.ini: looking up keys must end without a fault, and no text value is
// longer than the reader promises.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "memory_file.h"
#include "profile.h"

namespace {

void Check(const support::TProfile& profile, const std::string& section, const std::string& key) {
  if (profile.ReadString(section, key, "").size() > support::TProfile::kMaxValueLength) __builtin_trap();
  profile.ReadInteger(section, key, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::AsFile(data, size);
  if (path.empty()) return 0;
  const support::TProfile profile(path);
  Check(profile, "viewer", "filterindex");
  Check(profile, "viewer", "initialdir");
  // Section and key names of every shape, taken from the input's first two lines.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t first = std::min(text.find('\n'), text.size());
  const std::string_view rest = text.substr(std::min(first + 1, text.size()));
  Check(profile, std::string(text.substr(0, first)), std::string(rest.substr(0, rest.find('\n'))));
  return 0;
}
