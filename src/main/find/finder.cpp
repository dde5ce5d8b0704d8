#include "finder.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace quandel {

TFinder::TFinder(std::vector<int> columns, QObject* parent) : QObject(parent), columns_(std::move(columns)) {
  connect(&builder_, &QFutureWatcher<std::shared_ptr<const TFindIndex>>::finished, this,
          &TFinder::buildFinished);
  connect(&counter_, &QFutureWatcher<TCount>::finished, this, &TFinder::countFinished);
}

// The builder reads the rows, which may go with the finder.
TFinder::~TFinder() { setTarget(nullptr, nullptr); }

void TFinder::setTarget(const IRowTexts* rows, IFindView* view) {
  rows_ = nullptr;
  reset();
  rows_ = rows;
  view_ = view;
  if (pending_ != TPending::None) prepare();
}

void TFinder::reset() {
  // A watcher without a future would wait for ever.
  if (cancelBuild_) {
    cancelBuild_->store(true);
    builder_.waitForFinished();
    cancelBuild_.reset();
  }
  cancelCount();
  index_.reset();
  hits_.reset();
  current_ = -1;
  wrapped_ = 0;
  // A find typed before the rows changed goes on over the new ones.
  pending_ = needle_.empty() ? TPending::None : TPending::Find;
}

void TFinder::refind() {
  if (!needle_.empty()) run(TPending::Find);
}

void TFinder::prepare() {
  if (index_ || cancelBuild_ || rows_ == nullptr) return;
  cancelBuild_ = std::make_shared<std::atomic<bool>>(false);
  builder_.setFuture(QtConcurrent::run([rows = rows_, columns = columns_, cancel = cancelBuild_] {
    return TFindIndex::Build(*rows, columns, *cancel);
  }));
  emit changed();
}

void TFinder::buildFinished() {
  if (!cancelBuild_ || !builder_.isFinished()) return;
  const bool cancelled = cancelBuild_->load();
  cancelBuild_.reset();
  if (cancelled) return;
  index_ = builder_.future().takeResult();
  const TPending pending = std::exchange(pending_, TPending::None);
  if (pending != TPending::None) run(pending);
  emit changed();
}

bool TFinder::busy() const { return cancelBuild_ != nullptr || cancelCount_ != nullptr; }

void TFinder::waitForIdle() {
  if (cancelBuild_) {
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
  needle_ = TFindIndex::Needle(typed);
  cancelCount();
  hits_.reset();
  wrapped_ = 0;
  if (view_ != nullptr) view_->markHits(nullptr);
  if (needle_.empty()) {
    pending_ = TPending::None;
    moveTo(-1);
    emit changed();
    return;
  }
  run(TPending::Find);
}

void TFinder::findNext() { run(TPending::Next); }
void TFinder::findPrevious() { run(TPending::Previous); }

void TFinder::run(TPending step) {
  if (needle_.empty()) return;
  if (!index_) {
    // A step asked for while the index is built waits for it; a find replaces any step.
    if (pending_ != TPending::Find) pending_ = step;
    prepare();
    emit changed();
    return;
  }
  if (step == TPending::Find) {
    const int from = current_ >= 0 ? current_ : (view_ != nullptr ? view_->currentRow() : 0);
    moveTo(index_->next(needle_, std::max(from, 0)));
    startCount();
  } else {
    this->step(step == TPending::Next);
  }
  emit changed();
}

void TFinder::step(bool forward) {
  const int count = index_->rowCount();
  if (count == 0) return;
  const int from = current_ >= 0 ? current_ : std::max(view_ != nullptr ? view_->currentRow() : 0, 0);
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
    row = index_->next(needle_, current_ >= 0 ? (from + 1) % count : from);
  } else {
    row = index_->previous(needle_, current_ >= 0 ? (from - 1 + count) % count : from);
  }
  const bool round = row >= 0 && current_ >= 0 && (forward ? row <= current_ : row >= current_);
  wrapped_ = !round ? 0 : forward ? 1 : -1;
  moveTo(row);
}

void TFinder::moveTo(int row) {
  current_ = row;
  if (view_ != nullptr) view_->showHit(row);
}

void TFinder::startCount() {
  cancelCount_ = std::make_shared<std::atomic<bool>>(false);
  counter_.setFuture(QtConcurrent::run([index = index_, needle = needle_, cancel = cancelCount_] {
    return TCount{index, needle, std::make_shared<const std::vector<int>>(index->hits(needle, *cancel))};
  }));
}

void TFinder::cancelCount() {
  if (cancelCount_) cancelCount_->store(true);
  cancelCount_.reset();
}

void TFinder::countFinished() {
  if (!cancelCount_ || !counter_.isFinished()) return;
  TCount count = counter_.future().takeResult();
  // The result of a count that was cancelled or replaced meanwhile is dropped.
  if (count.index != index_ || count.needle != needle_) return;
  cancelCount_.reset();
  hits_ = std::move(count.hits);
  if (view_ != nullptr) view_->markHits(hits_->empty() ? nullptr : hits_);
  emit changed();
}

void TFinder::stop() {
  cancelCount();
  if (view_ != nullptr) view_->markHits(nullptr);
}

int TFinder::hitNumber() const {
  if (!hits_ || current_ < 0) return 0;
  const auto it = std::lower_bound(hits_->begin(), hits_->end(), current_);
  return it != hits_->end() && *it == current_ ? static_cast<int>(it - hits_->begin()) + 1 : 0;
}

}  // namespace quandel
