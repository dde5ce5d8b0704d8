// Any bytes as the start of a file met in a walked folder, and as its name: the sniffing reads
// no further than it says and gives the same verdict on the bytes and on the file, and the
// name as printed is valid UTF-8 without a control character, so it cannot forge a line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cp1252.h"
#include "folder_walk.h"
#include "memory_file.h"
#include "shown_text.h"

namespace {

bool PrintsSafely(std::string_view shown) {
  char32_t cp = 0;
  for (std::size_t i = 0; i < shown.size();) {
    const std::size_t length = support::DecodeUtf8At(shown, i, cp);
    if (length == 0 || cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) return false;
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool dtaus = cli::BytesStartLikeDtaus(bytes);
  if (dtaus != cli::BytesStartLikeDtaus(bytes.substr(0, cli::DtausHeadSize()))) __builtin_trap();
  const std::string path = fuzz::AsFile(data, size);
  if (!path.empty() && (cli::StartsLikeDtaus(path) == cli::TSniff::Dtaus) != dtaus) __builtin_trap();

  const std::string shown = support::ShownText(bytes);
  if (!PrintsSafely(shown)) __builtin_trap();
  if (support::ShownAsIs(bytes) != (shown == bytes)) __builtin_trap();
  (void)cli::NamedLikeDtaus(bytes);
  return 0;
}
