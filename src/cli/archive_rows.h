#pragma once
// One DTAUS file as the rows of the archive database: read and checked once, what was read
// before any damage kept.
#include <optional>
#include <string>

#include "archive_db.h"
#include "regional.h"

namespace cli {

// Nothing when not even the A record could be read; `loadError` (UTF-8) says why the reading
// stopped, if it did. Path, size and content hash are the caller's to fill in.
std::optional<TFileRow> ReadFileRows(const std::string& path, const ombra::TRegionalSettings& rs,
                                     std::string& loadError);

}  // namespace cli
