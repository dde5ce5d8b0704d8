#pragma once
// Find over the rows of the list: the first hit at once from an index of the payments' texts,
// the count of all hits in the background. The index is built in the thread pool from the
// shown document when a find first needs it, handed to this thread as an immutable value and
// kept while that document is shown, however its rows are sorted or filtered.
#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "dtaus.h"
#include "find_index.h"
#include "index_shelf.h"
#include "regional.h"
#include "search_fold.h"

namespace quandel {

// The rows a find runs over, as they are shown now: taken on the GUI thread at no cost, read
// by workers. The payments' texts come from the document.
struct TFindRows {
  // Null while nothing is shown.
  std::shared_ptr<const ombra::TDtaus> document;
  ombra::TRegionalSettings rs;
  // The payment (counted from 0 in the file) that each shown row holds; null when the rows
  // are all the file's payments in its order.
  std::shared_ptr<const std::vector<int>> order;
  int count = 0;
};

// What the find needs of the view that shows the rows.
class IFindView {
 public:
  virtual ~IFindView() = default;
  virtual TFindRows findRows() const = 0;
  // Where a find starts: the row the user is at; -1 when none.
  virtual int currentRow() const = 0;
  // The current hit: scrolled into view and highlighted; -1 takes the highlight away.
  virtual void showHit(int row) = 0;
  // All rows with a hit, ascending, to be marked; null when there are none to mark.
  virtual void markHits(std::shared_ptr<const std::vector<int>> rows) = 0;
  // What the cells' texts are marked for; null marks nothing.
  virtual void markText(std::shared_ptr<const ombra::TSearchNeedle> needle) = 0;
  // Every row in `rows` (ascending) selected, the cursor on `cursor`.
  virtual void selectRows(const std::vector<int>& rows, int cursor) = 0;
};

class TFinder : public QObject {
  Q_OBJECT

 public:
  using THits = std::shared_ptr<const std::vector<int>>;

  explicit TFinder(QObject* parent = nullptr);
  ~TFinder() override;

  // The view must live until the next setTarget or the finder's end.
  void setTarget(IFindView* view);
  // Where indexes are shared with the filter; it must outlive the finder.
  void setShelf(TIndexShelf* shelf) { shelf_ = shelf; }
  // The rows are about to change: the hits go, the text stays; the index stays while the
  // document does.
  void reset();
  // After reset(), finds the text anew over the rows as they are now.
  void refind();
  // Starts building the index, so that the first typed letter finds at once.
  void prepare();

  void find(const QString& typed);
  void findNext();
  void findPrevious();
  // Selects every hit; when they are still being counted, once they are.
  void selectAllHits();
  // Takes the marks and the count away; the current hit stays the view's current row.
  void stop();

  const QString& text() const { return typed_; }
  int current() const { return current_; }
  // Null until all hits are counted.
  const THits& hits() const { return hits_; }
  // The current hit's place among all hits, from 1; 0 while not known.
  int hitNumber() const;
  // The last step went round: 1 past the end to the start, -1 past the start to the end.
  int wrapped() const { return wrapped_; }
  // Still building the index or counting.
  bool busy() const;
  // Blocks until the index is built and the hits are counted (for tests and measuring).
  void waitForIdle();
  // The index in use; null while none is built for the rows shown.
  const std::shared_ptr<const TFindIndex>& index() const { return index_; }

 signals:
  // The current hit, the count or the busy state changed.
  void changed();

 private:
  enum class TPending { None, Find, Next, Previous };
  struct TBuild {
    std::weak_ptr<const ombra::TDtaus> document;
    std::atomic<bool> cancel{false};
  };
  struct TCount {
    std::shared_ptr<const TFindIndex> index;
    ombra::TSearchNeedle needle;
    std::shared_ptr<const std::vector<int>> order;
    THits hits;
  };

  bool indexReady(const TFindRows& rows) const;
  void buildFinished();
  void countFinished();
  void run(TPending step);
  void step(bool forward);
  // The first shown row from `from` on (backwards: `from` and before), round the end, that
  // holds the needle; -1 when none.
  int nextShown(const TFindRows& rows, int from, bool forward) const;
  void moveTo(int row);
  void startCount(const TFindRows& rows);
  void cancelCount();
  void selectHits();

  IFindView* view_ = nullptr;
  TIndexShelf* shelf_ = nullptr;
  std::shared_ptr<const TFindIndex> index_;
  // The document the index was made of; expired once it is gone.
  std::weak_ptr<const ombra::TDtaus> indexOf_;
  QFutureWatcher<std::shared_ptr<const TFindIndex>> builder_;
  std::shared_ptr<TBuild> build_;
  QFutureWatcher<TCount> counter_;
  std::shared_ptr<std::atomic<bool>> cancelCount_;
  TPending pending_ = TPending::None;
  bool selectPending_ = false;
  QString typed_;
  std::shared_ptr<const ombra::TSearchNeedle> needle_ = std::make_shared<const ombra::TSearchNeedle>();
  int current_ = -1;
  int wrapped_ = 0;
  THits hits_;
};

}  // namespace quandel
