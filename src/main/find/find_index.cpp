#include "find_index.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <thread>

#include "amounts.h"
#include "cp1252.h"
#include "hit_marks.h"
#include "payment_model.h"

namespace quandel {
namespace {

// Stands between cells and lines: a needle never holds a control character, so no hit spans
// two texts.
constexpr char kSeparator = '\x1f';
constexpr int kCancelCheck = 4096;
// Fewer rows are read by one thread.
constexpr int kRowsPerThread = 50000;

const char* Find(const char* begin, const char* end, std::string_view needle) {
  if (needle.empty() || end - begin < static_cast<std::ptrdiff_t>(needle.size())) return nullptr;
  return static_cast<const char*>(
      memmem(begin, static_cast<std::size_t>(end - begin), needle.data(), needle.size()));
}

}  // namespace

void TFindIndex::Read(const ombra::TDtaus& document, const ombra::TRegionalSettings& rs, int first, int last,
                      const std::atomic<bool>& cancel, TPart& part) {
  part.firstRow = first;
  const auto rows = static_cast<std::size_t>(last - first);
  part.starts.reserve(rows + 1);
  part.cents.reserve(rows);
  // About what a payment's fields take, so the buffer grows seldom.
  part.text.reserve(rows * 96);
  const char* const currency = document.CurrencyText();
  std::string cell;
  for (int r = first; r < last; ++r) {
    if ((r - first) % kCancelCheck == 0 && cancel.load(std::memory_order_relaxed)) return;
    const ombra::TSatzC& payment = document.SatzCList[static_cast<std::size_t>(r)];
    for (const int column : kSearchedColumns) {
      if (column == kColPurpose) {
        const int lines = PurposeLineCount(payment);
        for (int line = 0; line < lines && static_cast<std::size_t>(line) < payment.Verwendungszweck.size();
             ++line) {
          ombra::AppendFoldedText(part.text, payment.Verwendungszweck[static_cast<std::size_t>(line)]);
          part.text += kSeparator;
        }
        continue;
      }
      cell.clear();
      AppendCellBytes(cell, payment, column, currency, rs);
      ombra::AppendFoldedText(part.text, cell, SearchBlanks(column));
      part.text += kSeparator;
    }
    part.starts.push_back(part.text.size());
    part.cents.push_back(ShownCents(payment).value_or(ombra::kNoCents));
  }
  part.text.shrink_to_fit();
}

std::shared_ptr<const TFindIndex> TFindIndex::Build(const ombra::TDtaus& document,
                                                    const ombra::TRegionalSettings& rs,
                                                    const std::atomic<bool>& cancel) {
  auto index = std::make_shared<TFindIndex>();
  const int count = TPaymentModel::HasList(document) ? static_cast<int>(document.SatzCList.size()) : 0;
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
      Read(document, rs, first, last, cancel, part);
    else
      readers.emplace_back([&document, &rs, first, last, &cancel, &part] {
        Read(document, rs, first, last, cancel, part);
      });
  }
  for (std::thread& reader : readers) reader.join();
  if (cancel.load()) return nullptr;
  index->rowCount_ = count;
  return index;
}

ombra::TSearchNeedle TFindIndex::Needle(const QString& typed) {
  return ombra::MakeSearchNeedle(ShownAsCp1252(typed));
}

std::size_t TFindIndex::bytes() const {
  std::size_t total = 0;
  for (const TPart& part : parts_)
    total += part.text.size() + part.starts.size() * sizeof(std::size_t) + part.cents.size() * sizeof(std::int64_t);
  return total;
}

const TFindIndex::TPart& TFindIndex::partOf(int row) const {
  const auto it = std::upper_bound(parts_.begin(), parts_.end(), row,
                                   [](int r, const TPart& part) { return r < part.firstRow; });
  return *std::prev(it);
}

bool TFindIndex::TPart::rowMatches(int row, const ombra::TSearchNeedle& needle) const {
  const auto r = static_cast<std::size_t>(row - firstRow);
  if (needle.Cents && cents[r] == *needle.Cents) return true;
  const char* begin = text.data() + starts[r];
  const char* end = text.data() + starts[r + 1];
  return Find(begin, end, needle.Text) != nullptr || Find(begin, end, needle.Digits) != nullptr;
}

int TFindIndex::TPart::rowAt(std::size_t offset) const {
  return firstRow + static_cast<int>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
}

int TFindIndex::TPart::firstHit(const ombra::TSearchNeedle& needle, int first, int last) const {
  // Each needle is looked for only before the first hit of those before it.
  int found = last;
  const std::size_t begin = starts[static_cast<std::size_t>(first - firstRow)];
  for (const std::string* typed : {&needle.Text, &needle.Digits}) {
    const std::size_t end = starts[static_cast<std::size_t>(found - firstRow)];
    if (const char* hit = Find(text.data() + begin, text.data() + end, *typed))
      found = rowAt(static_cast<std::size_t>(hit - text.data()));
  }
  if (needle.Cents) {
    const auto from = cents.begin() + (first - firstRow);
    const auto to = cents.begin() + (found - firstRow);
    if (const auto it = std::find(from, to, *needle.Cents); it != to)
      found = firstRow + static_cast<int>(it - cents.begin());
  }
  return found < last ? found : -1;
}

void TFindIndex::TPart::allHits(std::string_view typed, std::vector<int>& rows) const {
  const char* const end = text.data() + text.size();
  for (const char* at = text.data(); (at = Find(at, end, typed)) != nullptr;) {
    const int row = rowAt(static_cast<std::size_t>(at - text.data()));
    rows.push_back(row);
    at = text.data() + starts[static_cast<std::size_t>(row - firstRow) + 1];
  }
}

int TFindIndex::next(const ombra::TSearchNeedle& needle, int from) const {
  if (needle.empty() || rowCount_ == 0) return -1;
  from = std::clamp(from, 0, rowCount_ - 1);
  const TPart& start = partOf(from);
  const int startEnd = start.firstRow + static_cast<int>(start.cents.size());
  if (const int row = start.firstHit(needle, from, startEnd); row >= 0) return row;
  // The parts after it, round to those before it, and the start of its own.
  const auto first = static_cast<std::size_t>(&start - parts_.data());
  for (std::size_t step = 1; step < parts_.size(); ++step) {
    const TPart& part = parts_[(first + step) % parts_.size()];
    if (const int row = part.firstHit(needle, part.firstRow, part.firstRow + static_cast<int>(part.cents.size()));
        row >= 0)
      return row;
  }
  return start.firstHit(needle, start.firstRow, from);
}

bool TFindIndex::matches(int row, const ombra::TSearchNeedle& needle) const {
  if (needle.empty() || row < 0 || row >= rowCount_) return false;
  return partOf(row).rowMatches(row, needle);
}

int TFindIndex::previous(const ombra::TSearchNeedle& needle, int from) const {
  const int count = rowCount();
  if (needle.empty() || count == 0) return -1;
  from = std::clamp(from, 0, count - 1);
  for (int step = 0; step < count; ++step) {
    const int row = (from - step + count) % count;
    if (matches(row, needle)) return row;
  }
  return -1;
}

std::vector<int> TFindIndex::hits(const ombra::TSearchNeedle& needle, const std::atomic<bool>& cancel) const {
  std::vector<int> rows;
  if (needle.empty()) return rows;
  // Each needle's rows apart, then joined: one scan of the texts each, however the hits lie.
  std::vector<int> text, digits, amounts;
  for (const TPart& part : parts_) {
    if (cancel.load(std::memory_order_relaxed)) return {};
    part.allHits(needle.Text, text);
    part.allHits(needle.Digits, digits);
    if (needle.Cents)
      for (std::size_t r = 0; r < part.cents.size(); ++r)
        if (part.cents[r] == *needle.Cents) amounts.push_back(part.firstRow + static_cast<int>(r));
  }
  if (cancel.load(std::memory_order_relaxed)) return {};
  if (digits.empty() && amounts.empty()) return text;
  std::vector<int> some;
  std::set_union(text.begin(), text.end(), digits.begin(), digits.end(), std::back_inserter(some));
  std::set_union(some.begin(), some.end(), amounts.begin(), amounts.end(), std::back_inserter(rows));
  return rows;
}

}  // namespace quandel
