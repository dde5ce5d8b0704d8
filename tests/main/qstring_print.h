#pragma once
// Readable QStrings in failure messages, found by argument-dependent lookup. Every test file
// that compares QStrings must see this, or the linker may keep a byte-dump printer instead.
#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
