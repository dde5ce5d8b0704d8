#include "html_file.h"

#include <QDir>
#include <QFileInfo>

#include <stdexcept>

#include "file_system.h"
#include "system_error.h"

namespace quandel {
namespace {

[[noreturn]] void ThrowCannotCreate(const QString& path, const QString& reason) {
  const QString message = QStringLiteral("Datei \"%1\" kann nicht erstellt werden. %2")
                              .arg(QDir::cleanPath(QFileInfo(path).absoluteFilePath()), reason);
  throw std::runtime_error(message.toStdString());
}

}  // namespace

TPageFile::TPageFile(const QString& path)
    : path_(path), file_(QFile::encodeName(path).toStdString(), 0600, support::TTarget::ReplaceEntry) {
  if (const int error = file_.Open()) Fail(error);
}

void TPageFile::Fail(int errorNumber) {
  ThrowCannotCreate(
      path_, QString::fromUtf8(support::GermanSystemError(errorNumber, support::TFileDeed::Write) + "."));
}

void TPageFile::Write(std::string_view line) {
  file_.Write(line);
  file_.Write("\r\n");
}

// A failed write is remembered and makes the close fail.
void TPageFile::Close() {
  if (const int error = file_.Close()) Fail(error);
}

void TPageFile::Commit(std::string* replaced) {
  if (const int error = file_.Commit(replaced)) Fail(error);
}

}  // namespace quandel
