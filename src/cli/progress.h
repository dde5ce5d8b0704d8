#pragma once
// What the commands over whole archives show while they run, and their German numbers.
#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace cli {

// 1234567 -> "1.234.567"
std::string Grouped(std::int64_t value);

// "[#####     ] 1.204 von 4.210 Dateien" on a terminal's stderr, rewritten in place at most ten
// times a second; nothing elsewhere.
class TProgress {
 public:
  TProgress(std::ostream& err, bool show, std::size_t total) : err_(err), show_(show), total_(total) {}
  void Update(std::size_t done);
  void Clear();

 private:
  std::ostream& err_;
  bool show_;
  std::size_t total_;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace cli
