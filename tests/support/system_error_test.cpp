#include "system_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "cp1252.h"

using support::GermanSystemError;
using support::TFileDeed;

namespace {

TEST(SystemError, ReasonsByWhatWasDone) {
  const struct {
    int error;
    TFileDeed deed;
    const char* reason;
  } cases[] = {
      // The reader was asked for a file; the writer was about to create one in a folder.
      {ENOENT, TFileDeed::Read, "Datei nicht gefunden"},
      {ENOENT, TFileDeed::Write, "Der Ordner ist nicht vorhanden"},
      {EACCES, TFileDeed::Read, "Zugriff verweigert"},
      {EPERM, TFileDeed::Write, "Zugriff verweigert"},
      {ELOOP, TFileDeed::Read, "Zu viele symbolische Verknüpfungen"},
      {ENOSPC, TFileDeed::Write, "Der Datenträger ist voll"},
      {ENFILE, TFileDeed::Read, "Zu viele offene Dateien"},
      {99999, TFileDeed::Write, "Systemfehler 99999"},
  };
  for (const auto& c : cases) EXPECT_EQ(GermanSystemError(c.error, c.deed), c.reason) << c.error;
}

// The reader hands its reasons on in the document's Windows-1252, and callers put a stop
// after them where a sentence ends: every reason must survive the one and want the other.
TEST(SystemError, EveryReasonFitsWindows1252AndEndsWithoutAStop) {
  for (int error = 1; error < 200; ++error) {
    for (const TFileDeed deed : {TFileDeed::Read, TFileDeed::Write}) {
      const std::string reason = GermanSystemError(error, deed);
      SCOPED_TRACE(reason);
      ASSERT_FALSE(reason.empty());
      EXPECT_NE(reason.back(), '.');
      // Text left as UTF-8 would come back doubly encoded.
      EXPECT_EQ(support::Cp1252ToUtf8(support::Utf8ToCp1252OrKeep(reason)), reason);
    }
  }
}

}  // namespace
