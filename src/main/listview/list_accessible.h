#pragma once
// The list as assistive technology sees it: a table of rows and columns with a header row,
// its cells' texts, and the selected and current rows.
#include <QAccessibleWidget>
#include <QHash>
#include <QPair>

namespace quandel {

class TControlListView;

class TListAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit TListAccessible(TControlListView* view);
  ~TListAccessible() override;

  // Installed once for the program: the list views get a table.
  static void Install();

  void* interface_cast(QAccessible::InterfaceType type) override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override;
  int selectedCellCount() const override;
  QList<QAccessibleInterface*> selectedCells() const override;
  QString columnDescription(int column) const override;
  QString rowDescription(int row) const override;
  int columnCount() const override;
  int rowCount() const override;
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override;
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override;
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override;
  bool selectRow(int row) override;
  bool selectColumn(int) override { return false; }
  bool unselectRow(int row) override;
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent* event) override;

  TControlListView* view() const;
  // Forgets the cells handed out: the rows changed.
  void dropCells();

 private:
  // row -1 is the header row.
  QAccessibleInterface* cell(int row, int column) const;

  mutable QHash<QPair<int, int>, QAccessible::Id> cells_;
};

}  // namespace quandel
