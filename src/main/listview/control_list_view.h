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
#include "search_fold.h"
#include "payment_model.h"
#include "row_order.h"
#include "row_selection.h"
#include "table_geometry.h"

class QLabel;
class QPrinter;
class QTextDocument;

namespace quandel {

// A mark of the check in a payment's number cell: red where the file does not agree with
// itself, amber where only an account is in doubt. Row counts the payments in the file.
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
  // The rows shown: the file's, or a sorted or filtered choice of them (showArranged).
  TPaymentModel* model() const { return model_.get(); }
  const std::shared_ptr<TPaymentModel>& sharedModel() const { return model_; }
  // The rows in the file's order, as setModel gave them.
  const std::shared_ptr<TPaymentModel>& sharedFileModel() const { return fileModel_; }
  // Shows `shown`, a model of the same file's payments in another order or fewer of them;
  // the column widths stay, and the selected payments stay selected where still shown.
  void showArranged(std::shared_ptr<TPaymentModel> shown);
  // The row that shows payment `fileRow` (counted from 0 in the file); -1 when not shown.
  int rowOfPayment(int fileRow) const;
  // Only the payment's row selected, the cursor on it; false when it is not shown.
  bool setCurrentPayment(int fileRow);
  // The mark in the column header that says how the rows are sorted.
  void setSortOrder(TSortOrder order);
  TSortOrder sortOrder() const { return sortOrder_; }
  // The column whose header is under a point of the viewport (also where the header stays
  // on top while the rows scroll); -1 elsewhere.
  int headerColumnAt(const QPoint& viewportPos) const;
  // The column of the cell cursor, which the left and right arrows move: the cell a
  // context menu asked for by a key works on.
  int currentColumn() const { return currentColumn_; }
  // Where a context menu asked for by a key stands: on the cursor cell, else at the view's
  // top left.
  QPoint contextMenuPoint() const;
  // The strip under the rows: how many payments are selected or shown, and their sum.
  QLabel* summaryStrip() const { return summary_; }
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
  // Scrolls `row` to the middle of the rows in sight, unless it is wholly in sight already.
  void centerRow(int row);
  // `rows` (ascending) selected, the cursor on `cursor` where it is one of them, else on the
  // first.
  void selectRows(const std::vector<int>& rows, int cursor);
  // All hits of a find, ascending, marked; null for none.
  void setMarkedRows(std::shared_ptr<const std::vector<int>> rows);
  // What a find looks for: the parts of the cells it matches are marked in every row in
  // sight; null marks nothing.
  void setHitNeedle(std::shared_ptr<const ombra::TSearchNeedle> needle);
  const std::shared_ptr<const ombra::TSearchNeedle>& hitNeedle() const { return hitNeedle_; }
  // The characters of the shown cell line that the find marks (HitRanges).
  std::vector<std::pair<int, int>> hitRanges(int row, int column, QStringView line) const;
  // The current hit, highlighted above the marks, selected and, when not in sight, scrolled
  // to the middle of the view; -1 for none.
  void setHighlightedRow(int row);
  int highlightedRow() const { return highlighted_; }
  // Payments whose number cell carries a mark of the check, by their row in the file,
  // ascending; null for none. They outlive a page: whoever sets them clears them.
  void setFlaggedRows(std::shared_ptr<const std::vector<TRowFlag>> fileRows);
  const std::shared_ptr<const std::vector<TRowFlag>>& flaggedRows() const { return flagged_; }
  // Whether the row shown at `row` is marked.
  bool isFlagged(int row) const { return flagAt(row) != nullptr; }
  // The mark of the row shown at `row` (its Row counted in the file); null when it has none.
  const TRowFlag* flagAt(int row) const;
  // The next shown row after `row` that has a mark (before it when `backwards`), in the order
  // shown, round the end; -1 for none.
  int nextFlaggedRow(int row, bool backwards) const;

  // The page as text: tab-separated cells, further purpose lines under the first.
  QString toPlainText() const;
  // The first row in sight and how far the view's top lies below that row's top.
  std::pair<int, int> firstVisibleRow() const;
  // Scrolls so that `row` stands at the top, `offset` pixels of it above the view.
  void scrollToRow(int row, int offset = 0);

  // The page on the printer's pages, with all rows or only the selected ones (all when none
  // is selected); null without a page. The job holds the page, which may change meanwhile.
  std::unique_ptr<TListPrintJob> printJob(QPrinter& printer, bool selectedOnly, TSheetFrame frame = {}) const;
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
  // Another file's rows are shown (setModel, clear): orders and filters start anew.
  void fileChanged();
  void headerClicked(int column);
  void flagsChanged();

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
  // Where the header row stands in the viewport: at its place, or at the top while the rows
  // scroll under it; nothing when the table is out of sight.
  std::optional<int> headerTopInView() const;
  void paintHeader(QPainter& painter, int left);
  void updateSummary();
  void placeSummary();
  // The links of the summary and the footer, which Tab walks through.
  struct TLink {
    bool inTail;
    int position;
    int length;
    QString href;
  };
  std::vector<TLink> links() const;
  QRect linkRect(const TLink& link) const;

  std::shared_ptr<TPaymentModel> fileModel_;
  std::shared_ptr<TPaymentModel> model_;
  TSortOrder sortOrder_;
  int currentColumn_ = kColName;
  // The shown row of each payment, made when first asked for; empty until then.
  mutable std::vector<int> rowOfPayment_;
  QLabel* summary_ = nullptr;
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
  std::shared_ptr<const ombra::TSearchNeedle> hitNeedle_;
  int highlighted_ = -1;
  std::shared_ptr<const std::vector<TRowFlag>> flagged_;
  // The shown rows of the marked payments, ascending, when the rows are not the file's in its
  // order; made when first asked for.
  mutable std::optional<std::vector<int>> flaggedShown_;
  // The link Tab has reached, into links(); -1 when none.
  int focusedLink_ = -1;
};

}  // namespace quandel
