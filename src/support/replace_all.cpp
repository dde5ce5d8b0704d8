#include "replace_all.h"

#include <algorithm>
#include <cstdint>

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

// How many characters the rewriting may pass through before it is taken as endless.
std::uint64_t WorkBudget(const std::string& text, const std::string& search, const std::string& replacement) {
  constexpr std::uint64_t kFloor = std::uint64_t{1} << 22;
  // A growing pair that never ends grows without bound, so it gets no more than the floor;
  // the others may need quadratically many replacements (pairs that move a character
  // across a run) and never grow, so they get that much.
  if (replacement.size() > search.size()) return kFloor;
  const std::uint64_t n = std::min<std::uint64_t>(text.size() + replacement.size() + 1, 1u << 30);
  return std::max(kFloor, 4 * n * n);
}

}  // namespace

std::string ReplaceAll(const std::string& text, const std::string& search, const std::string& replacement) {
  if (search.empty() || text.empty()) return text;
  if (replacement.find(search) != std::string::npos) return ReplaceInOnePass(text, search, replacement);
  // The text is W = done + reversed(pending). `done` never holds an occurrence, so the first
  // occurrence of W is the first one to end when characters move over from `pending`; as all
  // occurrences have the same length it is also the first to start. Replacing it and putting
  // the replacement back in front of `pending` therefore does exactly what searching again
  // from the first character would do, in time proportional to the characters moved.
  std::string done;
  done.reserve(text.size());
  std::string pending(text.rbegin(), text.rend());
  const std::string replacementReversed(replacement.rbegin(), replacement.rend());
  const std::uint64_t budget = WorkBudget(text, search, replacement);
  std::uint64_t moved = 0;
  while (!pending.empty()) {
    if (++moved > budget) return ReplaceInOnePass(text, search, replacement);
    done += pending.back();
    pending.pop_back();
    if (done.size() >= search.size() &&
        done.compare(done.size() - search.size(), search.size(), search) == 0) {
      done.resize(done.size() - search.size());
      pending += replacementReversed;
    }
  }
  return done;
}

}  // namespace support
