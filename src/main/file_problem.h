#pragma once
// Why a file cannot be read at all, said in the status bar where its size and time would stand.
#include <QString>

#include <optional>
#include <string>

namespace quandel {

// The reason for a failed open, as the user reads it; "errno" values of open(2).
QString FileProblemText(int error);
// Nothing when the file can be opened for reading.
std::optional<QString> FileProblem(const std::string& fileName);

}  // namespace quandel
