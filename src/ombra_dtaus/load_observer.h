#pragma once
// Lets a caller see the bytes a load reads, as it reads them: the check of a file works on
// exactly what the load read, through the one descriptor the load opened.
#include <cstdint>
#include <string>
#include <string_view>

namespace ombra {

class TLoadObserver {
 public:
  virtual ~TLoadObserver() = default;
  // Each record as read, `offset` being that of its first byte in the file. A C record's
  // bytes run up to its last extension part read; A and E records are whole.
  virtual void OnRecord(char type, std::string_view bytes, std::int64_t offset) = 0;
  // A field check of the reader failed: its message (Windows-1252), the record and the
  // field's 1-based positions within it, and what the field holds.
  virtual void OnFieldCheck(const std::string& message, char record, std::size_t first, std::size_t last,
                            std::string_view found) = 0;
  // What follows the E record, piece by piece, up to the size the file had when it was
  // opened (`fileSize`); return false to read no further. Not called when nothing follows.
  // Holes of a sparse file (bytes that read as NULs but are not stored) are passed over.
  virtual bool OnTail(std::string_view bytes, std::int64_t offset, std::int64_t fileSize) = 0;
};

}  // namespace ombra
