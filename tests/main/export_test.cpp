// "Exportieren …" in the window: the rows the user picks written as the command line writes
// them (CSV byte for byte, the same workbook), replaced only when complete, refused with the
// reason in German.
#include <sys/stat.h>

#include <QAction>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "filter_bar.h"
#include "find_bar.h"
#include "finder.h"
#include "help_window.h"
#include "list_arranger.h"
#include "row_exporter.h"
#include "view_commands.h"
#include "viewer_fixture.h"
#include "xlsx_reader.h"

namespace quandel::test {
namespace {

constexpr int kPayments = 30;

// Names a spreadsheet or a CSV reader must be careful with, stored umlauts, a bank code with
// a leading zero; every 7th payment from the 3rd goes to "MÜLLER" (stored "M]LLER"); amounts
// 10,00 EUR times the number plus a few cents; purposes "ZWECK" and the number.
std::vector<testdta::CRecord> Payments() {
  std::vector<testdta::CRecord> payments;
  for (int i = 1; i <= kPayments; ++i) {
    std::string name = i % 7 == 3 ? "M]LLER " + std::to_string(i) : "EMPFAENGER " + std::to_string(i);
    if (i == 4) name = "=SUMME(A1)";
    if (i == 5) name = "MEIER; \"KLEIN\"";
    testdta::CRecord c = Payment(name, 1000 * i + (i % 3) * 7, "ZWECK " + std::to_string(i));
    if (i % 2 == 1) c.blz = "01234567";
    c.konto = testdta::Digits(42 * i, 10);
    payments.push_back(c);
  }
  return payments;
}

std::vector<int> Numbers(int first, int last) {
  std::vector<int> numbers;
  for (int n = first; first <= last ? n <= last : n >= last; n += first <= last ? 1 : -1)
    numbers.push_back(n);
  return numbers;
}

class ExportTest : public ViewerTest {
 protected:
  void SetUp() override {
    file = WriteSample("zahlungen.dta", Payments());
    form = Start({QString::fromStdString(file)});
    form->show();
    WaitUntilLoaded(*form);
    commands = form->viewCommands;
    list = form->WebBrowser1->listView();
  }

  // What `quandel-cli csv` writes for the file, cut into its lines (the header first).
  std::vector<std::string> CliLines() {
    const std::string out = (work.Path() / "cli.csv").string();
    const std::string command =
        std::string(QUANDEL_CLI_PATH) + " csv '" + file + "' --locale de_DE -o '" + out + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const std::string bytes = ReadBytes(out);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
      lines.push_back(bytes.substr(at, end + 2 - at));
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kPayments) + 1);
    return lines;
  }
  // The command line's header and its rows of the payments `numbers`, in that order.
  std::string CliRows(const std::vector<int>& numbers) {
    const std::vector<std::string> lines = CliLines();
    std::string csv = lines.at(0);
    for (const int number : numbers) csv += lines.at(static_cast<std::size_t>(number));
    return csv;
  }

  // "Exportieren …", the scope whose caption starts with `pick` (none asked when empty), the name
  // given.
  void Export(const std::filesystem::path& target, const QString& pick = {}) {
    desktop.messages->pick = pick;
    desktop.saveDialog->next = Q(target);
    QSignalSpy finished(commands->exporter(), &TRowExporter::finished);
    commands->listExport->trigger();
    if (commands->exporter()->isExporting()) {
      ASSERT_TRUE(finished.wait(30000));
    }
  }
  void Filter(const QString& text, const QString& amounts) {
    commands->filterOpen->trigger();
    commands->filterBar()->textEdit()->setText(text);
    commands->filterBar()->amountEdit()->setText(amounts);
    QTest::keyClick(commands->filterBar()->textEdit(), Qt::Key_Return);
    commands->arranger()->waitForIdle();
  }
  void Find(const QString& text) {
    commands->findOpen->trigger();
    commands->findBar()->edit()->setText(text);
    commands->finder()->waitForIdle();
  }

  std::string file;
  std::unique_ptr<TmainForm> form;
  TViewCommands* commands = nullptr;
  TControlListView* list = nullptr;
};

TEST_F(ExportTest, CsvIsTheCommandLinesRowsForWhatIsChosen) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    QString pick;
    QStringList offered;  // empty: all payments, without a question
    std::vector<int> numbers;
  };
  const Case cases[] = {
      {"alle", [] {}, {}, {}, Numbers(1, kPayments)},
      {"Auswahl",
       [this] {
         list->clickRow(2, Qt::NoModifier);
         list->clickRow(5, Qt::ShiftModifier);
         list->clickRow(10, Qt::ControlModifier);
       },
       QStringLiteral("Ausgewählte"),
       {QStringLiteral("Alle Zahlungen (30)"), QStringLiteral("Ausgewählte (5)")},
       {3, 4, 5, 6, 11}},
      {"Filter",
       [this] { Filter({}, QStringLiteral("100..145")); },
       QStringLiteral("Gezeigte"),
       {QStringLiteral("Alle Zahlungen (30)"), QStringLiteral("Gezeigte (5)")},
       {10, 11, 12, 13, 14}},
      {"absteigend nach Betrag",
       [this] {
         commands->arranger()->setSortOrder({kColAmount, true});
         commands->arranger()->waitForIdle();
       },
       QStringLiteral("Gezeigte"),
       {QStringLiteral("Alle Zahlungen (30)"), QStringLiteral("Gezeigte (30)")},
       Numbers(kPayments, 1)},
      {"Suchtreffer",
       [this] { Find(QStringLiteral("zweck 2")); },
       QStringLiteral("Suchtreffer"),
       {QStringLiteral("Alle Zahlungen (30)"), QStringLiteral("Ausgewählte (1)"),
        QStringLiteral("Suchtreffer (11)")},
       {2, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    desktop.messages->questions.clear();
    desktop.messages->choices.clear();
    c.arrange();
    const std::filesystem::path target = data.Path() / "export.csv";
    Export(target, c.pick);
    if (c.offered.isEmpty()) {
      EXPECT_TRUE(desktop.messages->questions.empty());
    } else {
      ASSERT_EQ(desktop.messages->choices.size(), 1u);
      EXPECT_EQ(desktop.messages->choices[0], c.offered);
    }
    EXPECT_EQ(ReadBytes(target), CliRows(c.numbers));
    EXPECT_TRUE(desktop.messages->errors.empty()) << desktop.messages->errors.front().toStdString();
  }
}

TEST_F(ExportTest, TheDialogOffersBothFormatsAndANameAfterTheFile) {
  Export(data.Path() / "export.csv");
  ASSERT_EQ(desktop.saveDialog->shown.size(), 1u);
  EXPECT_EQ(desktop.saveDialog->shown[0].Title, QStringLiteral("Exportieren"));
  EXPECT_EQ(desktop.saveDialog->shown[0].FileName, QStringLiteral("zahlungen.csv"));
  EXPECT_EQ(desktop.saveDialog->shown[0].Filter,
            QStringLiteral("CSV-Datei (*.csv)|*.csv|Excel-Arbeitsmappe (*.xlsx)|*.xlsx"));
  // Cancelled, nothing is written.
  desktop.saveDialog->next.reset();
  commands->listExport->trigger();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data.Path()), {}), 2);
}

TEST_F(ExportTest, WorkbookReadsBackWithNumbersTextAndAFrozenHeader) {
  list->clickRow(2, Qt::NoModifier);
  list->clickRow(4, Qt::ShiftModifier);
  const std::filesystem::path target = data.Path() / "Auswahl.XLSX";
  Export(target, QStringLiteral("Ausgewählte"));
  ASSERT_TRUE(desktop.messages->errors.empty()) << desktop.messages->errors.front().toStdString();
  const std::string book = testdta::Unzip(target.string(), "xl/workbook.xml");
  EXPECT_NE(book.find("<sheet name=\"Zahlungen\" sheetId=\"1\""), std::string::npos) << book;
  EXPECT_NE(book.find("<sheet name=\"Datei\" sheetId=\"2\""), std::string::npos) << book;
  const std::string sheet = testdta::Unzip(target.string(), "xl/worksheets/sheet1.xml");
  const struct {
    const char* ref;
    testdta::TCell cell;
  } cases[] = {
      {"A1", {"inlineStr", "Nr."}},
      {"A2", {"n", "3"}},  // numbered as in the file
      {"B2", {"inlineStr", "MÜLLER 3"}},
      {"C2", {"inlineStr", "012 345 67"}},  // text, the leading zero kept
      {"D2", {"inlineStr", "126"}},
      {"E2", {"inlineStr", "ZWECK 3"}},
      {"F2", {"n", "30"}},
      {"G2", {"inlineStr", "EUR"}},
      {"A3", {"n", "4"}},
      {"B3", {"inlineStr", "=SUMME(A1)"}},  // text, never a formula
      {"C3", {"inlineStr", "876 543 21"}},
      {"F3", {"n", "40.07"}},
      {"A4", {"n", "5"}},
      {"F4", {"n", "50.14"}},
      {"A5", {"fehlt", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(testdta::Cell(sheet, c.ref), c.cell) << c.ref;
  EXPECT_EQ(sheet.find("<f>"), std::string::npos);
  EXPECT_NE(sheet.find("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"),
            std::string::npos);
  EXPECT_NE(sheet.find("<autoFilter ref=\"A1:G4\"/>"), std::string::npos);
  const std::string fileSheet = testdta::Unzip(target.string(), "xl/worksheets/sheet2.xml");
  EXPECT_EQ(testdta::Cell(fileSheet, "B1"), (testdta::TCell{"inlineStr", file}));
  EXPECT_EQ(testdta::Cell(fileSheet, "B16"), (testdta::TCell{"inlineStr", "Datei in sich stimmig"}));
}

// The file named keeps what it had until the export is complete; a stop leaves it as it was
// and no temporary file behind. What is written is the owner's only, also where the file
// replaced was not.
TEST_F(ExportTest, StoppedExportLeavesTheFileAndCompletedOneReplacesIt) {
  const std::filesystem::path target = data.Path() / "export.csv";
  { std::ofstream(target) << "alt"; }
  std::filesystem::permissions(target, std::filesystem::perms(0644));
  commands->exporter()->workerRows = 1;  // in a worker, as for a long list
  QSignalSpy finished(commands->exporter(), &TRowExporter::finished);
  desktop.saveDialog->next = Q(target);
  commands->listExport->trigger();
  ASSERT_TRUE(commands->exporter()->isExporting());
  // "Abbrechen" of the progress dialog, however late: the result is put in place by the
  // window, which has not taken it yet.
  auto* progress = form->findChild<QProgressDialog*>(QStringLiteral("ExportProgress"));
  ASSERT_NE(progress, nullptr);
  auto* cancel = progress->findChild<QPushButton*>();
  ASSERT_NE(cancel, nullptr);
  cancel->click();
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_EQ(ReadBytes(target), "alt");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data.Path()), {}), 2);  // and the DTAUS file
  EXPECT_TRUE(desktop.messages->errors.empty());

  commands->listExport->trigger();
  ASSERT_TRUE(commands->exporter()->isExporting());
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_EQ(ReadBytes(target), CliRows(Numbers(1, kPayments)));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data.Path()), {}), 2);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(ExportTest, TooManyRowsForTheClipboardAreOfferedTheExport) {
  commands->clipboardLimit = 10;
  commands->editSelectAll->trigger();
  const std::filesystem::path target = data.Path() / "alle.csv";
  desktop.saveDialog->next = Q(target);
  commands->editCopy->trigger();  // closed: nothing more
  EXPECT_TRUE(desktop.saveDialog->shown.empty());
  desktop.messages->answer = 0;
  commands->editCopy->trigger();
  ASSERT_EQ(desktop.messages->questions.size(), 2u);
  EXPECT_EQ(
      desktop.messages->questions[1],
      QStringLiteral("30 Zahlungen sind zu viele für die Zwischenablage; es lassen sich höchstens 10 auf "
                     "einmal kopieren. Bitte weniger Zeilen auswählen oder sie in eine Datei exportieren."));
  EXPECT_EQ(desktop.messages->choices[1], QStringList{QStringLiteral("&Exportieren …")});
  EXPECT_EQ(desktop.saveDialog->shown.size(), 1u);
  EXPECT_EQ(ReadBytes(target), CliRows(Numbers(1, kPayments)));
}

TEST_F(ExportTest, RefusalsNameTheReason) {
  const std::filesystem::path missing = data.Path() / "fehlt" / "export.csv";
  const std::filesystem::path folder = data.Path() / "ordner.csv";
  std::filesystem::create_directory(folder);
  const std::string before = ReadBytes(file);
  const struct {
    std::filesystem::path target;
    QString error;
  } cases[] = {
      {missing, QStringLiteral("Der Export nach „%1“ ist nicht gelungen. Der Ordner ist nicht vorhanden.")
                    .arg(Q(missing))},
      {folder, QStringLiteral("Der Export nach „%1“ ist nicht gelungen. Ist ein Ordner.").arg(Q(folder))},
      {file, QStringLiteral("„%1“ ist die gezeigte DTAUS-Datei; sie wird nicht überschrieben.")
                 .arg(QString::fromStdString(file))},
  };
  for (const auto& c : cases) {
    desktop.messages->errors.clear();
    Export(c.target);
    ASSERT_EQ(desktop.messages->errors.size(), 1u) << c.target;
    EXPECT_EQ(desktop.messages->errors[0], c.error);
  }
  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));
}

TEST_F(ExportTest, TheHelpListsTheExport) {
  EXPECT_TRUE(commands->commands().contains(commands->listExport));
  const QString help = KeysHelpHtml(commands->commands());
  EXPECT_TRUE(help.contains(QStringLiteral("Exportieren"))) << help.toStdString();
  EXPECT_TRUE(help.contains(QStringLiteral("Strg+E"))) << help.toStdString();
}

}  // namespace
}  // namespace quandel::test
