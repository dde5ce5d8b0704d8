#pragma once

namespace support {

// A document of many payments is a great many small blocks. On this kind of machine the
// first touch of fresh memory costs more than reading the file, and on transparent huge
// pages that cost and the cost of walking the blocks drop to a fraction. glibc takes the
// setting only when a process starts, so the program starts itself once more with it; when
// that cannot be done (the setting is already there, no /proc), it simply goes on.
void RestartWithHugePages(char** argv);

}  // namespace support
