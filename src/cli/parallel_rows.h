#pragma once
// Exports spend most of their time turning payments into text, each payment on its own. A long
// list is cut into one part per processor: the calling thread formats the first part and writes
// it as it goes, while the others are formatted into memory meanwhile and written after it, in
// order. The output is the same bytes as one thread would write.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace cli {

using TWrite = std::function<void(std::string_view)>;

// Fewer rows than this are formatted faster than a thread starts.
inline constexpr std::size_t kRowsPerPart = 8192;

// format(begin, end, write) formats rows [begin, end) through write; it must only read shared data.
template <class Format>
void WriteRowsInParts(std::size_t count, const TWrite& write, Format format) {
  const std::size_t processors = std::max(1U, std::thread::hardware_concurrency());
  const std::size_t parts =
      std::clamp<std::size_t>(count / kRowsPerPart, 1, std::min<std::size_t>(processors, 8));
  const auto start = [&](std::size_t part) { return count * part / parts; };
  std::vector<std::string> texts(parts);
  std::vector<std::jthread> workers;  // joined on the way out, also when a write fails
  for (std::size_t part = 1; part < parts; ++part)
    workers.emplace_back([&, part] {
      std::string& text = texts[part];
      format(start(part), start(part + 1), TWrite([&text](std::string_view bytes) { text.append(bytes); }));
    });
  format(0, start(1), write);
  for (std::size_t part = 1; part < parts; ++part) {
    workers[part - 1].join();
    write(texts[part]);
    std::string().swap(texts[part]);
  }
}

}  // namespace cli
