// Printing from the main window through the print dialog, onto PDF files.
#include <QAction>
#include <QDate>
#include <QElapsedTimer>
#include <QApplication>
#include <QPrinter>
#include <QTimer>

#include <chrono>
#include <regex>

#include "check_view.h"
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

  // Opens a file of `count` payments (three purpose lines each), prints all of it to the PDF
  // and says how many pages it took (-1 when the PDF cannot be read).
  int PrintManyPayments(int count) {
    const std::string file = WriteSample("lang.dta", ManyPayments(count));
    const auto form = Start({QString::fromStdString(file)});
    Print(*form, true);
    return Pages(Pdf());
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
  const int pages = PrintManyPayments(count);
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

// What the sheets add around the page, read back from the PDF.
class PrintedSheetsTest : public PrintTest {
 protected:
  static void WaitForVerdict(TmainForm& form) {
    QElapsedTimer clock;
    clock.start();
    while (!form.checkView->result() && clock.elapsed() < 30000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_TRUE(form.checkView->result()) << "check did not report";
  }
  static std::string Today() {
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")).toStdString();
  }
  // The amount of "<label>: 1.234,56 EUR" in cents; -1 when the label is not there.
  static std::int64_t CentsAfter(const std::string& text, const std::string& label) {
    const std::regex amount(label + ": (-?[0-9.]+),([0-9]{2}) EUR");
    std::smatch match;
    if (!std::regex_search(text, match, amount)) return -1;
    std::string euros = match[1].str();
    std::erase(euros, '.');
    return std::stoll(euros) * 100 + std::stoll(match[2].str());
  }
};

// Every sheet names the file, its time as the status text gives it, and the time of printing;
// the number stays at the foot.
TEST_F(PrintedSheetsTest, EverySheetNamesTheFileItsTimeAndThePrintTime) {
  const std::string file = WriteSample("lang.dta", ManyPayments(120));
  const auto form = Start({QString::fromStdString(file)});
  WaitUntilLoaded(*form);
  const std::string status = form->StatusText().toStdString();
  const std::string fileTime = status.substr(status.rfind(" - ") + 3);
  const std::string before = Today();
  Print(*form, true);
  const std::string after = Today();
  const int pages = Pages(Pdf());
  ASSERT_GE(pages, 3);
  for (int page = 1; page <= pages; ++page) {
    SCOPED_TRACE(page);
    const auto text = PdfText(Pdf(), page);
    ASSERT_TRUE(text) << "pdftotext (poppler-utils) is needed";
    EXPECT_NE(text->find("lang.dta · Datei vom " + fileTime), std::string::npos) << *text;
    EXPECT_TRUE(text->find("gedruckt am " + before) != std::string::npos ||
                text->find("gedruckt am " + after) != std::string::npos)
        << *text;
    EXPECT_NE(text->find("Seite " + std::to_string(page) + " von " + std::to_string(pages)),
              std::string::npos);
  }
}

// Each sheet adds up its own rows; from the second on it carries the sheets before it, and the
// last carries and adds up to the list's total.
TEST_F(PrintedSheetsTest, EverySheetHasItsSumAndTheCarriedSum) {
  const int count = 120;
  const int pages = PrintManyPayments(count);
  ASSERT_GE(pages, 3);
  std::int64_t carried = 0;
  for (int page = 1; page <= pages; ++page) {
    SCOPED_TRACE(page);
    const auto text = PdfText(Pdf(), page);
    ASSERT_TRUE(text);
    std::int64_t rows = 0;
    bool any = false;
    for (int i = 1; i <= count; ++i)
      if (text->find("EMPFAENGER " + std::to_string(i) + "\n") != std::string::npos) {
        rows += 1000 + i;
        any = true;
      }
    EXPECT_EQ(CentsAfter(*text, "Übertrag"), page == 1 ? -1 : carried) << *text;
    EXPECT_EQ(CentsAfter(*text, "Summe dieser Seite"), any ? rows : -1) << *text;
    carried += rows;
  }
  std::int64_t total = 0;
  for (int i = 1; i <= count; ++i) total += 1000 + i;
  EXPECT_EQ(carried, total);
}

struct VerdictCase {
  const char* name;
  std::vector<testdta::CRecord> payments;
  bool wrongTotal;
  std::vector<std::string> lines;  // in this order, after "Prüfergebnis"
  std::vector<std::string> absent;
};

class PrintedVerdictTest : public PrintedSheetsTest, public ::testing::WithParamInterface<VerdictCase> {};

// After the page's end the sheet gives both verdicts in the words of the bar and of `check`,
// the first findings, and what each "Gesamtsumme" is.
TEST_P(PrintedVerdictTest, VerdictsFollowThePage) {
  const VerdictCase& c = GetParam();
  std::string bytes = SampleFile(c.payments);
  if (c.wrongTotal) {
    const std::size_t euro = bytes.size() - 128 + 64;
    bytes.replace(euro, 13, testdta::Digits(std::stoll(bytes.substr(euro, 13)) + 1, 13));
  }
  const auto form = Start({QString::fromStdString(data.Write("urteil.dta", bytes))});
  WaitUntilLoaded(*form);
  WaitForVerdict(*form);
  Print(*form, true);
  const auto text = PdfText(Pdf());
  ASSERT_TRUE(text) << "pdftotext (poppler-utils) is needed";
  std::size_t at = text->find("Prüfergebnis");
  ASSERT_NE(at, std::string::npos) << *text;
  // After the page's own end, its footer.
  EXPECT_LT(text->find("quandel.example.org"), at);
  for (const std::string& line : c.lines) {
    const std::size_t next = text->find(line, at);
    EXPECT_NE(next, std::string::npos) << line << "\n" << text->substr(at);
    if (next != std::string::npos) at = next;
  }
  for (const std::string& line : c.absent) EXPECT_EQ(text->find(line), std::string::npos) << line;
  // The same words as the bar's headline.
  const std::string headline = form->checkView->bar()->text().split(u'\n').front().toStdString();
  const std::string accounts = headline.substr(headline.find("Konten: ") + 8);
  EXPECT_NE(text->find(accounts.substr(0, accounts.find(" ("))), std::string::npos) << headline;
}

std::vector<testdta::CRecord> FailingAccounts(int count) {
  std::vector<testdta::CRecord> payments;
  for (int i = 1; i <= count; ++i) {
    testdta::CRecord c = Payment("EMPFAENGER " + std::to_string(i), 100 * i, "ZWECK");
    c.blz = "20050550";
    c.konto = "1234567890";  // fails its check digit at that bank
    payments.push_back(c);
  }
  return payments;
}

INSTANTIATE_TEST_SUITE_P(
    Files, PrintedVerdictTest,
    ::testing::Values(
        VerdictCase{
            "WrongTotal",
            {Payment("MUELLER", 12345, "MIETE")},
            true,
            {"Datei nicht stimmig", "Kontenprüfung nach Bankverzeichnis vom ", "Gesamtsumme (EUR): Datei",
             "Zu den Summen: „Gesamtsumme“ im Kopf der Liste ist die Angabe des E-Satzes"},
            {"weitere"}},
        VerdictCase{"SevenFailingAccounts",
                    FailingAccounts(7),
                    false,
                    {"Datei in sich stimmig", "Kontenprüfung nach Bankverzeichnis vom ", "Prüfziffern falsch",
                     "Absender:", "Zahlung 1:", "Zahlung 4:", "und 3 weitere", "Zu den Summen:"},
                    {"Zahlung 5:", "Datei nicht stimmig"}}),
    [](const ::testing::TestParamInfo<VerdictCase>& c) { return std::string(c.param.name); });

// A selection is titled as an extract, with its own count and sum beside the file's; the
// page around it stays the file's.
TEST_F(PrintedSheetsTest, SelectionIsTitledAsAnExtractWithItsOwnSum) {
  const auto form = Start({QString::fromStdString(
      WriteSample("vier.dta", {Payment("A-EINS", 100, "Z"), Payment("B-ZWEI", 250, "Z"),
                               Payment("C-DREI", 1000, "Z"), Payment("D-VIER", 5, "Z")}))});
  WaitUntilLoaded(*form);
  form->WebBrowser1->listView()->clickRow(1, Qt::NoModifier);
  form->WebBrowser1->listView()->clickRow(3, Qt::ControlModifier);
  desktop.printDialog->setChooseSelection(true);
  Print(*form, true);
  const auto text = PdfText(Pdf());
  ASSERT_TRUE(text) << "pdftotext (poppler-utils) is needed";
  EXPECT_NE(text->find("Auszug: 2 von 4 Zahlungen"), std::string::npos) << *text;
  EXPECT_NE(text->find("Summe des Auszugs: 2,55 EUR · Datei: 4 Zahlungen, 13,55 EUR"), std::string::npos)
      << *text;
  EXPECT_EQ(CentsAfter(*text, "Summe dieser Seite"), 255);
  EXPECT_NE(text->find("B-ZWEI"), std::string::npos);
  EXPECT_EQ(text->find("C-DREI"), std::string::npos);
  // The whole list printed is no extract.
  desktop.printDialog->setChooseSelection(false);
  Print(*form, true);
  const auto all = PdfText(Pdf());
  ASSERT_TRUE(all);
  EXPECT_EQ(all->find("Auszug"), std::string::npos) << *all;
  EXPECT_EQ(CentsAfter(*all, "Summe dieser Seite"), 1355);
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
