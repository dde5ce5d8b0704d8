// Printing from the main window through the print dialog, onto PDF files.
#include <QAction>
#include <QApplication>
#include <QPrinter>
#include <QTimer>

#include <chrono>

#include "print_progress.h"
#include "qt_platform.h"

#include "version.h"
#include "viewer_fixture.h"

namespace quandel::test {
namespace {

class PrintTest : public ViewerTest {
 protected:
  std::filesystem::path Pdf() const { return data.Path() / "liste.pdf"; }

  void Print(TmainForm& form, bool confirm) {
    desktop.printDialog->setNextAnswer(confirm);
    desktop.printDialog->setPdfOutput(Q(Pdf()));
    form.findChild<QAction*>("filePrint")->trigger();
  }

  static std::vector<testdta::CRecord> ManyPayments(int count) {
    std::vector<testdta::CRecord> payments;
    for (int i = 1; i <= count; ++i) {
      testdta::CRecord c =
          Payment("EMPFAENGER " + std::to_string(i), 1000 + i, "ZWECK-A " + std::to_string(i));
      c.extensions = {{"02", "ZWECK-B " + std::to_string(i)}, {"02", "ZWECK-C " + std::to_string(i)}};
      payments.push_back(c);
    }
    return payments;
  }

  static int Pages(const std::filesystem::path& pdf) {
    const auto info = PdfInfo(pdf);
    if (!info) return -1;
    const auto at = info->find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info->substr(at + 6));
  }
};

TEST_F(PrintTest, CancelledDialogPrintsNothing) {
  const std::string file = WriteSample("a.dta", {Payment("EMPFAENGER", 100, "ZWECK")});
  const auto form = Start({QString::fromStdString(file)});
  Print(*form, false);
  EXPECT_EQ(desktop.printDialog->shown, 1);
  EXPECT_FALSE(std::filesystem::exists(Pdf()));
  EXPECT_TRUE(desktop.messages->messages.empty());
  EXPECT_TRUE(desktop.messages->errors.empty());
}

TEST_F(PrintTest, NothingShownPrintsNothingAndSaysNothing) {
  const auto form = Start();
  Print(*form, true);
  EXPECT_EQ(desktop.printDialog->shown, 1);
  EXPECT_FALSE(std::filesystem::exists(Pdf()));
  EXPECT_TRUE(desktop.messages->messages.empty());
  EXPECT_TRUE(desktop.messages->errors.empty());
}

TEST_F(PrintTest, ControlListGoesToTheChosenPdfFile) {
  const std::string file =
      WriteSample("druck.dta", {Payment("M]LLER", 12345, "GEB]HR F[LLIG"), Payment("SCHULZE", 99, "MIETE")});
  const auto form = Start({QString::fromStdString(file)});
  Print(*form, true);
  EXPECT_TRUE(desktop.messages->messages.empty());
  ASSERT_TRUE(std::filesystem::exists(Pdf()));
  const auto text = PdfText(Pdf());
  ASSERT_TRUE(text) << "pdftotext (poppler-utils) is needed";
  EXPECT_NE(text->find("Datenträger-Kontrolliste vom 31.12.2002"), std::string::npos) << *text;
  EXPECT_NE(text->find("Empfänger"), std::string::npos);
  EXPECT_NE(text->find("GEBÜHR FÄLLIG"), std::string::npos);
  EXPECT_NE(text->find("123,45 EUR"), std::string::npos);
  EXPECT_NE(text->find("124,44 EUR"), std::string::npos);
  EXPECT_NE(
      text->find("Quandel © Osmera · quandel.example.org - " QUANDEL_VERSION " (" QUANDEL_BUILD_NUMBER ")"),
      std::string::npos);
  const auto info = PdfInfo(Pdf());
  ASSERT_TRUE(info);
  EXPECT_NE(info->find("(A4)"), std::string::npos) << *info;
  // Printing changes neither the page nor the status.
  EXPECT_TRUE(form->StatusText().startsWith(QString::fromStdString(file)));
}

// A file cut in its trailer prints the payments read before the damage, and says so.
TEST_F(PrintTest, DamagedFilePrintsThePaymentsReadAndTheDamage) {
  const std::string whole = SampleFile({Payment("MUELLER", 12345, "MIETE"), Payment("SCHULZE", 99, "PACHT")});
  const std::string file = data.Write("kaputt.dta", whole.substr(0, whole.size() - 80));
  const auto form = Start({QString::fromStdString(file)});
  Print(*form, true);
  EXPECT_TRUE(desktop.messages->errors.empty());
  const auto text = PdfText(Pdf());
  ASSERT_TRUE(text) << "pdftotext (poppler-utils) is needed";
  for (const char* expected :
       {"Datei beschädigt: Datei endet vorzeitig: E-Satz", "MUELLER", "SCHULZE", "2 Zahlungen bis Byte"})
    EXPECT_NE(text->find(expected), std::string::npos) << expected << "\n" << *text;
  // No sums that could not be checked.
  EXPECT_EQ(text->find("Gesamtsumme"), std::string::npos) << *text;
}

TEST_F(PrintTest, LongListsBreakBetweenRowsAndNumberThePages) {
  const int count = 120;
  const std::string file = WriteSample("lang.dta", ManyPayments(count));
  const auto form = Start({QString::fromStdString(file)});
  Print(*form, true);
  const int pages = Pages(Pdf());
  ASSERT_GE(pages, 3);
  std::vector<int> pageOf(count + 1, 0);
  for (int page = 1; page <= pages; ++page) {
    const auto text = PdfText(Pdf(), page);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Seite " + std::to_string(page) + " von " + std::to_string(pages)),
              std::string::npos);
    for (int i = 1; i <= count; ++i) {
      const std::string n = std::to_string(i);
      const bool a = text->find("ZWECK-A " + n + "\n") != std::string::npos;
      const bool b = text->find("ZWECK-B " + n + "\n") != std::string::npos;
      const bool c = text->find("ZWECK-C " + n + "\n") != std::string::npos;
      const bool name = text->find("EMPFAENGER " + n + "\n") != std::string::npos;
      if (!(a || b || c || name)) continue;
      EXPECT_TRUE(a && b && c && name) << "row " << i << " cut on page " << page;
      const auto row = static_cast<std::size_t>(i);
      EXPECT_EQ(pageOf[row], 0) << "row " << i << " on two pages";
      pageOf[row] = page;
    }
  }
  for (int i = 1; i <= count; ++i)
    EXPECT_NE(pageOf[static_cast<std::size_t>(i)], 0) << "row " << i << " missing";
}

TEST_F(PrintTest, PageRangeAndCopiesFromTheDialogAreUsed) {
  const std::string file = WriteSample("lang.dta", ManyPayments(120));
  const auto form = Start({QString::fromStdString(file)});
  Print(*form, true);
  const int all = Pages(Pdf());
  ASSERT_GE(all, 3);

  QPrinter& printer = form->WebBrowser1->PrintSettings();
  printer.setPrintRange(QPrinter::PageRange);
  printer.setFromTo(2, 3);
  Print(*form, true);
  EXPECT_EQ(Pages(Pdf()), 2);
  const auto second = PdfText(Pdf(), 1);
  ASSERT_TRUE(second);
  EXPECT_NE(second->find("Seite 2 von " + std::to_string(all)), std::string::npos);

  printer.setPrintRange(QPrinter::AllPages);
  printer.setCopyCount(2);
  Print(*form, true);
  if (!printer.supportsMultipleCopies()) {
    EXPECT_EQ(Pages(Pdf()), 2 * all);
  }
}

TEST_F(PrintTest, RangeOutsideTheDocumentPrintsNothingAndGivesTheFailureMessage) {
  testdta::ARecord broken;
  broken.date = "000000";
  const std::string files[] = {WriteSample("kurz.dta", {Payment("EMPFAENGER", 100, "ZWECK")}),
                               data.Write("kaputt.dta", testdta::File(broken, {}))};  // the error page
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const auto form = Start({QString::fromStdString(file)});
    WaitUntilLoaded(*form);
    QPrinter& printer = form->WebBrowser1->PrintSettings();
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(5, 6);
    desktop.messages->messages.clear();
    Print(*form, true);
    EXPECT_FALSE(std::filesystem::exists(Pdf()));
    ASSERT_EQ(desktop.messages->messages.size(), 1u);
    EXPECT_EQ(desktop.messages->messages[0], QStringLiteral("Fehler!!!"));
  }
}

TEST_F(PrintTest, ListStillBeingReadIsPrintedWhole) {
  const int count = 120;
  const std::string file = WriteSample("lang.dta", ManyPayments(count));
  const auto form = Start();
  form->ShowFile(QString::fromStdString(file));
  Print(*form, true);
  EXPECT_TRUE(desktop.messages->messages.empty());
  const auto text = PdfText(Pdf());
  ASSERT_TRUE(text);
  for (int i : {1, count / 2, count})
    EXPECT_NE(text->find("EMPFAENGER " + std::to_string(i) + "\n"), std::string::npos) << "row " << i;
  EXPECT_NE(
      text->find("Quandel © Osmera · quandel.example.org - " QUANDEL_VERSION " (" QUANDEL_BUILD_NUMBER ")"),
      std::string::npos);
}

TEST_F(PrintTest, StoppedInTheProgressDialogSaysNothingAndLeavesNoFile) {
  const auto form = Start({QString::fromStdString(WriteSample("lang.dta", ManyPayments(2000)))});
  WaitUntilLoaded(*form);
  const long modelUsers = form->WebBrowser1->listView()->sharedModel().use_count();
  desktop.printProgress->stopAfter = 2;
  Print(*form, true);
  ASSERT_EQ(desktop.printProgress->shown.size(), 2u);
  EXPECT_EQ(desktop.printProgress->closed, 1);
  EXPECT_TRUE(desktop.messages->messages.empty());
  EXPECT_TRUE(desktop.messages->errors.empty());
  EXPECT_FALSE(std::filesystem::exists(Pdf()));
  // The job is gone with everything it held, and the next print runs to its end.
  EXPECT_EQ(form->WebBrowser1->listView()->sharedModel().use_count(), modelUsers);
  EXPECT_FALSE(form->WebBrowser1->isPrinting());
  desktop.printProgress->stopAfter = -1;
  Print(*form, true);
  EXPECT_GT(Pages(Pdf()), 2);
  EXPECT_TRUE(desktop.messages->messages.empty());
}

// Driven a page at a time: the dialog follows every page, and the event loop runs in between.
TEST_F(PrintTest, ProgressFollowsEveryPageWhileTheEventLoopRuns) {
  const auto form = Start({QString::fromStdString(WriteSample("lang.dta", ManyPayments(120)))});
  QPrinter& printer = form->WebBrowser1->PrintSettings();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(Q(Pdf()));
  TListPrintJob job(form->WebBrowser1->listView()->sharedModel(), QFont(), printer);
  FakePrintProgress progress;
  bool finishedWhenLoopRan = true;
  QTimer::singleShot(0, [&] { finishedWhenLoopRan = job.finished(); });
  EXPECT_EQ(RunListPrint(job, &progress, std::chrono::milliseconds(0)), TListPrintResult::Printed);
  EXPECT_FALSE(finishedWhenLoopRan);
  const int pages = Pages(Pdf());
  ASSERT_GE(pages, 3);
  std::vector<QString> expected;
  for (int page = 1; page <= pages; ++page)
    expected.push_back(QStringLiteral("Seite %1 von %2").arg(page).arg(pages));
  EXPECT_EQ(progress.shown, expected);
  EXPECT_EQ(progress.closed, 1);
}

struct SelectionCase {
  const char* name;
  std::vector<std::pair<int, Qt::KeyboardModifiers>> clicks;
  bool choose;                     // "Auswahl" in the dialog, offered with rows selected
  std::vector<int> printed, left;  // payments by number
};

class PrintSelectionTest : public PrintTest, public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(PrintSelectionTest, HeaderRowsAndFooter) {
  const SelectionCase& c = GetParam();
  const auto form = Start({QString::fromStdString(WriteSample("zehn.dta", ManyPayments(10)))});
  // "Auswahl" chosen for an earlier print.
  form->WebBrowser1->PrintSettings().setPrintRange(QPrinter::Selection);
  for (const auto& [row, modifiers] : c.clicks) form->WebBrowser1->listView()->clickRow(row, modifiers);
  desktop.printDialog->setChooseSelection(c.choose);
  Print(*form, true);
  EXPECT_EQ(desktop.printDialog->selectionOffered, !c.clicks.empty());
  EXPECT_TRUE(desktop.messages->messages.empty());
  const auto text = PdfText(Pdf());
  ASSERT_TRUE(text) << "pdftotext (poppler-utils) is needed";
  EXPECT_NE(text->find("Datenträger-Kontrolliste vom 31.12.2002"), std::string::npos);
  EXPECT_NE(text->find("quandel.example.org"), std::string::npos);
  for (int i : c.printed)
    EXPECT_NE(text->find("EMPFAENGER " + std::to_string(i) + "\n"), std::string::npos) << i;
  for (int i : c.left)
    EXPECT_EQ(text->find("EMPFAENGER " + std::to_string(i) + "\n"), std::string::npos) << i;
}

const std::vector<std::pair<int, Qt::KeyboardModifiers>> kThreeRows = {
    {1, Qt::NoModifier}, {2, Qt::ShiftModifier}, {6, Qt::ControlModifier}};

INSTANTIATE_TEST_SUITE_P(
    Choices, PrintSelectionTest,
    ::testing::Values(SelectionCase{"SelectedRowsOnly", kThreeRows, true, {2, 3, 7}, {1, 4, 6, 8, 10}},
                      SelectionCase{"AllRowsChosen", kThreeRows, false, {1, 2, 3, 4, 7, 10}, {}},
                      SelectionCase{"NothingSelected", {}, true, {1, 2, 3, 4, 7, 10}, {}}),
    [](const ::testing::TestParamInfo<SelectionCase>& choice) { return std::string(choice.param.name); });

TEST_F(PrintTest, PrinterThatCannotPrintGivesTheFailureMessage) {
  const std::string file = WriteSample("a.dta", {Payment("EMPFAENGER", 100, "ZWECK")});
  const auto form = Start({QString::fromStdString(file)});
  desktop.printDialog->setNextAnswer(true);
  desktop.printDialog->setPdfOutput(Q(data.Path() / "fehlt" / "liste.pdf"));
  form->filePrint->trigger();
  ASSERT_EQ(desktop.messages->messages.size(), 1u);
  EXPECT_EQ(desktop.messages->messages[0], QStringLiteral("Fehler!!!"));
}

// Hands everything on to `inner`; the window closes when the print has come to its second
// page, as a user closing it from the desktop would.
class TClosingProgress : public IPrintProgress {
 public:
  explicit TClosingProgress(std::shared_ptr<IPrintProgress> inner) : inner_(std::move(inner)) {}
  void Show(const QString& text, int value, int maximum) override {
    inner_->Show(text, value, maximum);
    if (++shown == 2 && window != nullptr) window->close();
  }
  bool StopRequested() override { return inner_->StopRequested(); }
  void Close() override { inner_->Close(); }

  QWidget* window = nullptr;
  int shown = 0;

 private:
  std::shared_ptr<IPrintProgress> inner_;
};

// Closing the window during a print ends the print, leaving no part of the list, and then the
// program: nothing is left on screen to keep it alive, its progress dialog included.
TEST_F(PrintTest, ClosingTheWindowEndsThePrintAndThenTheProgram) {
  const std::string file = WriteSample("lang.dta", ManyPayments(2000));
  struct Case {
    const char* what;
    bool desktopDialog;  // the progress dialog of the desktop, else the headless one
    bool runLoop;        // inside the application's event loop, as the program runs
  };
  for (const Case c : {Case{"headless", false, false}, Case{"desktop dialog", true, false},
                       Case{"desktop dialog in the application's loop", true, true}}) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(Pdf());
    TViewerPlatform platform = desktop.Platform();
    const auto progress = std::make_shared<TClosingProgress>(
        c.desktopDialog ? QtViewerPlatform().printProgress : platform.printProgress);
    platform.printProgress = progress;
    TmainForm form(platform, {QStringLiteral("quandel"), QString::fromStdString(file)}, Q(program.Path()));
    WaitUntilLoaded(form);
    progress->window = &form;
    form.show();
    desktop.printDialog->setNextAnswer(true);
    desktop.printDialog->setPdfOutput(Q(Pdf()));
    int exitCode = -1;
    if (c.runLoop) {
      QTimer::singleShot(0, &form, [&] { form.filePrint->trigger(); });
      // Only a guard against a program that would never end: the loop ends by itself.
      QTimer guard;
      guard.setSingleShot(true);
      QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
      guard.start(std::chrono::minutes(2));
      exitCode = QApplication::exec();
    } else {
      form.filePrint->trigger();
    }
    EXPECT_EQ(progress->shown, 2);
    EXPECT_FALSE(form.WebBrowser1->isPrinting());
    EXPECT_FALSE(std::filesystem::exists(Pdf()));
    EXPECT_TRUE(desktop.messages->messages.empty());
    EXPECT_FALSE(form.isVisible());
    for (QWidget* widget : QApplication::topLevelWidgets())
      EXPECT_FALSE(widget->isVisible() && widget->testAttribute(Qt::WA_QuitOnClose))
          << widget->metaObject()->className();
    if (c.runLoop) {
      EXPECT_EQ(exitCode, 0);
    }
  }
}

}  // namespace
}  // namespace quandel::test
