#include "list_accessible.h"

#include <algorithm>
#include <limits>

#include "control_list_view.h"
#include "row_selection.h"

namespace quandel {
namespace {

class TCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  TCellAccessible(TListAccessible* table, int row, int column) : table_(table), row_(row), column_(column) {}

  bool isValid() const override { return table_->isValid() && row_ < table_->rowCount(); }
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* parent() const override { return table_; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QRect rect() const override {
    TControlListView* view = table_->view();
    const QRect cell = view->cellRect(row_, column_);
    if (cell.isNull()) return {};
    return QRect(view->viewport()->mapToGlobal(cell.topLeft()), cell.size());
  }
  QString text(QAccessible::Text type) const override {
    if (type != QAccessible::Name && type != QAccessible::Value) return {};
    return row_ < 0 ? table_->columnDescription(column_) : table_->view()->cellText(row_, column_);
  }
  void setText(QAccessible::Text, const QString&) override {}
  QAccessible::Role role() const override { return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.readOnly = true;
    if (row_ < 0) return state;
    state.selectable = true;
    state.selected = isSelected();
    state.focusable = true;
    state.focused = table_->view()->hasFocus() && table_->view()->selection().cursor() == row_;
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                   : nullptr;
  }

  bool isSelected() const override { return row_ >= 0 && table_->isRowSelected(row_); }
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {table_->child(column_)}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return table_; }

 private:
  TListAccessible* table_;
  int row_;
  int column_;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* view = qobject_cast<TControlListView*>(object)) return new TListAccessible(view);
  return nullptr;
}

}  // namespace

TListAccessible::TListAccessible(TControlListView* view) : QAccessibleWidget(view, QAccessible::Table) {}

TListAccessible::~TListAccessible() { dropCells(); }

void TListAccessible::Install() {
  static const bool installed = (QAccessible::installFactory(Factory), true);
  (void)installed;
}

TControlListView* TListAccessible::view() const { return static_cast<TControlListView*>(widget()); }

void TListAccessible::dropCells() {
  for (const QAccessible::Id id : std::as_const(cells_)) QAccessible::deleteAccessibleInterface(id);
  cells_.clear();
}

void* TListAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* TListAccessible::cell(int row, int column) const {
  if (column < 0 || column >= columnCount() || row < -1 || row >= rowCount()) return nullptr;
  const QPair<int, int> key(row, column);
  if (const auto it = cells_.constFind(key); it != cells_.constEnd())
    return QAccessible::accessibleInterface(*it);
  auto* cell = new TCellAccessible(const_cast<TListAccessible*>(this), row, column);
  cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
  return cell;
}

// The children are the header cells, then the cells row by row.
int TListAccessible::childCount() const { return (rowCount() + 1) * columnCount(); }

QAccessibleInterface* TListAccessible::child(int index) const {
  const int columns = columnCount();
  if (index < 0 || columns == 0) return nullptr;
  return cell(index / columns - 1, index % columns);
}

int TListAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const QAccessibleTableCellInterface* cell =
      child != nullptr ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
  if (cell == nullptr || child->parent() != this) return -1;
  return (cell->rowIndex() + 1) * columnCount() + cell->columnIndex();
}

QAccessibleInterface* TListAccessible::childAt(int x, int y) const {
  const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
  const auto [row, column] = view()->cellAt(at);
  return row >= 0 ? cell(row, column) : nullptr;
}

QAccessibleInterface* TListAccessible::cellAt(int row, int column) const {
  return row < 0 ? nullptr : cell(row, column);
}

int TListAccessible::selectedCellCount() const { return selectedRowCount() * columnCount(); }

QList<QAccessibleInterface*> TListAccessible::selectedCells() const {
  QList<QAccessibleInterface*> cells;
  for (const int row : selectedRows())
    for (int column = 0; column < columnCount(); ++column) cells << cell(row, column);
  return cells;
}

QString TListAccessible::columnDescription(int column) const { return view()->columnTitle(column); }
QString TListAccessible::rowDescription(int row) const { return view()->cellText(row, 0); }
int TListAccessible::columnCount() const { return view()->columnCount(); }
int TListAccessible::rowCount() const { return view()->rowCount(); }

int TListAccessible::selectedRowCount() const {
  return static_cast<int>(std::min<long long>(view()->selection().count(), std::numeric_limits<int>::max()));
}

// A screen reader asks for the rows to read them: a selection of a million rows is given as
// its first rows, which is all anyone listens to.
QList<int> TListAccessible::selectedRows() const {
  constexpr int kMostListed = 10000;
  QList<int> rows;
  for (const auto& [first, last] : view()->selection().ranges())
    for (int row = first; row < last && rows.size() < kMostListed; ++row) rows << row;
  return rows;
}

bool TListAccessible::isRowSelected(int row) const { return view()->selection().contains(row); }

bool TListAccessible::selectRow(int row) {
  if (row < 0 || row >= rowCount()) return false;
  if (!isRowSelected(row)) view()->clickRow(row, Qt::ControlModifier);
  return true;
}

bool TListAccessible::unselectRow(int row) {
  if (!isRowSelected(row)) return false;
  view()->clickRow(row, Qt::ControlModifier);
  return true;
}

void TListAccessible::modelChange(QAccessibleTableModelChangeEvent*) { dropCells(); }

}  // namespace quandel
