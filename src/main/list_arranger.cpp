#include "list_arranger.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <numeric>

#include "amounts.h"
#include "control_list_view.h"

namespace quandel {
TListArranger::TListArranger(TControlListView* view, QObject* parent) : QObject(parent), view_(view) {
  connect(view_, &TControlListView::fileChanged, this, &TListArranger::fileChanged);
  connect(view_, &TControlListView::headerClicked, this,
          [this](int column) { setSortOrder(NextSortOrder(sort_, column)); });
  connect(view_, &TControlListView::flagsChanged, this, [this] {
    if (filter_.onlyFlagged) run();
  });
  connect(&worker_, &QFutureWatcher<TResult>::finished, this, [this] {
    stop_.reset();
    TResult result = worker_.result();
    if (std::exchange(again_, false)) {
      // What the cancelled run made for the same file is kept for the next one.
      if (result.file == view_->sharedFileModel()) {
        if (result.keys) keys_[static_cast<std::size_t>(result.keys->column())] = result.keys;
        if (result.index) index_ = result.index;
      }
      return run();
    }
    show(std::move(result));
  });
}

TListArranger::~TListArranger() {
  if (stop_) {
    stop_->file.store(true);
    worker_.waitForFinished();
  }
}

void TListArranger::setSortOrder(TSortOrder order) {
  if (order == sort_) return;
  sort_ = order;
  view_->setSortOrder(sort_);
  run();
}

void TListArranger::setFilter(TRowFilter filter) {
  filter_ = std::move(filter);
  run();
}

void TListArranger::waitForIdle() {
  while (stop_) {
    worker_.waitForFinished();
    // The watcher says it is finished through the event loop.
    QCoreApplication::sendPostedEvents(&worker_);
    QCoreApplication::processEvents();
  }
}

void TListArranger::fileChanged() {
  if (stop_) {
    stop_->file.store(true);
    again_ = false;
  }
  keys_ = {};
  index_.reset();
  if (view_->sharedFileModel() && (sort_.active() || filter_.active())) run();
}

void TListArranger::run() {
  const std::shared_ptr<TPaymentModel>& file = view_->sharedFileModel();
  if (!file) return;
  if (stop_) {
    // The worker stops soon; its end starts the run asked for now.
    stop_->superseded.store(true);
    again_ = true;
    return;
  }
  if (!index_ && shelf_ != nullptr) index_ = shelf_->get(file->sharedDocument());
  TInputs inputs{file,
                 sort_,
                 filter_,
                 view_->flaggedRows(),
                 sort_.active() ? keys_[static_cast<std::size_t>(sort_.column)] : nullptr,
                 index_};
  if (file->fileRows() < kWorkerRows) {
    const TStop never;
    return show(Arrange(std::move(inputs), never));
  }
  stop_ = std::make_shared<TStop>();
  worker_.setFuture(QtConcurrent::run(
      [inputs = std::move(inputs), stop = stop_]() mutable { return Arrange(std::move(inputs), *stop); }));
}

void TListArranger::show(TResult result) {
  if (result.cancelled || result.file != view_->sharedFileModel()) return;
  if (result.keys) keys_[static_cast<std::size_t>(result.keys->column())] = result.keys;
  if (result.index && result.index != index_) {
    index_ = result.index;
    if (shelf_ != nullptr) shelf_->put(result.file->sharedDocument(), index_);
  }
  view_->showArranged(ShownModel(result));
  emit arranged();
}

TListArranger::TResult TListArranger::Arrange(TInputs in, const TStop& stop) {
  TResult out{false, in.file, nullptr, std::move(in.keys), std::move(in.index)};
  const TPaymentModel& file = *in.file;
  if (!in.sort.active() && !in.filter.active()) return out;
  const auto stopped = [&] {
    out.cancelled =
        stop.file.load(std::memory_order_relaxed) || stop.superseded.load(std::memory_order_relaxed);
    return out.cancelled;
  };

  std::vector<int> rows;
  const ombra::TSearchNeedle needle = TFindIndex::Needle(in.filter.text.trimmed());
  if (!needle.empty()) {
    // The index serves every later filter of the file: only another file stops it.
    if (!out.index) out.index = TFindIndex::Build(file.document(), file.regionalSettings(), stop.file);
    if (!out.index || stopped()) return out;
    rows = out.index->hits(needle, stop.superseded);
  } else {
    rows.resize(static_cast<std::size_t>(file.fileRows()));
    std::iota(rows.begin(), rows.end(), 0);
  }
  if (stopped()) return out;

  const auto& payments = file.document().SatzCList;
  if (in.filter.amounts || in.filter.onlyFlagged) {
    const std::vector<TRowFlag> none;
    const std::vector<TRowFlag>& flagged = in.flagged ? *in.flagged : none;
    const auto flaggedRow = [&flagged](int row) {
      const auto it = std::lower_bound(flagged.begin(), flagged.end(), row,
                                       [](const TRowFlag& flag, int at) { return flag.Row < at; });
      return it != flagged.end() && it->Row == row;
    };
    std::erase_if(rows, [&](int row) {
      if (in.filter.onlyFlagged && !flaggedRow(row)) return true;
      if (!in.filter.amounts) return false;
      const std::optional<std::int64_t> cents = ShownCents(payments[static_cast<std::size_t>(row)]);
      return !cents || !in.filter.amounts->contains(*cents);
    });
  }

  if (in.sort.column == kColNumber) {
    if (in.sort.descending) std::reverse(rows.begin(), rows.end());
  } else if (in.sort.active()) {
    if (!out.keys || out.keys->column() != in.sort.column)
      out.keys = std::make_shared<TColumnKeys>(file.document(), in.sort.column);
    if (stopped()) return out;
    out.keys->sort(rows, in.sort.descending);
  }
  if (stopped()) return out;

  out.rows = std::make_shared<const std::vector<int>>(std::move(rows));
  return out;
}

std::shared_ptr<TPaymentModel> TListArranger::ShownModel(const TResult& result) {
  return result.rows ? std::make_shared<TPaymentModel>(*result.file, result.rows) : result.file;
}

}  // namespace quandel
