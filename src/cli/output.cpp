#include "output.h"

#include "shown_text.h"
#include "system_error.h"

namespace cli {

TOutput::TOutput(std::string path) : path_(path), file_(std::move(path), 0600) {}

bool TOutput::Fail(int errorNumber) {
  if (error_.empty())
    error_ =
        (path_.empty() ? std::string("Die Standardausgabe kann nicht geschrieben werden")
                       : "Die Ausgabedatei " + support::ShownText(path_) + " kann nicht geschrieben werden") +
        ": " + support::GermanSystemError(errorNumber, support::TFileDeed::Write) + ".";
  return false;
}

bool TOutput::Open() {
  if (const int error = file_.Open()) return Fail(error);
  opened_ = true;
  return true;
}

bool TOutput::Commit() {
  if (!opened_) return false;
  if (const int error = file_.Commit()) return Fail(error);
  return true;
}

}  // namespace cli
