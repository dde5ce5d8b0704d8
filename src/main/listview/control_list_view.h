#pragma once
// A view of the control list that stays quick at any size: it lays out and paints only the
// rows in sight, and it never lays the table out anew when the window is resized. It looks
// like the page in a browser; its rows, and the parts of the page around them, come from the
// document through a TPaymentModel.
#include <QAbstractScrollArea>
#include <QTimer>
#include <QUrl>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "list_printer.h"
#include "payment_model.h"
#include "row_selection.h"
#include "table_geometry.h"

class QPrinter;
class QTextDocument;

namespace quandel {

// A mark of the check in a row's number cell: red where the file does not agree with itself,
// amber where only an account is in doubt.
struct TRowFlag {
  int Row = 0;
  bool Severe = false;
};

class TControlListView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TControlListView(QWidget* parent = nullptr);
  ~TControlListView() override;

  // Shows the model's list at once. The widths of the columns come from the first rows; a
  // big list has its further rows measured in slices while the event loop runs, and the
  // columns widen as needed (loadProgress, then loadFinished).
  void setModel(std::shared_ptr<TPaymentModel> model);
  void clear();
  bool hasPage() const { return model_ != nullptr; }
  TPaymentModel* model() const { return model_.get(); }
  const std::shared_ptr<TPaymentModel>& sharedModel() const { return model_; }
  bool isComplete() const;

  int rowCount() const;
  // In page coordinates: the whole page unscrolled, its top left corner at 0,0.
  QRect rowRect(int row) const;
  QSize contentSize() const;
  // Rows [first, last) that the viewport shows at least in part.
  std::pair<int, int> visibleRows() const;
  // The link target under a point of the viewport, or nothing.
  QString anchorAt(const QPoint& viewportPos) const;

  // Rows, selection, the cursor and the marks of a find.
  int columnCount() const { return kColumnCount; }
  QString columnTitle(int column) const;
  // The cell as shown, its lines separated by "\n".
  QString cellText(int row, int column) const;
  // In viewport coordinates; null for a cell that does not exist.
  QRect cellRect(int row, int column) const;
  // Row and column under a point of the viewport; -1, -1 off the table's rows.
  std::pair<int, int> cellAt(const QPoint& viewportPos) const;
  const TRowSelection& selection() const { return selection_; }
  // A click on a row with these modifiers, as the mouse gives it.
  void clickRow(int row, Qt::KeyboardModifiers modifiers);
  void selectAll();
  // Only `row` selected and the cursor on it, scrolled into view.
  void setCurrentRow(int row);
  void ensureRowVisible(int row);
  // All hits of a find, ascending, marked; null for none.
  void setMarkedRows(std::shared_ptr<const std::vector<int>> rows);
  // The current hit, highlighted above the marks; -1 for none.
  void setHighlightedRow(int row);
  int highlightedRow() const { return highlighted_; }
  // Rows whose number cell carries a mark of the check, ascending by row; null for none.
  // They outlive a page: whoever sets them clears them.
  void setFlaggedRows(std::shared_ptr<const std::vector<TRowFlag>> rows);
  bool isFlagged(int row) const { return flagAt(row) != nullptr; }
  // The row's mark; null when it has none.
  const TRowFlag* flagAt(int row) const;
  // The next marked row after `row` (before it when `backwards`), round the end; -1 for none.
  int nextFlaggedRow(int row, bool backwards) const;

  // The page as text: tab-separated cells, further purpose lines under the first.
  QString toPlainText() const;
  // The first row in sight and how far the view's top lies below that row's top.
  std::pair<int, int> firstVisibleRow() const;
  // Scrolls so that `row` stands at the top, `offset` pixels of it above the view.
  void scrollToRow(int row, int offset = 0);

  // The page on the printer's pages, with all rows or only the selected ones (all when none
  // is selected); null without a page. The job holds the page, which may change meanwhile.
  std::unique_ptr<TListPrintJob> printJob(QPrinter& printer, bool selectedOnly) const;
  // The whole page at once.
  TListPrintResult print(QPrinter* printer);

 signals:
  void linkActivated(const QUrl& url);
  // The rows shown are about to go, and other rows are shown.
  void rowsAboutToChange();
  void rowsChanged();
  void selectionChanged();
  void loadProgress(int percent);
  void loadFinished();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void rebuild();
  void relayout();
  void measureSlice();
  void measureVisible();
  std::int64_t scrollTop() const;
  std::int64_t rowsTop() const;
  void resetRows();
  bool selectionKey(QKeyEvent* event);
  void paintRowStates(QPainter& painter, int first, int last, int left, std::int64_t top);
  void paintFlags(QPainter& painter, int first, int last);
  // The links of the summary and the footer, which Tab walks through.
  struct TLink {
    bool inTail;
    int position;
    int length;
    QString href;
  };
  std::vector<TLink> links() const;
  QRect linkRect(const TLink& link) const;

  std::shared_ptr<TPaymentModel> model_;
  std::unique_ptr<TTableGeometry> geometry_;
  std::unique_ptr<QTextDocument> head_;
  std::unique_ptr<QTextDocument> tail_;
  TColumnEdges edges_{};
  int bodyWidth_ = 0;
  int contentWidth_ = 0;
  int headHeight_ = 0;
  int tailHeight_ = 0;
  std::int64_t tableTop_ = 0;
  std::int64_t tailTop_ = 0;
  std::int64_t height_ = 0;
  QTimer measureTimer_;
  int reportedProgress_ = -1;
  QString pressedAnchor_;
  TRowSelection selection_;
  std::shared_ptr<const std::vector<int>> marked_;
  int highlighted_ = -1;
  std::shared_ptr<const std::vector<TRowFlag>> flagged_;
  // The link Tab has reached, into links(); -1 when none.
  int focusedLink_ = -1;
};

}  // namespace quandel
