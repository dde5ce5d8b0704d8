#include "product.h"

namespace support {

std::string FooterText() {
  // Windows-1252: 0xA9 is the copyright sign.
  return std::string("Quandel \xA9 ") + FamilyName + " &middot; <a href=\"" + WebAddress + "\">" + WebHost +
         "</a> - " + Version + " (" + Build + ")";
}

}  // namespace support
