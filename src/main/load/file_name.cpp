#include "file_name.h"

#include "cp1252.h"

namespace quandel {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// A byte carried as an escape: a lone low surrogate of the range a byte above 0x7F maps to.
bool IsEscape(const QString& name, qsizetype i) {
  const char16_t c = name.at(i).unicode();
  return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF && (i == 0 || !name.at(i - 1).isHighSurrogate());
}

}  // namespace

QString FileNameFromBytes(std::string_view bytes) {
  QString name;
  name.reserve(static_cast<qsizetype>(bytes.size()));
  char32_t cp = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    if (const std::size_t len = support::DecodeUtf8At(bytes, i, cp)) {
      name.append(QString::fromUcs4(&cp, 1));
      i += len;
    } else {
      name.append(QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i]))));
      ++i;
    }
  }
  return name;
}

std::string FileNameToBytes(const QString& name) {
  std::string bytes;
  qsizetype run = 0;
  for (qsizetype i = 0; i <= name.size(); ++i) {
    if (i < name.size() && !IsEscape(name, i)) continue;
    bytes += name.mid(run, i - run).toUtf8().toStdString();
    if (i < name.size()) bytes += static_cast<char>(name.at(i).unicode() - kEscapeBase);
    run = i + 1;
  }
  return bytes;
}

QString ReadableFileName(const QString& name) {
  QString readable = name;
  for (qsizetype i = 0; i < readable.size(); ++i)
    if (IsEscape(name, i))
      readable[i] = QChar(static_cast<char16_t>(
          support::Cp1252ToUnicode(static_cast<unsigned char>(name.at(i).unicode() - kEscapeBase))));
  return readable;
}

}  // namespace quandel
