#include "replace_all.h"

namespace support {
namespace {

std::string ReplaceInOnePass(const std::string& text, const std::string& search,
                             const std::string& replacement) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t p = text.find(search); p != std::string::npos; p = text.find(search, from)) {
    out.append(text, from, p - from);
    out += replacement;
    from = p + search.size();
  }
  out.append(text, from, std::string::npos);
  return out;
}

}  // namespace

std::string ReplaceAll(const std::string& text, const std::string& search,
                       const std::string& replacement) {
  if (search.empty() || text.empty()) return text;
  std::string w = text;
  if (replacement.find(search) != std::string::npos) return ReplaceInOnePass(text, search, replacement);
  // Restart at the earliest place where a new occurrence can have formed: it must overlap
  // the replacement just made, so the search may resume that far back. This gives the same
  // result as restarting at the first character, in linear instead of quadratic time.
  // Some pairs keep forming new occurrences even without containing the search text; the
  // step bound (far above what single-character pairs need) guarantees that the call ends.
  const std::size_t n = text.size() + replacement.size() + 1;
  const std::size_t limit = n * n * 4;
  std::size_t steps = 0;
  std::size_t p = w.find(search);
  while (p != std::string::npos) {
    if (++steps > limit) return ReplaceInOnePass(text, search, replacement);
    w.replace(p, search.size(), replacement);
    const std::size_t back = search.size() - 1;
    p = w.find(search, p > back ? p - back : 0);
  }
  return w;
}

}  // namespace support
