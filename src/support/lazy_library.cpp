#include "lazy_library.h"

#include <dlfcn.h>

#include <string>

namespace support {

void* TLazyLibrary::Symbol(const char* name) {
  std::lock_guard lock(mutex_);
  if (handle_ == nullptr) {
    handle_ = ::dlopen(soname_, RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr)
      throw ELibraryMissing(std::string("Die Programmbibliothek ") + soname_ +
                            " fehlt oder lässt sich nicht laden (Paket neu installieren).");
  }
  void* address = ::dlsym(handle_, name);
  if (address == nullptr)
    throw ELibraryMissing(std::string("Die Programmbibliothek ") + soname_ + " kennt die Funktion " + name +
                          " nicht (falsche Version?).");
  return address;
}

}  // namespace support
