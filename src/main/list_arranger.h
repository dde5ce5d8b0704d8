#pragma once
// Sorts and filters the rows the list shows. A click on a column header steps its order, the
// filter bar sets what rows pass; the rows shown are worked out from sort keys and a text
// index made once per file, in a worker for a big list, as a list of the file's rows; the
// view gets a model of the same payments in that order, made on its own thread. The page
// around the rows, and the sums in it, stay the file's.
#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "find_index.h"
#include "index_shelf.h"
#include "payment_model.h"
#include "row_order.h"

namespace quandel {

class TControlListView;
struct TRowFlag;

// Which rows pass the filter. The text is looked for where and as the find looks for it
// (TFindIndex): umlauts in any spelling, numbers without their blanks, amounts as typed.
struct TRowFilter {
  QString text;
  std::optional<TAmountRange> amounts;
  bool onlyFlagged = false;

  bool active() const { return !text.trimmed().isEmpty() || amounts || onlyFlagged; }
};

class TListArranger : public QObject {
  Q_OBJECT

 public:
  // Lists of at least this many rows are arranged in a worker.
  static constexpr int kWorkerRows = 20000;

  explicit TListArranger(TControlListView* view, QObject* parent = nullptr);
  ~TListArranger() override;
  // Where the text index is shared with the find; it must outlive the arranger.
  void setShelf(TIndexShelf* shelf) { shelf_ = shelf; }

  void setSortOrder(TSortOrder order);
  TSortOrder sortOrder() const { return sort_; }
  void setFilter(TRowFilter filter);
  const TRowFilter& filter() const { return filter_; }
  // Working in a worker.
  bool busy() const { return stop_ != nullptr; }
  // Blocks until the rows are arranged and shown (for tests and measuring).
  void waitForIdle();

  // What a worker reads: nothing of it changes while it runs. `keys` and `index` are used
  // when given and made when needed.
  struct TInputs {
    std::shared_ptr<TPaymentModel> file;
    TSortOrder sort;
    TRowFilter filter;
    std::shared_ptr<const std::vector<TRowFlag>> flagged;
    std::shared_ptr<const TColumnKeys> keys;
    std::shared_ptr<const TFindIndex> index;
  };
  struct TResult {
    bool cancelled = false;
    std::shared_ptr<TPaymentModel> file;
    // The payments (file rows) that the filter lets pass, in the order the sort gives; null
    // for the whole file in its order.
    std::shared_ptr<const std::vector<int>> rows;
    std::shared_ptr<const TColumnKeys> keys;
    std::shared_ptr<const TFindIndex> index;
  };
  // Why a worker stops early: another file is shown (all it made is of no use), or a newer
  // order or filter was asked for (the keys and the index it made are kept for that one).
  struct TStop {
    std::atomic<bool> file{false};
    std::atomic<bool> superseded{false};
  };
  static TResult Arrange(TInputs inputs, const TStop& stop);
  // The model the view shows for a result: a Qt object, so made on the view's thread.
  static std::shared_ptr<TPaymentModel> ShownModel(const TResult& result);

 signals:
  // The view shows the rows as now asked for.
  void arranged();

 private:
  void fileChanged();
  void run();
  void show(TResult result);

  TControlListView* view_;
  TSortOrder sort_;
  TRowFilter filter_;
  // Made once per file and kept while it is shown.
  std::array<std::shared_ptr<const TColumnKeys>, kColumnCount> keys_;
  std::shared_ptr<const TFindIndex> index_;
  TIndexShelf* shelf_ = nullptr;
  QFutureWatcher<TResult> worker_;
  std::shared_ptr<TStop> stop_;
  bool again_ = false;
};

}  // namespace quandel
