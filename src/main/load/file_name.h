#pragma once
// File names as Linux keeps them: bytes, mostly UTF-8, but names copied from old archives
// hold bytes of an 8-bit code page ("b\xFCro.dta"). Such bytes travel in a QString as the
// code points U+DC80-U+DCFF, so that the name reaches the file system again unchanged.
#include <QString>

#include <string>
#include <string_view>

namespace quandel {

QString FileNameFromBytes(std::string_view bytes);
std::string FileNameToBytes(const QString& name);

// The name as the user reads it: the bytes that are no UTF-8 taken as Windows-1252.
QString ReadableFileName(const QString& name);

}  // namespace quandel
