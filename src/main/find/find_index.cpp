#include "find_index.h"

#include <algorithm>
#include <cstring>

namespace quandel {
namespace {

// Stands between cells, lines and rows: a needle never holds it, so no hit spans two texts.
constexpr char kSeparator = '\x1f';
constexpr int kCancelCheck = 4096;

const char* Find(const char* begin, const char* end, std::string_view needle) {
  if (end - begin < static_cast<std::ptrdiff_t>(needle.size())) return nullptr;
  return static_cast<const char*>(memmem(begin, static_cast<std::size_t>(end - begin), needle.data(), needle.size()));
}

}  // namespace

std::shared_ptr<const TFindIndex> TFindIndex::Build(const IRowTexts& rows, const std::vector<int>& columns,
                                                    const std::atomic<bool>& cancel) {
  auto index = std::make_shared<TFindIndex>();
  const int count = rows.rowCount();
  index->starts_.reserve(static_cast<std::size_t>(count) + 1);
  QString row;
  for (int r = 0; r < count; ++r) {
    if (r % kCancelCheck == 0 && cancel.load(std::memory_order_relaxed)) return nullptr;
    row.clear();
    for (const int column : columns) {
      row += rows.cellText(r, column);
      row += QChar(kSeparator);
    }
    row.replace(u'\n', QChar(kSeparator));
    const QByteArray folded = row.toCaseFolded().toUtf8();
    index->text_.append(folded.constData(), static_cast<std::size_t>(folded.size()));
    index->starts_.push_back(index->text_.size());
  }
  index->text_.shrink_to_fit();
  return index;
}

std::string TFindIndex::Needle(const QString& typed) {
  QString kept;
  kept.reserve(typed.size());
  for (const QChar c : typed)
    if (c.unicode() >= 0x20) kept += c;
  const QByteArray folded = kept.toCaseFolded().toUtf8();
  return std::string(folded.constData(), static_cast<std::size_t>(folded.size()));
}

int TFindIndex::rowOfFirst(std::string_view needle, std::uint64_t begin, std::uint64_t end) const {
  const char* hit = Find(text_.data() + begin, text_.data() + end, needle);
  if (hit == nullptr) return -1;
  const auto offset = static_cast<std::uint64_t>(hit - text_.data());
  return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin()) - 1;
}

int TFindIndex::next(std::string_view needle, int from) const {
  const int count = rowCount();
  if (needle.empty() || count == 0) return -1;
  from = std::clamp(from, 0, count - 1);
  const auto start = starts_[static_cast<std::size_t>(from)];
  const int row = rowOfFirst(needle, start, text_.size());
  return row >= 0 ? row : rowOfFirst(needle, 0, start);
}

bool TFindIndex::matches(int row, std::string_view needle) const {
  if (needle.empty() || row < 0 || row >= rowCount()) return false;
  const auto r = static_cast<std::size_t>(row);
  return Find(text_.data() + starts_[r], text_.data() + starts_[r + 1], needle) != nullptr;
}

int TFindIndex::previous(std::string_view needle, int from) const {
  const int count = rowCount();
  if (needle.empty() || count == 0) return -1;
  from = std::clamp(from, 0, count - 1);
  for (int step = 0; step < count; ++step) {
    const int row = (from - step + count) % count;
    if (matches(row, needle)) return row;
  }
  return -1;
}

std::vector<int> TFindIndex::hits(std::string_view needle, const std::atomic<bool>& cancel) const {
  std::vector<int> rows;
  if (needle.empty()) return rows;
  std::uint64_t at = 0;
  int checked = 0;
  while (true) {
    if (++checked % kCancelCheck == 0 && cancel.load(std::memory_order_relaxed)) return {};
    const int row = rowOfFirst(needle, at, text_.size());
    if (row < 0) break;
    rows.push_back(row);
    at = starts_[static_cast<std::size_t>(row) + 1];
  }
  return rows;
}

}  // namespace quandel
