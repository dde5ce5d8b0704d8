#include "finder.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

#include "hand_off.h"

namespace quandel {
namespace {

bool Same(const std::weak_ptr<const ombra::TDtaus>& made, const std::shared_ptr<const ombra::TDtaus>& shown) {
  return shown != nullptr && !made.expired() && made.lock() == shown;
}

}  // namespace

TFinder::TFinder(QObject* parent) : QObject(parent) {
  connect(&builder_, &QFutureWatcher<std::shared_ptr<const TFindIndex>>::finished, this,
          &TFinder::buildFinished);
  connect(&counter_, &QFutureWatcher<TCount>::finished, this, &TFinder::countFinished);
}

// The workers read only what they were given; they are told to stop and left to end.
TFinder::~TFinder() {
  if (build_) build_->cancel.store(true);
  cancelCount();
}

void TFinder::setTarget(IFindView* view) {
  reset();
  view_ = view;
  if (pending_ != TPending::None) prepare();
}

void TFinder::reset() {
  cancelCount();
  hits_.reset();
  current_ = -1;
  wrapped_ = 0;
  // A find typed before the rows changed goes on over the new ones.
  pending_ = needle_->empty() ? TPending::None : TPending::Find;
}

void TFinder::refind() {
  if (!needle_->empty()) run(TPending::Find);
}

bool TFinder::indexReady(const TFindRows& rows) const { return index_ && Same(indexOf_, rows.document); }

void TFinder::prepare() {
  if (view_ == nullptr) return;
  const TFindRows rows = view_->findRows();
  if (!rows.document || indexReady(rows)) return;
  if (build_ && Same(build_->document, rows.document)) return;
  // Another document: what was built or is being built for the last one is of no use.
  if (build_) build_->cancel.store(true);
  build_.reset();
  index_ = shelf_ != nullptr ? shelf_->get(rows.document) : nullptr;
  indexOf_ = rows.document;
  if (index_) return;
  build_ = std::make_shared<TBuild>();
  build_->document = rows.document;
  support::HandOver();
  builder_.setFuture(QtConcurrent::run([document = rows.document, rs = rows.rs, build = build_] {
    support::TakeOver();
    std::shared_ptr<const TFindIndex> index = TFindIndex::Build(*document, rs, build->cancel);
    support::HandOver();
    return index;
  }));
  emit changed();
}

void TFinder::buildFinished() {
  if (!build_ || !builder_.isFinished()) return;
  support::TakeOver();
  const std::shared_ptr<TBuild> build = std::move(build_);
  build_.reset();
  std::shared_ptr<const TFindIndex> index = builder_.future().takeResult();
  if (!index || build->cancel.load()) return;
  index_ = std::move(index);
  indexOf_ = build->document;
  if (shelf_ != nullptr) shelf_->put(indexOf_.lock(), index_);
  const TPending pending = std::exchange(pending_, TPending::None);
  if (pending != TPending::None) run(pending);
  emit changed();
}

bool TFinder::busy() const { return build_ != nullptr || cancelCount_ != nullptr; }

void TFinder::waitForIdle() {
  if (build_) {
    builder_.waitForFinished();
    buildFinished();
  }
  if (cancelCount_) {
    counter_.waitForFinished();
    countFinished();
  }
}

void TFinder::find(const QString& typed) {
  typed_ = typed;
  needle_ = std::make_shared<const ombra::TSearchNeedle>(TFindIndex::Needle(typed));
  cancelCount();
  hits_.reset();
  wrapped_ = 0;
  selectPending_ = false;
  if (view_ != nullptr) {
    view_->markHits(nullptr);
    view_->markText(needle_->empty() ? nullptr : needle_);
  }
  if (needle_->empty()) {
    pending_ = TPending::None;
    moveTo(-1);
    emit changed();
    return;
  }
  run(TPending::Find);
}

void TFinder::findNext() { run(TPending::Next); }
void TFinder::findPrevious() { run(TPending::Previous); }

void TFinder::selectAllHits() {
  if (needle_->empty()) return;
  if (hits_) return selectHits();
  selectPending_ = true;
  // Nothing found yet (the bar was closed or the rows changed): the find runs first.
  if (!busy()) run(TPending::Find);
}

void TFinder::selectHits() {
  selectPending_ = false;
  if (view_ != nullptr && hits_ && !hits_->empty()) view_->selectRows(*hits_, current_);
}

void TFinder::run(TPending step) {
  if (needle_->empty() || view_ == nullptr) return;
  const TFindRows rows = view_->findRows();
  if (!indexReady(rows)) prepare();
  if (!indexReady(rows)) {
    // A step asked for while the index is built waits for it; a find replaces any step.
    if (pending_ != TPending::Find) pending_ = step;
    emit changed();
    return;
  }
  pending_ = TPending::None;
  if (step == TPending::Find) {
    const int from = current_ >= 0 ? current_ : view_->currentRow();
    moveTo(nextShown(rows, std::max(from, 0), true));
    startCount(rows);
  } else {
    this->step(step == TPending::Next);
  }
  emit changed();
}

int TFinder::nextShown(const TFindRows& rows, int from, bool forward) const {
  const int count = rows.count;
  if (count == 0) return -1;
  from = std::clamp(from, 0, count - 1);
  // The file's order: the index scans its texts at once.
  if (!rows.order) return forward ? index_->next(*needle_, from) : index_->previous(*needle_, from);
  for (int step = 0; step < count; ++step) {
    const int row = forward ? (from + step) % count : (from - step + count) % count;
    if (index_->matches((*rows.order)[static_cast<std::size_t>(row)], *needle_)) return row;
  }
  return -1;
}

void TFinder::step(bool forward) {
  const TFindRows rows = view_->findRows();
  const int count = rows.count;
  if (count == 0) return;
  const int from = current_ >= 0 ? current_ : std::max(view_->currentRow(), 0);
  int row = -1;
  if (hits_) {
    if (hits_->empty()) return;
    if (forward) {
      const auto it = std::upper_bound(hits_->begin(), hits_->end(), current_ >= 0 ? from : from - 1);
      row = it == hits_->end() ? hits_->front() : *it;
    } else {
      const auto it = std::lower_bound(hits_->begin(), hits_->end(), from);
      row = it == hits_->begin() ? hits_->back() : *std::prev(it);
    }
  } else if (forward) {
    row = nextShown(rows, current_ >= 0 ? (from + 1) % count : from, true);
  } else {
    row = nextShown(rows, current_ >= 0 ? (from - 1 + count) % count : from, false);
  }
  const bool round = row >= 0 && current_ >= 0 && (forward ? row <= current_ : row >= current_);
  wrapped_ = !round ? 0 : forward ? 1 : -1;
  moveTo(row);
}

void TFinder::moveTo(int row) {
  current_ = row;
  if (view_ != nullptr) view_->showHit(row);
}

void TFinder::startCount(const TFindRows& rows) {
  cancelCount_ = std::make_shared<std::atomic<bool>>(false);
  support::HandOver();
  counter_.setFuture(QtConcurrent::run(
      [index = index_, needle = *needle_, order = rows.order, count = rows.count, cancel = cancelCount_] {
        support::TakeOver();
        std::vector<int> hits = index->hits(needle, *cancel);
        if (order) {
          // The hits in the order shown: each shown row asks whether its payment is one.
          std::vector<char> hit(static_cast<std::size_t>(index->rowCount()), 0);
          for (const int row : hits) hit[static_cast<std::size_t>(row)] = 1;
          hits.clear();
          for (int row = 0; row < count; ++row)
            if (hit[static_cast<std::size_t>((*order)[static_cast<std::size_t>(row)])] != 0) hits.push_back(row);
        }
        TCount result{index, needle, order, std::make_shared<const std::vector<int>>(std::move(hits))};
        support::HandOver();
        return result;
      }));
}

void TFinder::cancelCount() {
  if (cancelCount_) cancelCount_->store(true);
  cancelCount_.reset();
}

void TFinder::countFinished() {
  if (!cancelCount_ || !counter_.isFinished()) return;
  support::TakeOver();
  TCount count = counter_.future().takeResult();
  // The result of a count that was cancelled or replaced meanwhile is dropped.
  if (count.index != index_ || count.needle != *needle_ || view_ == nullptr ||
      count.order != view_->findRows().order)
    return;
  cancelCount_.reset();
  hits_ = std::move(count.hits);
  if (view_ != nullptr) view_->markHits(hits_->empty() ? nullptr : hits_);
  if (selectPending_) selectHits();
  emit changed();
}

void TFinder::stop() {
  cancelCount();
  // Found again when the bar opens, so that the marks come back with the count.
  hits_.reset();
  selectPending_ = false;
  if (view_ != nullptr) {
    view_->markHits(nullptr);
    view_->markText(nullptr);
  }
}

int TFinder::hitNumber() const {
  if (!hits_ || current_ < 0) return 0;
  const auto it = std::lower_bound(hits_->begin(), hits_->end(), current_);
  return it != hits_->end() && *it == current_ ? static_cast<int>(it - hits_->begin()) + 1 : 0;
}

}  // namespace quandel
