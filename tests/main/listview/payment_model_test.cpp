// The payment model says what the page says: every cell of the payment table, read from the
// rendered page by Qt's HTML reader as a browser would show it, against the model's text.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QThread>

#include <array>
#include <functional>

#include "dtaus_builder.h"
#include "page_text.h"
#include "sample_lists.h"
#include "temp_dir.h"

using namespace quandel;

namespace {

// A cell's text as shown: line breaks as "\n", no blanks at the ends of a line, and no empty
// last line (which a browser does not show).
QString ShownText(const QTextTableCell& cell) {
  QTextCursor cursor = cell.firstCursorPosition();
  cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
  QStringList lines = cursor.selectedText().split(QRegularExpression(QStringLiteral("[\\x{2028}\\x{2029}]")));
  for (QString& line : lines) line = line.trimmed();
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
  return lines.join(u'\n');
}

// The cells of the page's payment table, header row first.
std::vector<std::array<QString, kColumnCount>> PaymentTable(const QByteArray& page) {
  QTextDocument document;
  document.setHtml(DecodeCp1252(page));
  std::vector<std::array<QString, kColumnCount>> cells;
  for (QTextFrame* frame : document.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr || table->columns() != kColumnCount) continue;
    for (int row = 0; row < table->rows(); ++row) {
      cells.emplace_back();
      for (int column = 0; column < kColumnCount; ++column)
        cells.back()[static_cast<std::size_t>(column)] = ShownText(table->cellAt(row, column));
    }
  }
  return cells;
}

void ExpectListSaysWhatThePageSays(const TPaymentModel& list, const std::string& what) {
  const auto page = PaymentTable(listview_test::RenderedPage(list.document()));
  ASSERT_EQ(static_cast<int>(page.size()), list.rowCount() + 1) << what;
  for (int column = 0; column < kColumnCount; ++column)
    EXPECT_EQ(list.headerData(column, Qt::Horizontal).toString(), page[0][static_cast<std::size_t>(column)])
        << what;
  for (int row = 0; row < list.rowCount(); ++row)
    for (int column = 0; column < kColumnCount; ++column)
      EXPECT_EQ(list.data(list.index(row, column)).toString(),
                page[static_cast<std::size_t>(row) + 1][static_cast<std::size_t>(column)])
          << what << " row " << row << " column " << column;
}

// A payment for each number of extension parts a record can have, 0 to 15, all of them
// filled, some with markup, umlaut codes and line breaks.
std::string EveryExtensionCount() {
  std::vector<testdta::CRecord> payments;
  for (int count = 0; count <= 15; ++count) {
    testdta::CRecord c;
    c.name = "EMPF\n" + std::to_string(count) + " & <SOHN>";
    c.purpose = "RECHNUNG [" + std::to_string(count) + "]";
    for (int i = 0; i < count; ++i) {
      const bool name = i == 0 && count >= 14, sender = i == 14;
      c.extensions.push_back({name     ? "01"
                              : sender ? "03"
                                       : "02",
                              "ZEILE " + std::to_string(i) + (i % 2 ? " \\ " : "   ")});
    }
    payments.push_back(c);
  }
  return testdta::File(testdta::ARecord(), payments);
}

TEST(PaymentModel, SaysWhatThePageSays) {
  testdta::TempDir folder;
  const struct {
    std::string what;
    std::string file;
  } files[] = {
      {"beispiel.dta", QUANDEL_EXAMPLES "/beispiel.dta"},
      {"lastschriften_dm.dta", QUANDEL_EXAMPLES "/lastschriften_dm.dta"},
      {"extensions 0 to 15", folder.Write("erweiterungen.dta", EveryExtensionCount())},
  };
  for (const auto& file : files) {
    auto document = std::make_shared<ombra::TDtaus>();
    document->Load(file.file);
    ASSERT_FALSE(document->LoadFailed()) << file.what;
    ASSERT_GT(document->SatzCList.size(), 0u) << file.what;
    ExpectListSaysWhatThePageSays(*listview_test::List(document), file.what);
  }
  ExpectListSaysWhatThePageSays(*listview_test::List(listview_test::MixedPayments()), "mixed");
}

TEST(PaymentModel, CellsAsTheUserReadsThem) {
  const auto list = listview_test::List(listview_test::MixedPayments());
  ASSERT_EQ(list->rowCount(), 3);
  ASSERT_EQ(list->columnCount(), kColumnCount);
  const struct {
    int row, column;
    QString text;
  } cases[] = {
      {0, kColNumber, QStringLiteral("1")},
      {0, kColName, QStringLiteral("BÄR & SöHNE <GMBH>")},
      {0, kColPurpose, QStringLiteral("RECHNUNG 4711\nKUNDE Ä12Ü X\nBeträge <netto>")},
      {0, kColAmount, QStringLiteral("1.234,50 EUR")},
      {1, kColName, QStringLiteral("KäSEREI ALPEN")},
      {2, kColName, QStringLiteral("€-KONTO")},
      // A blank line between two keeps its place; one at the very end shows nothing.
      {2, kColPurpose, QStringLiteral("ERSTE\n\nDRITTE")},
      {2, kColAmount, QStringLiteral("-25,00 EUR")},
      {2, kColBlz, QStringLiteral("500 100 60")},
  };
  for (const auto& c : cases)
    EXPECT_EQ(list->data(list->index(c.row, c.column)).toString(), c.text) << c.row << "/" << c.column;
  EXPECT_EQ(list->purposeLineCount(2), 3);
  EXPECT_EQ(list->purposeLinesBefore(2), 4);
  EXPECT_EQ(
      list->data(list->index(0, kColAmount), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
      Qt::AlignRight);
  EXPECT_FALSE(list->data(list->index(3, 0)).isValid());
  EXPECT_TRUE(list->headHtml().contains(QStringLiteral("Datenträger-Kontrolliste vom 26.12.2008")));
  EXPECT_TRUE(list->tailHtml().contains(QStringLiteral("1.209,60 EUR")));
}

TEST(PaymentModel, MadeInAWorkerServesTheViewsThread) {
  std::shared_ptr<TPaymentModel> list;
  QThread* const target = QThread::currentThread();
  std::unique_ptr<QThread> worker(QThread::create([&] {
    list = listview_test::List(listview_test::MixedPayments());
    list->moveToThread(target);
  }));
  worker->start();
  ASSERT_TRUE(worker->wait(10000));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->thread(), target);
  EXPECT_EQ(list->data(list->index(1, kColPurpose)).toString(), QStringLiteral("NUR EINE ZEILE"));
}

}  // namespace
