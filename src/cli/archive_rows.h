#pragma once
// One DTAUS file as the rows of the archive database: read and checked once, what was read
// before any damage kept.
#include <optional>
#include <string>

#include "archive_db.h"
#include "regional.h"

namespace cli {

// Nothing when not even the A record could be read. `size` and `hash` identify the bytes.
std::optional<TFileRow> ReadFileRows(const std::string& path, const ombra::TRegionalSettings& rs,
                                     std::string& loadError);

}  // namespace cli
