// The list's marks under light and dark palettes: the text on each stays readable, and each
// mark stays apart from the plain rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "control_list_view.h"
#include "mark_colors.h"
#include "sample_lists.h"
#include "test_palettes.h"

using namespace quandel;
using listview_test::kPalettes;
using listview_test::MakePalette;
using listview_test::PaletteCase;

namespace {

TEST(MarkColors, EveryMarkKeepsItsTextReadableInLightAndDarkPalettes) {
  for (const PaletteCase& c : kPalettes) {
    SCOPED_TRACE(c.name);
    TControlListView view;
    view.setPalette(MakePalette(c));
    view.resize(700, 400);
    view.setModel(listview_test::NumberedList(8));
    view.show();
    QCoreApplication::processEvents();
    view.setMarkedRows(std::make_shared<const std::vector<int>>(std::vector<int>{1, 2, 5}));
    view.setHighlightedRow(2);  // the hit the find stands on, selected as the find leaves it
    view.clickRow(5, Qt::ControlModifier);
    view.clickRow(6, Qt::ControlModifier);
    view.setFlaggedRows(
        std::make_shared<const std::vector<TRowFlag>>(std::vector<TRowFlag>{{3, true}, {4, false}}));
    const QImage image = view.viewport()->grab().toImage();
    // row, column, what lies there
    const std::vector<std::tuple<int, int, const char*>> marks{
        {0, kColName, "a plain row"},
        {1, kColName, "a find mark"},
        {2, kColName, "the current hit, selected"},
        {5, kColName, "a find mark, selected"},
        {6, kColName, "a selected row"},
        {3, kColNumber, "a severe finding"},
        {4, kColNumber, "an account finding"},
    };
    const QColor plain = listview_test::Background(image, view.cellRect(0, kColName));
    EXPECT_EQ(plain, c.base);
    for (const auto& [row, column, what] : marks) {
      SCOPED_TRACE(what);
      const QColor background = listview_test::Background(image, view.cellRect(row, column));
      EXPECT_GE(ContrastRatio(background, c.text), kReadableContrast) << background.name().toStdString();
      if (row != 0) {
        EXPECT_NE(background, plain);
      }
    }
  }
}

// On the white of a light theme the find marks look as they always did.
TEST(MarkColors, ALightThemeKeepsTheFormerFindMarks) {
  const QPalette light = MakePalette(kPalettes.front());
  const auto near = [](const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
           std::abs(a.blue() - b.blue()) <= 2;
  };
  EXPECT_TRUE(near(FindMarkColor(light), QColor(255, 240, 150))) << FindMarkColor(light).name().toStdString();
  EXPECT_TRUE(near(FindHitColor(light), QColor(255, 170, 60))) << FindHitColor(light).name().toStdString();
}

TEST(MarkColors, ContrastAsTheGuidelinesMeasureIt) {
  const std::vector<std::tuple<QColor, QColor, double>> cases{
      {Qt::black, Qt::white, 21.0}, {Qt::white, Qt::white, 1.0}, {QColor(119, 119, 119), Qt::white, 4.48}};
  for (const auto& [a, b, ratio] : cases) {
    EXPECT_NEAR(ContrastRatio(a, b), ratio, 0.01);
    EXPECT_NEAR(ContrastRatio(b, a), ratio, 0.01);
  }
}

}  // namespace
