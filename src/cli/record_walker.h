#pragma once
// Finds the E record by walking the records' own lengths, to read the fields of the trailer
// that the document does not keep (its record count).
#include <cstdint>
#include <istream>
#include <string>

namespace cli {

struct TTrailerField {
  bool Found = false;          // a record stands behind the last C record
  std::string Count;           // its positions 11-17 as stored
  std::int64_t CRecords = 0;   // C records passed on the way
};

// Number of 128-byte blocks of a C record with `extensionParts` parts: two parts fit in the
// second block, four in each further one.
std::int64_t CRecordBlocks(std::int32_t extensionParts);

// `in` starts at the A record. A C record whose extension count cannot be read ends the walk
// without a trailer.
TTrailerField FindTrailer(std::istream& in);
TTrailerField FindTrailerInFile(const std::string& fileName);

}  // namespace cli
