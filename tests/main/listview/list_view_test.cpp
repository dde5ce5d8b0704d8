// The view of the control list: geometry of the rows, what is in sight after scrolling,
// measuring of rows out of sight, keys, copying and the footer's link.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <tuple>

#include "control_list_view.h"
#include "sample_lists.h"
#include "version.h"

using namespace quandel;

namespace {

class ControlListView : public ::testing::Test {
 protected:
  void Show(std::shared_ptr<TPaymentModel> list, QSize size = {700, 400}) {
    view.resize(size);
    view.setModel(std::move(list));
    view.show();
    QCoreApplication::processEvents();
  }
  void Finish() {
    if (!view.isComplete()) {
      QSignalSpy finished(&view, &TControlListView::loadFinished);
      ASSERT_TRUE(finished.wait(10000));
    }
  }
  // The top and bottom of the viewport in page coordinates.
  int ViewTop() const { return view.verticalScrollBar()->value(); }
  int ViewBottom() const { return ViewTop() + view.viewport()->height(); }

  TControlListView view;
};

TEST_F(ControlListView, RowsStackAndGrowWithTheirPurposeLines) {
  Show(listview_test::NumberedList(6));  // purpose lines 1, 2, 3, 1, 2, 3
  ASSERT_EQ(view.rowCount(), 6);
  const int oneLine = view.rowRect(0).height();
  const int lineHeight = view.rowRect(1).height() - oneLine;
  EXPECT_GT(lineHeight, 5);
  EXPECT_EQ(view.rowRect(2).height(), oneLine + 2 * lineHeight);
  EXPECT_EQ(view.rowRect(3).height(), oneLine);
  for (int row = 1; row < 6; ++row)
    EXPECT_EQ(view.rowRect(row).top(), view.rowRect(row - 1).bottom() + 1) << row;
  // The rows lie between the summary above and the check sums below.
  EXPECT_GT(view.rowRect(0).top(), 100);
  EXPECT_GT(view.contentSize().height(), view.rowRect(5).bottom() + 50);
  EXPECT_TRUE(view.rowRect(6).isNull());
}

TEST_F(ControlListView, VisibleRowsFollowTheScrollBar) {
  Show(listview_test::NumberedList(300));
  auto [first, last] = view.visibleRows();
  EXPECT_EQ(first, 0);
  EXPECT_GT(last, 1);
  EXPECT_LT(last, 30);

  for (int value : {1234, 5000, view.verticalScrollBar()->maximum()}) {
    view.verticalScrollBar()->setValue(value);
    std::tie(first, last) = view.visibleRows();
    ASSERT_LT(first, last) << value;
    const QRect firstRect = view.rowRect(first), lastRect = view.rowRect(last - 1);
    EXPECT_LE(firstRect.top(), ViewTop()) << value;
    EXPECT_GE(firstRect.bottom(), ViewTop()) << value;
    EXPECT_LT(lastRect.top(), ViewBottom()) << value;
    if (last < view.rowCount()) {
      EXPECT_GE(view.rowRect(last).top(), ViewBottom()) << value;
    }
  }
  // At the end the last rows stand above the check sums and the footer.
  EXPECT_EQ(last, 300);
  EXPECT_GT(ViewBottom(), view.rowRect(299).bottom() + 50);
}

TEST_F(ControlListView, TableFillsTheWidthOrScrollsSideways) {
  Show(listview_test::NumberedList(20), {1200, 400});
  const int wide = view.rowRect(0).width();
  EXPECT_GT(wide, 1100);
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);

  view.resize(250, 400);
  QCoreApplication::processEvents();
  const int natural = view.rowRect(0).width();
  EXPECT_LT(natural, wide);
  EXPECT_GT(view.contentSize().width(), view.viewport()->width());
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), view.contentSize().width() - view.viewport()->width());

  view.resize(200, 400);
  QCoreApplication::processEvents();
  EXPECT_EQ(view.rowRect(0).width(), natural);
}

TEST_F(ControlListView, ColumnsWidenForRowsMeasuredLater) {
  auto payments = std::vector<listview_test::TPayment>(5000, {"KURZ", 1, {"X"}});
  const int plainWidth = [&] {
    Show(listview_test::List(payments), {300, 300});
    Finish();
    return view.contentSize().width();
  }();
  payments[4000].name = std::string(60, 'W');
  Show(listview_test::List(payments), {300, 300});
  Finish();
  EXPECT_GT(view.contentSize().width(), plainWidth + 200);
}

TEST_F(ControlListView, RowsInSightAreMeasuredAtOnce) {
  auto payments = std::vector<listview_test::TPayment>(5000, {"KURZ", 1, {"X"}});
  payments.back().purposes = {std::string(80, 'M')};
  view.resize(300, 300);
  view.show();
  QCoreApplication::processEvents();
  // No event loop from here on: the rows are measured in sight or not at all.
  view.setModel(listview_test::List(payments));
  const int before = view.contentSize().width();
  ASSERT_FALSE(view.isComplete());
  view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
  EXPECT_GT(view.contentSize().width(), before + 300);
}

TEST_F(ControlListView, ReportsProgressAndTheEnd) {
  QSignalSpy progress(&view, &TControlListView::loadProgress);
  QSignalSpy finished(&view, &TControlListView::loadFinished);
  Show(listview_test::NumberedList(30000));
  ASSERT_TRUE(finished.count() == 1 || finished.wait(20000));
  ASSERT_GE(progress.count(), 1);
  EXPECT_EQ(progress.last().at(0).toInt(), 100);
  EXPECT_TRUE(view.isComplete());
  QCoreApplication::processEvents();
  EXPECT_EQ(finished.count(), 1);
}

TEST_F(ControlListView, KeysMoveTheCursorAndKeepItInSight) {
  Show(listview_test::NumberedList(300));
  QScrollBar* bar = view.verticalScrollBar();
  const auto inSight = [&] {
    const QRect cell = view.cellRect(view.selection().cursor(), 1);
    return cell.top() >= 0 && cell.bottom() < view.viewport()->height();
  };
  QTest::keyClick(&view, Qt::Key_End);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(view.selection().cursor(), 299);
  QTest::keyClick(&view, Qt::Key_Home);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(view.selection().cursor(), 0);
  QTest::keyClick(&view, Qt::Key_PageDown);
  const int paged = view.selection().cursor();
  EXPECT_GT(paged, 1);
  EXPECT_TRUE(inSight());
  QTest::keyClick(&view, Qt::Key_PageDown);
  EXPECT_GT(bar->value(), 0);
  EXPECT_TRUE(inSight());
  QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(view.selection().count(), 3);
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(view.selection().count(), 1);
  EXPECT_TRUE(view.selection().contains(view.selection().cursor()));
}

TEST_F(ControlListView, PlainText) {
  Show(listview_test::List(listview_test::MixedPayments()));
  const QString text = view.toPlainText();
  EXPECT_TRUE(text.startsWith(u"Datenträger-Kontrolliste vom 26.12.2008")) << text.toStdString();
  EXPECT_TRUE(text.contains(u"Nr.\tEmpfänger\tBLZ\tKonto\tVerwendungszweck\tBetrag\n"));
  EXPECT_TRUE(
      text.contains(u"1\tBÄR & SöHNE <GMBH>\t500 100 60\t1000021\tRECHNUNG 4711\t1.234,50 EUR\n"
                    u"\t\t\t\tKUNDE Ä12Ü X\t\n"));
  EXPECT_TRUE(text.contains(u"Gesamtsumme: 1.209,60 EUR"));
  EXPECT_TRUE(text.contains(u"quandel.example.org - " QUANDEL_VERSION " (" QUANDEL_BUILD_NUMBER ")"));
}

TEST_F(ControlListView, FooterLinkIsActivatedByAClick) {
  Show(listview_test::NumberedList(40));
  QSignalSpy links(&view, &TControlListView::linkActivated);
  const QPoint onRow(view.rowRect(0).center().x(),
                     view.rowRect(0).center().y() - view.verticalScrollBar()->value());
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onRow);
  EXPECT_EQ(links.count(), 0);

  view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
  QPoint onLink(-1, -1);
  for (int y = view.viewport()->height() - 1; y >= 0 && onLink.x() < 0; --y)
    for (int x = 0; x < view.viewport()->width() && onLink.x() < 0; x += 2)
      if (!view.anchorAt({x, y}).isEmpty()) onLink = {x, y};
  ASSERT_GE(onLink.x(), 0) << "no link in sight at the end of the page";
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onLink);
  ASSERT_EQ(links.count(), 1);
  EXPECT_EQ(links.at(0).at(0).toUrl(), QUrl(QStringLiteral("https://quandel.example.org/")));
}

TEST_F(ControlListView, TabReachesTheFooterLinkAndEnterFollowsIt) {
  Show(listview_test::NumberedList(40));
  QSignalSpy links(&view, &TControlListView::linkActivated);
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_EQ(links.count(), 0);
  QTest::keyClick(&view, Qt::Key_Tab);
  // The link is scrolled into sight.
  EXPECT_GT(view.verticalScrollBar()->value(), 0);
  QTest::keyClick(&view, Qt::Key_Return);
  ASSERT_EQ(links.count(), 1);
  EXPECT_EQ(links.at(0).at(0).toUrl(), QUrl(QStringLiteral("https://quandel.example.org/")));
}

TEST_F(ControlListView, ClicksSelectRows) {
  Show(listview_test::NumberedList(10));
  const auto click = [&](int row, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, view.cellRect(row, 1).center());
  };
  click(2, {});
  click(4, Qt::ShiftModifier);
  EXPECT_EQ(view.selection().ranges(), (std::vector<TRowSelection::TRange>{{2, 5}}));
  click(3, Qt::ControlModifier);
  EXPECT_EQ(view.selection().ranges(), (std::vector<TRowSelection::TRange>{{2, 3}, {4, 5}}));
  EXPECT_EQ(view.cellAt(view.cellRect(7, 5).center()), std::make_pair(7, 5));
  EXPECT_EQ(view.cellAt(QPoint(1, 1)), std::make_pair(-1, -1));
}

TEST_F(ControlListView, AssistiveTechnologySeesATable) {
  Show(listview_test::List(listview_test::MixedPayments()));
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->role(), QAccessible::Table);
  QAccessibleTableInterface* table = list->tableInterface();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->columnCount(), 6);
  const std::vector<std::tuple<int, int, QString>> cells{
      {0, 1, QStringLiteral("BÄR & SöHNE <GMBH>")},
      {0, 4, QStringLiteral("RECHNUNG 4711\nKUNDE Ä12Ü X\nBeträge <netto>")},
      {1, 5, QStringLiteral("0,10 EUR")},
      {2, 0, QStringLiteral("3")},
  };
  for (const auto& [row, column, text] : cells) {
    QAccessibleInterface* cell = table->cellAt(row, column);
    ASSERT_NE(cell, nullptr) << row << "," << column;
    EXPECT_EQ(cell->text(QAccessible::Name), text);
    EXPECT_EQ(cell->tableCellInterface()->rowIndex(), row);
    EXPECT_EQ(cell->tableCellInterface()->columnHeaderCells().at(0)->text(QAccessible::Name),
              view.columnTitle(column));
  }
  EXPECT_EQ(table->columnDescription(5), QStringLiteral("Betrag"));
  EXPECT_EQ(table->cellAt(3, 0), nullptr);

  EXPECT_EQ(table->selectedRowCount(), 0);
  view.clickRow(1, {});
  EXPECT_EQ(table->selectedRows(), QList<int>{1});
  EXPECT_TRUE(table->cellAt(1, 2)->state().selected);
  EXPECT_FALSE(table->cellAt(0, 2)->state().selected);
  EXPECT_TRUE(table->selectRow(2));
  EXPECT_EQ(table->selectedRows(), (QList<int>{1, 2}));
  EXPECT_TRUE(table->unselectRow(1));
  EXPECT_EQ(table->selectedRows(), QList<int>{2});
}

TEST_F(ControlListView, NextPageReplacesAScrolledOne) {
  Show(listview_test::NumberedList(3000));
  view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
  view.setModel(listview_test::List(listview_test::MixedPayments()));
  QCoreApplication::processEvents();
  EXPECT_EQ(view.rowCount(), 3);
  EXPECT_EQ(view.verticalScrollBar()->value(), 0);
  EXPECT_EQ(view.visibleRows(), std::make_pair(0, 3));
  Finish();
  EXPECT_TRUE(view.isComplete());
}

TEST_F(ControlListView, ClearedViewShowsNothing) {
  Show(listview_test::NumberedList(10));
  view.clear();
  EXPECT_FALSE(view.hasPage());
  EXPECT_EQ(view.rowCount(), 0);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
  EXPECT_TRUE(view.toPlainText().isEmpty());
}

}  // namespace
