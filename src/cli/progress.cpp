#include "progress.h"

namespace cli {

std::string Grouped(std::int64_t value) {
  std::string digits = std::to_string(value);
  const std::ptrdiff_t first = value < 0 ? 1 : 0;
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > first; at -= 3)
    digits.insert(static_cast<std::size_t>(at), 1, '.');
  return digits;
}

void TProgress::Update(std::size_t done) {
  if (!show_) return;
  const auto now = std::chrono::steady_clock::now();
  if (done != total_ && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  constexpr std::size_t kWidth = 30;
  const std::size_t filled = total_ == 0 ? kWidth : done * kWidth / total_;
  err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
       << Grouped(static_cast<std::int64_t>(done)) << " von " << Grouped(static_cast<std::int64_t>(total_))
       << " Dateien" << std::flush;
}

void TProgress::Clear() {
  if (show_) err_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
}

}  // namespace cli
