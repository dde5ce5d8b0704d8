#pragma once
// Find over the rows of the list: the first hit at once from an index of the shown texts, the
// count of all hits in the background. The index is built in a worker thread when a find
// first needs it and dropped when the rows change.
#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "find_index.h"
#include "row_texts.h"

namespace quandel {

// What the find needs of the view that shows the rows.
class IFindView {
 public:
  virtual ~IFindView() = default;
  // Where a find starts: the row the user is at; -1 when none.
  virtual int currentRow() const = 0;
  // The current hit: scrolled into view and highlighted; -1 takes the highlight away.
  virtual void showHit(int row) = 0;
  // All rows with a hit, ascending, to be marked; null when there are none to mark.
  virtual void markHits(std::shared_ptr<const std::vector<int>> rows) = 0;
};

class TFinder : public QObject {
  Q_OBJECT

 public:
  using THits = std::shared_ptr<const std::vector<int>>;

  // The columns of each row that are searched.
  explicit TFinder(std::vector<int> columns, QObject* parent = nullptr);
  ~TFinder() override;

  // Both must live until the next setTarget or the finder's end; the rows stay unchanged until
  // then, or reset() is called first.
  void setTarget(const IRowTexts* rows, IFindView* view);
  // The rows are about to change: the index and the hits go, the text stays.
  void reset();
  // After reset(), finds the text anew over the rows as they are now.
  void refind();
  // Starts building the index, so that the first typed letter finds at once.
  void prepare();

  void find(const QString& typed);
  void findNext();
  void findPrevious();
  // Takes the marks away; the current hit stays the view's current row.
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

 signals:
  // The current hit, the count or the busy state changed.
  void changed();

 private:
  enum class TPending { None, Find, Next, Previous };
  struct TCount {
    std::shared_ptr<const TFindIndex> index;
    std::string needle;
    THits hits;
  };

  void buildFinished();
  void countFinished();
  void run(TPending step);
  void step(bool forward);
  void moveTo(int row);
  void startCount();
  void cancelCount();

  std::vector<int> columns_;
  const IRowTexts* rows_ = nullptr;
  IFindView* view_ = nullptr;
  std::shared_ptr<const TFindIndex> index_;
  QFutureWatcher<std::shared_ptr<const TFindIndex>> builder_;
  std::shared_ptr<std::atomic<bool>> cancelBuild_;
  QFutureWatcher<TCount> counter_;
  std::shared_ptr<std::atomic<bool>> cancelCount_;
  TPending pending_ = TPending::None;
  QString typed_;
  std::string needle_;
  int current_ = -1;
  int wrapped_ = 0;
  THits hits_;
};

}  // namespace quandel
