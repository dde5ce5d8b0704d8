#include "find_index.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace quandel {
namespace {

// Stands between cells, lines and rows: a needle never holds it, so no hit spans two texts.
constexpr char kSeparator = '\x1f';
constexpr int kCancelCheck = 4096;
// Fewer rows are read by one thread.
constexpr int kRowsPerThread = 50000;

const char* Find(const char* begin, const char* end, std::string_view needle) {
  if (end - begin < static_cast<std::ptrdiff_t>(needle.size())) return nullptr;
  return static_cast<const char*>(
      memmem(begin, static_cast<std::size_t>(end - begin), needle.data(), needle.size()));
}

}  // namespace

void TFindIndex::Read(const IRowTexts& rows, const std::vector<int>& columns, int first, int last,
                      const std::atomic<bool>& cancel, TPart& part) {
  part.firstRow = first;
  part.starts.reserve(static_cast<std::size_t>(last - first) + 1);
  QString row;
  for (int r = first; r < last; ++r) {
    if ((r - first) % kCancelCheck == 0 && cancel.load(std::memory_order_relaxed)) return;
    row.clear();
    for (const int column : columns) {
      row += rows.cellText(r, column);
      row += QChar(kSeparator);
    }
    row.replace(u'\n', QChar(kSeparator));
    const QByteArray folded = row.toCaseFolded().toUtf8();
    part.text.append(folded.constData(), static_cast<std::size_t>(folded.size()));
    part.starts.push_back(part.text.size());
  }
  part.text.shrink_to_fit();
}

std::shared_ptr<const TFindIndex> TFindIndex::Build(const IRowTexts& rows, const std::vector<int>& columns,
                                                    const std::atomic<bool>& cancel) {
  auto index = std::make_shared<TFindIndex>();
  const int count = rows.rowCount();
  // Big lists are read by every processor at once; a small one is not worth a thread.
  const int threads =
      count < kRowsPerThread ? 1 : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
  index->parts_.resize(static_cast<std::size_t>(threads));
  std::vector<std::thread> readers;
  for (int t = 0; t < threads; ++t) {
    const int first = static_cast<int>(static_cast<std::int64_t>(count) * t / threads);
    const int last = static_cast<int>(static_cast<std::int64_t>(count) * (t + 1) / threads);
    TPart& part = index->parts_[static_cast<std::size_t>(t)];
    if (t + 1 == threads)
      Read(rows, columns, first, last, cancel, part);
    else
      readers.emplace_back(
          [&rows, &columns, first, last, &cancel, &part] { Read(rows, columns, first, last, cancel, part); });
  }
  for (std::thread& reader : readers) reader.join();
  if (cancel.load()) return nullptr;
  index->rowCount_ = count;
  return index;
}

std::size_t TFindIndex::bytes() const {
  std::size_t total = 0;
  for (const TPart& part : parts_) total += part.text.size() + part.starts.size() * sizeof(std::size_t);
  return total;
}

const TFindIndex::TPart& TFindIndex::partOf(int row) const {
  const auto it = std::upper_bound(parts_.begin(), parts_.end(), row,
                                   [](int r, const TPart& part) { return r < part.firstRow; });
  return *std::prev(it);
}

std::string TFindIndex::Needle(const QString& typed) {
  QString kept;
  kept.reserve(typed.size());
  for (const QChar c : typed)
    if (c.unicode() >= 0x20) kept += c;
  const QByteArray folded = kept.toCaseFolded().toUtf8();
  return std::string(folded.constData(), static_cast<std::size_t>(folded.size()));
}

int TFindIndex::TPart::firstHit(std::string_view needle, std::size_t begin, std::size_t end) const {
  const char* hit = Find(text.data() + begin, text.data() + end, needle);
  if (hit == nullptr) return -1;
  const auto offset = static_cast<std::size_t>(hit - text.data());
  return firstRow +
         static_cast<int>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
}

int TFindIndex::next(std::string_view needle, int from) const {
  if (needle.empty() || rowCount_ == 0) return -1;
  from = std::clamp(from, 0, rowCount_ - 1);
  const TPart& start = partOf(from);
  const std::size_t at = start.starts[static_cast<std::size_t>(from - start.firstRow)];
  if (const int row = start.firstHit(needle, at, start.text.size()); row >= 0) return row;
  // The parts after it, round to those before it, and the start of its own.
  const auto first = static_cast<std::size_t>(&start - parts_.data());
  for (std::size_t step = 1; step < parts_.size(); ++step) {
    const TPart& part = parts_[(first + step) % parts_.size()];
    if (const int row = part.firstHit(needle, 0, part.text.size()); row >= 0) return row;
  }
  return start.firstHit(needle, 0, at);
}

bool TFindIndex::matches(int row, std::string_view needle) const {
  if (needle.empty() || row < 0 || row >= rowCount_) return false;
  const TPart& part = partOf(row);
  const auto r = static_cast<std::size_t>(row - part.firstRow);
  return Find(part.text.data() + part.starts[r], part.text.data() + part.starts[r + 1], needle) != nullptr;
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
  int checked = 0;
  for (const TPart& part : parts_) {
    std::size_t at = 0;
    while (true) {
      if (++checked % kCancelCheck == 0 && cancel.load(std::memory_order_relaxed)) return {};
      const int row = part.firstHit(needle, at, part.text.size());
      if (row < 0) break;
      rows.push_back(row);
      at = part.starts[static_cast<std::size_t>(row - part.firstRow) + 1];
    }
  }
  return rows;
}

}  // namespace quandel
