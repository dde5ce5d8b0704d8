// Printing the control list: to a PDF file, read back with pdftotext, and the splitting into
// pages, which must print every row once, whole, under a repeated column header.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>

#include "control_list_view.h"
#include "fragment.h"
#include "list_printer.h"
#include "page_metrics.h"
#include "sample_lists.h"
#include "table_geometry.h"

using namespace quandel;

namespace {

QString PdfText(const QString& file) {
  QProcess tool;
  tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
  EXPECT_TRUE(tool.waitForFinished(30000)) << "pdftotext (poppler-utils) is needed";
  return QString::fromUtf8(tool.readAllStandardOutput());
}

class PrintToPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf());
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
  }
  QString pdf() const { return dir.filePath(QStringLiteral("liste.pdf")); }
  TListPrintResult Print(std::shared_ptr<TPaymentModel> list) {
    view.setModel(std::move(list));
    return view.print(&printer);
  }

  QTemporaryDir dir;
  QPrinter printer{QPrinter::HighResolution};
  TControlListView view;
};

TEST_F(PrintToPdf, LongListOnNumberedPages) {
  ASSERT_EQ(Print(listview_test::NumberedList(300)), TListPrintResult::Printed);
  const QString text = PdfText(pdf());
  EXPECT_TRUE(text.contains(u"Datenträger-Kontrolliste vom 26.12.2008"));
  EXPECT_TRUE(text.contains(u"1.299,00 EUR"));  // the last payment's amount
  EXPECT_TRUE(text.contains(u"EMPFÄNGER NR 300"));
  EXPECT_TRUE(text.contains(u"quandel.example.org"));
  EXPECT_TRUE(text.contains(u"Seite 1 von "));
  const int pages = static_cast<int>(text.count(u"Seite "));
  EXPECT_GT(pages, 1);
  EXPECT_TRUE(text.contains(QStringLiteral("Seite %1 von %1").arg(pages)));
  // The column header stands on every page with rows; a last page may hold only what follows
  // them.
  int withRows = 0;
  for (const QString& sheet : text.split(u'\f')) {
    if (!sheet.contains(u"EMPFÄNGER NR")) continue;
    ++withRows;
    EXPECT_EQ(sheet.count(u"Verwendungszweck"), 1) << sheet.toStdString();
  }
  EXPECT_GE(withRows, pages - 1);
}

TEST_F(PrintToPdf, ChosenPageRangeOnly) {
  printer.setPrintRange(QPrinter::PageRange);
  printer.setFromTo(2, 2);
  ASSERT_EQ(Print(listview_test::NumberedList(300)), TListPrintResult::Printed);
  const QString text = PdfText(pdf());
  EXPECT_EQ(text.count(u"Seite "), 1);
  EXPECT_TRUE(text.contains(u"Seite 2 von "));
  EXPECT_FALSE(text.contains(u"Datenträger-Kontrolliste"));
}

TEST_F(PrintToPdf, ShortListOnOnePage) {
  ASSERT_EQ(Print(listview_test::List(listview_test::MixedPayments())), TListPrintResult::Printed);
  const QString text = PdfText(pdf());
  EXPECT_TRUE(text.contains(u"Seite 1 von 1"));
  EXPECT_TRUE(text.contains(u"BÄR & SöHNE <GMBH>"));
  EXPECT_TRUE(text.contains(u"BLZ-Prüfsumme: 150300090"));
}

// A job stopped before it printed leaves alone a file that was there; stopped later, or
// destroyed unfinished, it leaves no file that could pass for the list.
TEST_F(PrintToPdf, StoppedJobLeavesNoHalfPrintedFile) {
  for (const int steps : {0, 3}) {
    for (const bool destroyed : {false, true}) {
      SCOPED_TRACE(testing::Message() << steps << " steps, destroyed " << destroyed);
      QFile old(pdf());
      ASSERT_TRUE(old.open(QIODevice::WriteOnly));
      old.close();
      auto job =
          std::make_unique<TListPrintJob>(listview_test::NumberedList(300), PageFont(QFont()), printer);
      for (int i = 0; i < steps; ++i) ASSERT_TRUE(job->step(std::chrono::milliseconds(0)));
      if (destroyed) {
        job.reset();
      } else {
        job->stop();
        EXPECT_EQ(job->result(), TListPrintResult::Stopped);
        EXPECT_FALSE(job->step(std::chrono::milliseconds(0)));
      }
      EXPECT_EQ(QFile::exists(pdf()), steps == 0);
    }
  }
}

TEST_F(PrintToPdf, NothingShownNothingPrinted) {
  EXPECT_EQ(view.print(&printer), TListPrintResult::Failed);
  EXPECT_FALSE(QFile::exists(pdf()));
}

class Pagination : public ::testing::Test {
 protected:
  void SetUp() override { list = listview_test::NumberedList(200); }
  std::shared_ptr<TPaymentModel> list;
  const TPaymentModel& page() const { return *list; }
  QFont font = PageFont(QFont());
};

// The rows printed: the whole list or a selection of it.
class PaginationOfRows : public Pagination, public ::testing::WithParamInterface<TRowRanges> {};

TEST_P(PaginationOfRows, EveryRowOnceAndWholeUnderAHeader) {
  const int pageHeight = 500;
  const TPrintRows rows(page().rows(), GetParam());
  TSheetFrame frame;
  for (int line = 1; line <= 8; ++line) frame.verdict << QStringLiteral("Befund %1").arg(line);
  const auto pages = PaginateControlList(page(), font, 700, pageHeight, GetParam(), frame);
  EXPECT_TRUE(pages.front().head);
  // The verdicts follow the page's end, on its last sheet or one of their own.
  EXPECT_TRUE(pages.back().notes);
  EXPECT_TRUE(pages.back().tail || (pages.size() > 1 && pages[pages.size() - 2].tail));
  for (std::size_t i = 0; i + 1 < pages.size(); ++i) EXPECT_FALSE(pages[i].notes) << i;

  TTableGeometry geometry(font, HeaderFont(font));
  geometry.setRows(&page());
  int next = 0;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const TPrintedPage& p = pages[i];
    EXPECT_EQ(p.head, i == 0) << i;
    if (!p.table) continue;
    EXPECT_EQ(p.firstRow, next) << i;
    EXPECT_LT(p.firstRow, p.lastRow) << i;
    next = p.lastRow;
    // Header row, the rows and the table's frame fit the page.
    std::int64_t table = 2 * TTableGeometry::kBorder + geometry.headerHeight();
    for (const auto& [first, last] : rows.runs(p.firstRow, p.lastRow))
      table += geometry.rowTop(last) - geometry.rowTop(first);
    EXPECT_LE(table, pageHeight) << i;
    EXPECT_EQ(p.tableEnds, p.lastRow == rows.count()) << i;
  }
  EXPECT_EQ(next, rows.count());
}

INSTANTIATE_TEST_SUITE_P(Selections, PaginationOfRows,
                         ::testing::Values(TRowRanges{}, TRowRanges{{5, 9}},
                                           TRowRanges{{0, 1}, {50, 120}, {199, 200}}, TRowRanges{{0, 200}}));

TEST_F(Pagination, RowTallerThanAPageStillGetsOne) {
  const auto pages = PaginateControlList(page(), font, 700, 20);
  int printed = 0;
  for (const TPrintedPage& p : pages) {
    if (!p.table) continue;
    EXPECT_EQ(p.lastRow - p.firstRow, std::min(1, page().rows() - p.firstRow));
    printed += p.lastRow - p.firstRow;
  }
  EXPECT_EQ(printed, page().rows());
}

}  // namespace
