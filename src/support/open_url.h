#pragma once
// Hands a document or web address to the desktop's default application.
#include <string>

namespace support {

// UTF-8 text; a plain path is opened as a local file. Failures are not reported.
void OpenUrl(const std::string& Url);

}  // namespace support
