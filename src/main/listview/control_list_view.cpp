#include "control_list_view.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <QtMath>

#include <algorithm>
#include <limits>

#include "fragment.h"
#include "list_accessible.h"
#include "page_metrics.h"
#include "table_painter.h"

namespace quandel {
namespace {

// Rows measured before the page is first shown; the rest follow in slices.
constexpr int kFirstMeasured = 2000;
// Rows measured between two looks at the clock.
constexpr int kSliceStep = 1024;
// Time a slice may hold the event loop.
constexpr qint64 kSliceMilliseconds = 15;

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

// Far enough outside any viewport to stand for "above" or "below" it.
constexpr std::int64_t kFarAway = 1 << 24;

}  // namespace

TControlListView::TControlListView(QWidget* parent) : QAbstractScrollArea(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setMouseTracking(true);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("SummaryStrip"));
  summary_->setTextFormat(Qt::PlainText);
  summary_->setContentsMargins(kPageMargin, 2, kPageMargin, 2);
  summary_->setAutoFillBackground(true);
  summary_->setBackgroundRole(QPalette::Window);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary_->hide();
  connect(this, &TControlListView::selectionChanged, this, &TControlListView::updateSummary);
  connect(this, &TControlListView::rowsChanged, this, &TControlListView::updateSummary);
  measureTimer_.setInterval(0);
  connect(&measureTimer_, &QTimer::timeout, this, &TControlListView::measureSlice);
  // A screen reader hears of the rows and of what is selected, as in any table.
  TListAccessible::Install();
  connect(this, &TControlListView::selectionChanged, this, [this] {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent event(this, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&event);
  });
  connect(this, &TControlListView::rowsChanged, this, [this] {
    if (!QAccessible::isActive()) return;
    QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
  });
}

// A find may still be reading the rows in a worker thread: it hears of their end first.
TControlListView::~TControlListView() { emit rowsAboutToChange(); }

void TControlListView::setModel(std::shared_ptr<TPaymentModel> model) {
  clear();
  fileModel_ = std::move(model);
  model_ = fileModel_;
  rowOfPayment_.clear();
  flaggedShown_.reset();
  rebuild();
  resetRows();
  // The strip takes its room below the rows only where there are rows to sum.
  summary_->setVisible(model_ != nullptr);
  setViewportMargins(0, 0, 0, model_ ? summary_->sizeHint().height() : 0);
  placeSummary();
  emit fileChanged();
}

void TControlListView::clear() {
  emit rowsAboutToChange();
  measureTimer_.stop();
  // The measures point into the model, so they go first.
  geometry_.reset();
  head_.reset();
  tail_.reset();
  model_.reset();
  fileModel_.reset();
  rowOfPayment_.clear();
  flaggedShown_.reset();
  summary_->hide();
  setViewportMargins(0, 0, 0, 0);
  relayout();
  resetRows();
  emit fileChanged();
}

bool TControlListView::isComplete() const { return geometry_ == nullptr || geometry_->complete(); }

// Everything that depends on the font starts anew: the page's fragments, the row measures.
void TControlListView::rebuild() {
  measureTimer_.stop();
  if (!model_) return relayout();
  const QFont font = PageFont(this->font());
  geometry_ = std::make_unique<TTableGeometry>(font, HeaderFont(font));
  // Room for the triangle that marks the sorted column.
  geometry_->reserveHeaderSpace(QFontMetrics(HeaderFont(font)).height());
  geometry_->setRows(model_.get());
  geometry_->measureNext(kFirstMeasured);
  head_ = MakeFragment(model_->headHtml(), font, 0);
  tail_ = MakeFragment(model_->tailHtml(), font, 0);
  bodyWidth_ = -1;
  reportedProgress_ = -1;
  relayout();
  measureVisible();
  // Also a page measured at once hears of its end from the event loop, like a big one.
  measureTimer_.start();
}

void TControlListView::relayout() {
  if (!geometry_) {
    height_ = 0;
    verticalScrollBar()->setRange(0, 0);
    horizontalScrollBar()->setRange(0, 0);
    viewport()->update();
    return;
  }
  const int available = viewport()->width() - 2 * kPageMargin;
  const int bodyWidth = std::max(available, geometry_->naturalWidth());
  if (bodyWidth != bodyWidth_) {
    bodyWidth_ = bodyWidth;
    head_->setTextWidth(bodyWidth);
    tail_->setTextWidth(bodyWidth);
    headHeight_ = qCeil(head_->size().height());
    tailHeight_ = qCeil(tail_->size().height());
    edges_ = geometry_->columnEdges(bodyWidth);
    // A summary with very long texts may stand out beyond the table.
    contentWidth_ =
        std::max({bodyWidth, qCeil(head_->size().width()), qCeil(tail_->size().width())}) + 2 * kPageMargin;
  }
  tableTop_ = kPageMargin + headHeight_ + TableGap(*geometry_);
  tailTop_ = rowsTop() + geometry_->rowsHeight() + TTableGeometry::kBorder;
  height_ = tailTop_ + tailHeight_ + kPageMargin;

  QScrollBar* vertical = verticalScrollBar();
  vertical->setPageStep(viewport()->height());
  vertical->setSingleStep(geometry_->lineHeight());
  vertical->setRange(0, ClampToInt(height_ - viewport()->height()));
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setPageStep(viewport()->width());
  horizontal->setSingleStep(geometry_->lineHeight());
  horizontal->setRange(0, std::max(0, contentWidth_ - viewport()->width()));
  viewport()->update();
}

void TControlListView::measureSlice() {
  if (!geometry_) return measureTimer_.stop();
  QElapsedTimer clock;
  clock.start();
  bool wider = false;
  while (!geometry_->complete() && clock.elapsed() < kSliceMilliseconds)
    wider = geometry_->measureNext(kSliceStep) || wider;
  if (wider) {
    bodyWidth_ = -1;
    relayout();
  }
  const int rows = geometry_->rowCount();
  const int percent =
      rows == 0 ? 100 : static_cast<int>(std::int64_t{100} * geometry_->measuredRows() / rows);
  if (percent != reportedProgress_) {
    reportedProgress_ = percent;
    emit loadProgress(percent);
  }
  if (geometry_->complete()) {
    measureTimer_.stop();
    emit loadFinished();
  }
}

// The rows in sight are always measured, so no text shown is ever cut off.
void TControlListView::measureVisible() {
  if (!geometry_) return;
  const auto [first, last] = visibleRows();
  if (geometry_->measureRange(first, last)) {
    bodyWidth_ = -1;
    relayout();
  }
}

std::int64_t TControlListView::scrollTop() const { return verticalScrollBar()->value(); }

std::int64_t TControlListView::rowsTop() const {
  return tableTop_ + TTableGeometry::kBorder + (geometry_ ? geometry_->headerHeight() : 0);
}

int TControlListView::rowCount() const { return model_ ? model_->rows() : 0; }

QRect TControlListView::rowRect(int row) const {
  if (!geometry_ || row < 0 || row >= rowCount()) return {};
  const int left = kPageMargin + edges_.front();
  return QRect(left, ClampToInt(rowsTop() + geometry_->rowTop(row)), edges_.back() - edges_.front(),
               geometry_->rowHeight(row));
}

QSize TControlListView::contentSize() const {
  if (!geometry_) return {};
  return QSize(contentWidth_, ClampToInt(height_));
}

std::pair<int, int> TControlListView::visibleRows() const {
  if (!geometry_ || geometry_->rowCount() == 0) return {0, 0};
  const std::int64_t top = scrollTop() - rowsTop();
  const std::int64_t bottom = top + viewport()->height();
  if (bottom <= 0) return {0, 0};
  if (top >= geometry_->rowsHeight()) return {rowCount(), rowCount()};
  return {geometry_->rowAt(top), geometry_->rowAt(bottom - 1) + 1};
}

QString TControlListView::anchorAt(const QPoint& viewportPos) const {
  if (!geometry_) return {};
  const QPointF pos(viewportPos.x() + horizontalScrollBar()->value() - kPageMargin,
                    static_cast<qreal>(viewportPos.y() + scrollTop()));
  if (pos.y() >= static_cast<qreal>(tailTop_))
    return tail_->documentLayout()->anchorAt(pos - QPointF(0, static_cast<qreal>(tailTop_)));
  if (pos.y() < kPageMargin + headHeight_)
    return head_->documentLayout()->anchorAt(pos - QPointF(0, kPageMargin));
  return {};
}

void TControlListView::paintEvent(QPaintEvent*) {
  if (!geometry_) return;
  QPainter painter(viewport());
  const int left = kPageMargin - horizontalScrollBar()->value();
  const std::int64_t top = scrollTop();
  const int viewHeight = viewport()->height();
  // Page coordinates may exceed what a painter holds well, so all is placed relative to the view.
  const auto inView = [top](std::int64_t y) {
    return static_cast<int>(std::clamp(y - top, -kFarAway, kFarAway));
  };
  const auto drawFragment = [&](QTextDocument& document, std::int64_t at, int height) {
    const int y = inView(at);
    if (y >= viewHeight || y + height <= 0) return;
    painter.save();
    painter.translate(left, y);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    context.clip = QRectF(0, -y, contentWidth_, viewHeight);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
  };
  drawFragment(*head_, kPageMargin, headHeight_);

  const std::int64_t tableBottom = tailTop_;
  if (tableTop_ < top + viewHeight && tableBottom > top) {
    TTablePainter table(painter, *geometry_, edges_, left, palette().color(QPalette::Text));
    if (hitNeedle_)
      table.setMarks([this](int row, int column, QStringView line) { return hitRanges(row, column, line); },
                     palette().color(QPalette::Highlight), palette().color(QPalette::HighlightedText));
    table.frame(std::max(inView(tableTop_), -1), std::min(inView(tableBottom), viewHeight + 1),
                tableTop_ >= top - 1, tableBottom <= top + viewHeight + 1);
    const auto [first, last] = visibleRows();
    if (first < last) {
      paintRowStates(painter, first, last, left, top);
      paintFlags(painter, first, last);
      table.rows(*model_, first, last, inView(rowsTop() + geometry_->rowTop(first)));
    }
    paintHeader(painter, left);
  }
  drawFragment(*tail_, tailTop_, tailHeight_);
  if (focusedLink_ >= 0 && hasFocus()) {
    const std::vector<TLink> all = links();
    if (focusedLink_ < static_cast<int>(all.size())) {
      painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
      painter.drawRect(linkRect(all[static_cast<std::size_t>(focusedLink_)]).adjusted(-1, 0, 0, -1));
    }
  }
}

void TControlListView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  placeSummary();
  relayout();
  measureVisible();
}

void TControlListView::scrollContentsBy(int, int) {
  measureVisible();
  viewport()->update();
}

void TControlListView::keyPressEvent(QKeyEvent* event) {
  // Umschalt+F10 and the menu key bring up the context menu at the cursor row.
  if ((event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) ||
      event->key() == Qt::Key_Menu) {
    emit customContextMenuRequested(contextMenuPoint());
    return;
  }
  if (selectionKey(event)) return;
  switch (event->key()) {
    case Qt::Key_Home: verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum); return;
    case Qt::Key_End: verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum); return;
    default: QAbstractScrollArea::keyPressEvent(event);
  }
}

void TControlListView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (const int column = headerColumnAt(at); column >= 0 && event->button() == Qt::LeftButton) {
    emit headerClicked(column);
    return;
  }
  pressedAnchor_ = event->button() == Qt::LeftButton ? anchorAt(at) : QString();
  const int row = cellAt(at).first;
  // A right click keeps a selection it lands in, for the context menu to work on.
  if (row >= 0 && (event->button() == Qt::LeftButton || !selection_.contains(row)))
    clickRow(row, event->button() == Qt::LeftButton ? event->modifiers() : Qt::NoModifier);
  QAbstractScrollArea::mousePressEvent(event);
}

void TControlListView::mouseReleaseEvent(QMouseEvent* event) {
  QAbstractScrollArea::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || pressedAnchor_.isEmpty()) return;
  const QString anchor = anchorAt(event->position().toPoint());
  const bool same = anchor == pressedAnchor_;
  pressedAnchor_.clear();
  if (same) emit linkActivated(QUrl(anchor));
}

void TControlListView::mouseMoveEvent(QMouseEvent* event) {
  const bool onLink = !anchorAt(event->position().toPoint()).isEmpty();
  // Off a link the view's own cursor shows through (busy while a file loads).
  if (onLink)
    viewport()->setCursor(Qt::PointingHandCursor);
  else
    viewport()->unsetCursor();
  // Dragging over rows selects from where the press was.
  if (event->buttons() & Qt::LeftButton) {
    const int row = cellAt(event->position().toPoint()).first;
    if (row >= 0 && row != selection_.cursor()) {
      selection_.moveTo(row, true);
      ensureRowVisible(row);
      viewport()->update();
      emit selectionChanged();
    }
  }
  QAbstractScrollArea::mouseMoveEvent(event);
}

void TControlListView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    rebuild();
    if (model_) setViewportMargins(0, 0, 0, summary_->sizeHint().height());
    placeSummary();
  }
}

QString TControlListView::toPlainText() const {
  if (!model_) return {};
  const QString head = MakeFragment(model_->headHtml(), QFont(), 0)->toPlainText().trimmed();
  const QString tail = MakeFragment(model_->tailHtml(), QFont(), 0)->toPlainText().trimmed();
  QString text = head + QStringLiteral("\n\n");
  for (int c = 0; c < kColumnCount; ++c) text += ColumnTitle(c) + (c + 1 < kColumnCount ? u'\t' : u'\n');
  const TPaymentModel& rows = *model_;
  QString buffer;
  for (int row = 0; row < rows.rows(); ++row) {
    for (int c = 0; c < kColumnCount; ++c) {
      if (c > 0) text += u'\t';
      text += c == kColPurpose ? rows.purposeLine(row, 0, buffer) : rows.cellText(row, c, buffer);
    }
    text += u'\n';
    for (int line = 1; line < rows.purposeLineCount(row); ++line) {
      text += QStringLiteral("\t\t\t\t");
      text += rows.purposeLine(row, line, buffer);
      text += QStringLiteral("\t\n");
    }
  }
  return text + u'\n' + tail + u'\n';
}

std::pair<int, int> TControlListView::firstVisibleRow() const {
  if (!geometry_ || rowCount() == 0) return {0, 0};
  const int row = visibleRows().first;
  if (row >= rowCount()) return {row, 0};
  return {row, static_cast<int>(scrollTop() - rowsTop() - geometry_->rowTop(row))};
}

void TControlListView::scrollToRow(int row, int offset) {
  if (!geometry_ || row < 0 || row >= rowCount()) return;
  verticalScrollBar()->setValue(ClampToInt(rowsTop() + geometry_->rowTop(row) + offset));
}

std::unique_ptr<TListPrintJob> TControlListView::printJob(QPrinter& printer, bool selectedOnly,
                                                          TSheetFrame frame) const {
  if (!model_) return nullptr;
  return std::make_unique<TListPrintJob>(model_, PageFont(font()), printer,
                                         selectedOnly ? selection_.ranges() : TRowRanges{}, std::move(frame));
}

TListPrintResult TControlListView::print(QPrinter* printer) {
  if (!model_ || printer == nullptr) return TListPrintResult::Failed;
  return PrintControlList(model_, PageFont(font()), *printer);
}

}  // namespace quandel
