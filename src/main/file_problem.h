#pragma once
// Whether a file can be read at all: a file that cannot has no size or time worth showing.
#include <string>

namespace quandel {

// A regular file that opens for reading.
bool CanReadFile(const std::string& fileName);

}  // namespace quandel
