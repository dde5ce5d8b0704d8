#pragma once
// German messages for the command-line parser's errors, whose own texts are English.
#include <string>
#include <vector>

namespace cli {

// `errorName` and `what` as the parser's error reports them; `unmatched` are the arguments the
// parser could not place. Ends with a pointer to the help.
std::string UsageErrorText(const std::string& errorName, const std::string& what,
                           const std::vector<std::string>& unmatched);

}  // namespace cli
