// The panel "Befunde" at model level: a million findings, their cells, sorting and filtering
// by kind, copying and saving as CSV.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTableView>

#include <sys/stat.h>

#include "findings_panel.h"
#include "verdict.h"
#include "viewer_fixture.h"

namespace quandel::test {
namespace {

using ombra::TFinding;
using ombra::TFindingKind;
using ombra::TSeverity;

constexpr int kMillion = 1000000;

// A finding on a payment's record, its sentence led by the payment as the check writes it.
TFinding OnPayment(TSeverity severity, TFindingKind kind, std::int64_t payment, const char* field,
                   const char* expected, const char* found, const std::string& text) {
  return {severity, kind,     'C',   payment,
          field,    expected, found, "Zahlung " + std::to_string(payment) + ": " + text,
          -1,       {},       {}};
}
TFinding CheckSum(std::int64_t payment) {
  return OnPayment(TSeverity::Error, TFindingKind::CheckSum, payment, "Kontonummer", "Ziffern", "12X4",
                   "Kontonummer enth\xE4lt ein Zeichen, das keine Ziffer ist");
}
TFinding CheckDigit(std::int64_t payment) {
  return OnPayment(TSeverity::Warning, TFindingKind::Account, payment, "Kontonummer",
                   "g\xFCltige Kontonummer", "1234567890",
                   "Pr\xFC"
                   "fziffer falsch");
}
TFinding UnknownBank(std::int64_t payment) {
  return OnPayment(TSeverity::Warning, TFindingKind::UnknownBank, payment, "Bankleitzahl",
                   "Bankleitzahl im Verzeichnis", "10020030", "Bankleitzahl; unbekannt");
}
TFinding Total() {
  return {TSeverity::Error,
          TFindingKind::Total,
          'E',
          0,
          "Gesamtsumme (EUR)",
          "6,00",
          "6,01",
          "Gesamtsumme (EUR): Datei 6,01, berechnet 6,00",
          -1,
          {},
          {}};
}
TFinding Agrees() {
  return {TSeverity::None,
          TFindingKind::Count,
          'E',
          0,
          "Anzahl der Zahlungen",
          "3",
          "3",
          "Anzahl stimmt",
          -1,
          {},
          {}};
}

std::shared_ptr<TViewerCheck> CheckOf(std::vector<TFinding> findings, std::int64_t payments) {
  auto check = std::make_shared<TViewerCheck>();
  check->File.Loaded = true;
  check->File.Findings = std::move(findings);
  check->Payments = payments;
  return check;
}

// A million findings: payment n has a wrong check digit, every tenth a check sum too, every
// hundredth's bank is unknown instead.
std::shared_ptr<TViewerCheck> MillionFindings() {
  std::vector<TFinding> findings;
  findings.reserve(kMillion + 1);
  findings.push_back(Agrees());
  for (std::int64_t n = 1; static_cast<int>(findings.size()) <= kMillion; ++n) {
    if (n % 10 == 0) findings.push_back(CheckSum(n));
    findings.push_back(n % 100 == 0 ? UnknownBank(n) : CheckDigit(n));
  }
  findings.resize(kMillion + 1);
  return CheckOf(std::move(findings), kMillion);
}

TEST(FindingsModelTest, AMillionFindingsSortAndFilterByKind) {
  const auto check = MillionFindings();
  TFindingsModel model;
  model.setCheck(check);
  ASSERT_EQ(model.rowCount(), kMillion);  // the one that agrees is not shown
  EXPECT_EQ(model.cellText(0, kFindPayment), QStringLiteral("1"));
  EXPECT_EQ(model.cellText(kMillion - 1, kFindSeverity), ToneName(model.factsAt(kMillion - 1).Tone));

  struct Filter {
    std::optional<ombra::TFindingKind> group;
    int rows;
  };
  std::int64_t checkSums = 0;
  std::int64_t unknown = 0;
  for (const TFinding& f : check->File.Findings) {
    checkSums += f.Kind == TFindingKind::CheckSum;
    unknown += f.Kind == TFindingKind::UnknownBank;
  }
  const std::vector<Filter> filters{
      {ombra::TFindingKind::CheckSum, static_cast<int>(checkSums)},
      {ombra::TFindingKind::UnknownBank, static_cast<int>(unknown)},
      {ombra::TFindingKind::Account, static_cast<int>(kMillion - checkSums - unknown)},
      {ombra::TFindingKind::Total, 0},
      {std::nullopt, kMillion}};
  for (const Filter& f : filters) {
    SCOPED_TRACE(f.group ? KindName(*f.group).toStdString() : "alle");
    model.setKindFilter(f.group);
    EXPECT_EQ(model.rowCount(), f.rows);
    for (int row : {0, f.rows / 2, f.rows - 1}) {
      if (row >= 0 && row < f.rows && f.group) {
        EXPECT_EQ(model.factsAt(row).Kind, *f.group);
      }
    }
  }

  struct Sort {
    int column;
    Qt::SortOrder order;
    QString first;  // the first row's cell in that column
    std::int64_t firstPayment;
  };
  const std::int64_t lastPayment = check->File.Findings.back().Payment;
  const std::vector<Sort> sorts{
      {kFindPayment, Qt::DescendingOrder,
       QLocale(QLocale::German).toString(static_cast<qlonglong>(lastPayment)), lastPayment},
      {kFindPayment, Qt::AscendingOrder, QStringLiteral("1"), 1},
      // Red first; among equals the order sorted before stays.
      {kFindSeverity, Qt::AscendingOrder, QStringLiteral("Fehler"), 10},
      {kFindSeverity, Qt::DescendingOrder, QStringLiteral("Konto"), 1},
      {kFindField, Qt::AscendingOrder, QStringLiteral("Bankleitzahl"), 100},
      {kFindFound, Qt::DescendingOrder, QStringLiteral("12X4"), 10},
  };
  for (const Sort& s : sorts) {
    SCOPED_TRACE(s.column);
    model.sort(s.column, s.order);
    EXPECT_EQ(model.cellText(0, s.column), s.first);
    EXPECT_EQ(model.factsAt(0).Payment, s.firstPayment);
  }
  // The filter holds over a sort.
  model.setKindFilter(ombra::TFindingKind::UnknownBank);
  model.sort(kFindPayment, Qt::DescendingOrder);
  EXPECT_EQ(model.rowCount(), static_cast<int>(unknown));
  EXPECT_GT(model.factsAt(0).Payment, model.factsAt(1).Payment);
}

// The panel, its filter and the bar name each kind with the core's word for it.
TEST(FindingsModelTest, KindsAreNamedAsTheCoreNamesThem) {
  std::vector<TFinding> findings;
  for (int at = 0; at < ombra::kFindingKinds; ++at) {
    TFinding finding = CheckSum(at + 1);
    finding.Kind = static_cast<TFindingKind>(at);
    findings.push_back(finding);
  }
  TFindingsPanel panel(nullptr, nullptr);
  panel.setCheck(CheckOf(findings, ombra::kFindingKinds));
  panel.show();
  const TVerdictSummary summary = Summarize(*panel.model()->check());
  ASSERT_EQ(panel.filter()->count(), ombra::kFindingKinds + 1);
  for (int at = 0; at < ombra::kFindingKinds; ++at) {
    const auto kind = static_cast<TFindingKind>(at);
    const QString word = QString::fromUtf8(ombra::KindText(kind));
    SCOPED_TRACE(word.toStdString());
    EXPECT_EQ(KindName(kind), word);
    EXPECT_EQ(panel.filter()->itemText(at + 1), word + QStringLiteral(" (1)"));
    EXPECT_EQ(panel.filter()->itemData(at + 1).toInt(), at);
    EXPECT_EQ(panel.model()->factsAt(at).Kind, kind);
    EXPECT_TRUE(summary.Counts.contains(word + QStringLiteral(": "))) << summary.Counts.toStdString();
  }
}

// Texts sort byte by byte, the whole text deciding where the first bytes after what all share
// are alike, and equal texts keep the order they had, in either direction.
TEST(FindingsModelTest, TextsSortByEveryByte) {
  struct Case {
    const char* name;
    std::vector<std::string> founds;
  };
  const std::vector<Case> cases{
      {"alike for more than eight bytes", {"Zahlung 12: ABCDEFGH2", "Zahlung 12: ABCDEFGH1", "Zahlung 1"}},
      {"one text the start of another", {"AB", "A", "ABC", "", "A"}},
      {"bytes past 127",
       {"\xFC"
        "ber",
        "Ueber",
        "\xC4"
        "rger",
        "Zahl"}},
      {"a zero byte", {std::string("A\0B", 3), "A", std::string("A\0", 2), "A\x01"}},
      {"all equal", {"gleich", "gleich", "gleich"}},
      {"long and all equal", {"g\xFCltige Kontonummer", "g\xFCltige Kontonummer", "g\xFCltige Kontonummer"}},
      {"long and equal but one",
       {"g\xFCltige Kontonummer", "g\xFCltige Kontonummer", "g\xFCltige Kontonummeq", "g\xFCltige Kontonummer"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TFinding> findings;
    for (std::size_t i = 0; i < c.founds.size(); ++i) {
      TFinding finding = CheckSum(static_cast<std::int64_t>(i) + 1);
      finding.Found = c.founds[i];
      findings.push_back(finding);
    }
    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
      TFindingsModel model;
      model.setCheck(CheckOf(findings, 10));
      model.sort(kFindFound, order);
      std::vector<std::size_t> expected(c.founds.size());
      for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = i;
      std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
        return order == Qt::AscendingOrder ? c.founds[a] < c.founds[b] : c.founds[b] < c.founds[a];
      });
      for (std::size_t row = 0; row < expected.size(); ++row)
        EXPECT_EQ(model.factsAt(static_cast<int>(row)).Payment, static_cast<std::int64_t>(expected[row]) + 1)
            << "row " << row << (order == Qt::AscendingOrder ? " ascending" : " descending");
    }
  }
}

TEST(FindingsModelTest, CellsOfEachKind) {
  TFindingsModel model;
  model.setCheck(CheckOf({Total(), CheckSum(7), CheckDigit(1234), UnknownBank(8), Agrees()}, 2000));
  ASSERT_EQ(model.rowCount(), 4);
  const std::vector<QStringList> rows{
      {"Fehler", "", "E-Satz", "Gesamtsumme (EUR)", "6,00", "6,01",
       "Gesamtsumme (EUR): Datei 6,01, berechnet 6,00"},
      {"Fehler", "7", "C-Satz", "Kontonummer", "Ziffern", "12X4",
       "Zahlung 7: Kontonummer enthält ein Zeichen, das keine Ziffer ist"},
      {"Konto", "1.234", "C-Satz", "Kontonummer", "gültige Kontonummer", "1234567890",
       "Zahlung 1234: Prüfziffer falsch"},
      {"Konto", "8", "C-Satz", "Bankleitzahl", "Bankleitzahl im Verzeichnis", "10020030",
       "Zahlung 8: Bankleitzahl; unbekannt"},
  };
  for (int row = 0; row < 4; ++row) {
    QStringList cells;
    for (int column = 0; column < kFindColumnCount; ++column) cells << model.cellText(row, column);
    EXPECT_EQ(cells, rows[static_cast<std::size_t>(row)]);
  }
  model.setCheck(nullptr);
  EXPECT_EQ(model.rowCount(), 0);
}

class FindingsPanelTest : public ViewerTest {
 protected:
  void SetUp() override { panel.show(); }
  TFindingsPanel panel{desktop.messages, desktop.saveDialog};
};

// Hidden, the panel leaves the findings until it comes up; then it shows the check set last.
TEST_F(FindingsPanelTest, HiddenPanelTakesTheCheckWhenShown) {
  panel.hide();
  panel.setCheck(CheckOf({Total(), CheckSum(7)}, 10));
  panel.setCheck(CheckOf({Total(), CheckSum(7), CheckSum(9)}, 10));
  EXPECT_EQ(panel.model()->rowCount(), 0);
  panel.show();
  EXPECT_EQ(panel.model()->rowCount(), 3);
  panel.setCheck(nullptr);
  EXPECT_EQ(panel.model()->rowCount(), 0);
}

// The ranks come after their check, the panel in sight or not: the table gets those of its
// check, never those of a check set before, and keeps them when its check is set again.
TEST_F(FindingsPanelTest, TableTakesOnlyTheRanksOfItsCheck) {
  const TViewerCheckResult older = CheckOf({Total(), CheckSum(7)}, 10);
  const TViewerCheckResult shown = CheckOf({Total(), CheckSum(7), CheckSum(9)}, 10);
  const auto olderRanks = RankFindings(*older);
  const auto ranks = RankFindings(*shown);
  for (const bool inSight : {false, true}) {
    SCOPED_TRACE(inSight ? "in sight" : "hidden until the ranks came");
    panel.setCheck(nullptr);
    panel.setVisible(inSight);
    panel.setCheck(older);
    panel.setCheck(shown);
    panel.setRanks(older, olderRanks);
    panel.setRanks(shown, ranks);
    panel.show();
    EXPECT_EQ(panel.model()->check(), shown);
    EXPECT_EQ(panel.model()->ranks(), ranks);
    panel.setCheck(shown);
    EXPECT_EQ(panel.model()->ranks(), ranks);
    panel.setCheck(older);
    EXPECT_EQ(panel.model()->ranks(), nullptr);
  }
}

TEST_F(FindingsPanelTest, CopiesTheSelectedFindingsAsTextAndTable) {
  panel.setCheck(CheckOf({Total(), CheckSum(7), UnknownBank(8)}, 10));
  QTableView& table = *panel.table();
  table.selectionModel()->select(QItemSelection(panel.model()->index(1, 0), panel.model()->index(2, 0)),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
  panel.copySelected();
  const QStringList lines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
  EXPECT_EQ(lines[0], panel.model()->titles().join(u'\t'));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Fehler\t7\tC-Satz\t")));
  EXPECT_TRUE(lines[2].endsWith(QStringLiteral("\tZahlung 8: Bankleitzahl; unbekannt")));
  const QString html = QApplication::clipboard()->mimeData()->html();
  EXPECT_TRUE(html.contains(QStringLiteral("<td>Zahlung 7: Kontonummer enthält")));
  EXPECT_FALSE(html.contains(QStringLiteral("Gesamtsumme (EUR): Datei")));
}

TEST_F(FindingsPanelTest, TooManyFindingsForTheClipboardAreRefusedWithAMessage) {
  panel.setCheck(MillionFindings());
  QApplication::clipboard()->setText(QStringLiteral("vorher"));
  panel.table()->selectAll();
  panel.copySelected();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("vorher"));
  ASSERT_EQ(desktop.messages->messages.size(), 1u);
  EXPECT_TRUE(desktop.messages->messages[0].startsWith(QStringLiteral("1.000.000 Befunde sind zu viele")));
}

TEST_F(FindingsPanelTest, SavesTheFindingsShownAsCsvReadableByTheOwnerOnly) {
  panel.setCheck(CheckOf({Total(), CheckSum(7), UnknownBank(8)}, 10));
  const std::filesystem::path csv = data.Path() / "befunde.csv";
  struct Case {
    const char* name;
    std::optional<QString> answer;
    std::optional<ombra::TFindingKind> filter;
    std::vector<std::string> lines;  // none when no file is to be written
  };
  const std::string title = "\xEF\xBB\xBFSchwere;Zahlung;Satz, Byte;Feld;Erwartet;Gefunden;Befund";
  const std::vector<Case> cases{
      {"cancelled", std::nullopt, std::nullopt, {}},
      {"all",
       Q(csv),
       std::nullopt,
       {title, "Fehler;;E-Satz;Gesamtsumme (EUR);6,00;6,01;Gesamtsumme (EUR): Datei 6,01, berechnet 6,00",
        "Fehler;7;C-Satz;Kontonummer;Ziffern;12X4;Zahlung 7: Kontonummer enth\xC3\xA4lt ein Zeichen, das "
        "keine "
        "Ziffer ist",
        "Konto;8;C-Satz;Bankleitzahl;Bankleitzahl im Verzeichnis;10020030;\"Zahlung 8: Bankleitzahl; "
        "unbekannt\""}},
      {"filtered",
       Q(csv),
       ombra::TFindingKind::UnknownBank,
       {title,
        "Konto;8;C-Satz;Bankleitzahl;Bankleitzahl im Verzeichnis;10020030;\"Zahlung 8: Bankleitzahl; "
        "unbekannt\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(csv);
    desktop.saveDialog->next = c.answer;
    panel.model()->setKindFilter(c.filter);
    panel.saveCsv();
    EXPECT_TRUE(desktop.messages->errors.empty());
    if (c.lines.empty()) {
      EXPECT_FALSE(std::filesystem::exists(csv));
      continue;
    }
    std::string expected;
    for (const std::string& line : c.lines) expected += line + "\r\n";
    EXPECT_EQ(ReadBytes(csv), expected);
    struct stat info {};
    ASSERT_EQ(stat(csv.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
  }
  EXPECT_EQ(desktop.saveDialog->shown.size(), 3u);
}

// A value found in the file that a spreadsheet would take for a formula stays a text, in the
// CSV and on the clipboard alike.
TEST_F(FindingsPanelTest, FoundValuesThatLookLikeFormulasStayTexts) {
  panel.setCheck(CheckOf({OnPayment(TSeverity::Error, TFindingKind::CheckSum, 3, "Kontonummer", "Ziffern",
                                    "=HYPERLINK(1)", "Zahlung 3: Kontonummer")},
                         5));
  const std::filesystem::path csv = data.Path() / "formel.csv";
  desktop.saveDialog->next = Q(csv);
  panel.saveCsv();
  EXPECT_NE(ReadBytes(csv).find(";'=HYPERLINK(1);"), std::string::npos) << ReadBytes(csv);
  panel.table()->selectAll();
  panel.copySelected();
  EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("\t'=HYPERLINK(1)\t")));
  EXPECT_TRUE(
      QApplication::clipboard()->mimeData()->html().contains(QStringLiteral("<td>'=HYPERLINK(1)</td>")));
}

TEST_F(FindingsPanelTest, FilterOffersEachKindFoundWithItsCount) {
  panel.setCheck(CheckOf({Total(), CheckSum(7), CheckSum(9), UnknownBank(8)}, 10));
  QStringList items;
  for (int i = 0; i < panel.filter()->count(); ++i) items << panel.filter()->itemText(i);
  EXPECT_EQ(items,
            (QStringList{"Alle Befunde (4)", "Summe (1)", "Prüfsumme (2)", "Bankleitzahl unbekannt (1)"}));
  panel.filter()->setCurrentIndex(2);
  emit panel.filter()->activated(2);
  EXPECT_EQ(panel.model()->rowCount(), 2);
  // A new check without that kind shows all again.
  panel.setCheck(CheckOf({Total()}, 10));
  EXPECT_EQ(panel.model()->rowCount(), 1);
  EXPECT_EQ(panel.filter()->currentIndex(), 0);
}

}  // namespace
}  // namespace quandel::test

namespace quandel::test {
namespace {

// Every column in both directions, one sort after another: the order is what a stable sort
// of the order before gives by the column, ties keeping their places, whenever the ranks come
// from the check's worker: before the first sort, after it (the model ranked them itself), or
// never; ranks of another check, its findings in the opposite order, are not taken.
TEST(FindingsModelTest, EverySortIsStableOverTheOrderBefore) {
  std::vector<TFinding> findings{Total(), CheckSum(7), CheckDigit(7), UnknownBank(3), CheckDigit(3),
                                 CheckSum(12), Total(), CheckDigit(12), Agrees(), UnknownBank(7)};
  findings[6].Record = 'A';
  findings[6].Found = "6,01";
  const auto key = [](int column, const TFindingFacts& f) -> std::tuple<std::int64_t, std::int64_t, std::string> {
    switch (column) {
      case kFindSeverity: return {f.Tone == TTone::Broken ? 0 : 1, 0, ""};
      case kFindPayment: return {f.Payment, 0, ""};
      case kFindRecord: return {f.Record, f.Payment, ""};
      case kFindField: return {0, 0, std::string(f.Field)};
      case kFindExpected: return {0, 0, std::string(f.Expected)};
      case kFindFound: return {0, 0, std::string(f.Found)};
      default: return {0, 0, std::string(f.Sentence)};
    }
  };
  enum class TRanksCome { Never, BeforeTheFirstSort, AfterTheFirstSort, OfAnotherCheck };
  const std::vector<std::pair<TRanksCome, const char*>> arrivals{
      {TRanksCome::Never, "ranks at the first sort"},
      {TRanksCome::BeforeTheFirstSort, "ranks from the worker before the first sort"},
      {TRanksCome::AfterTheFirstSort, "ranks from the worker after the first sort"},
      {TRanksCome::OfAnotherCheck, "ranks of another check"}};
  for (const auto& [comes, name] : arrivals) {
    SCOPED_TRACE(name);
    const TViewerCheckResult check = CheckOf(findings, 20);
    const TViewerCheckResult other = CheckOf({findings.rbegin(), findings.rend()}, 20);
    TFindingsModel model;
    model.setCheck(check);
    if (comes == TRanksCome::BeforeTheFirstSort) model.setRanks(check, RankFindings(*check));
    if (comes == TRanksCome::OfAnotherCheck) model.setRanks(other, RankFindings(*other));
    bool sorted = false;
    std::vector<TFindingFacts> expected;
    for (int row = 0; row < model.rowCount(); ++row) expected.push_back(model.factsAt(row));
    ASSERT_EQ(expected.size(), findings.size() - 1);
    for (const int column : {kFindPayment, kFindSeverity, kFindRecord, kFindField, kFindExpected, kFindFound,
                             kFindSentence, kFindPayment, kFindRecord, kFindSeverity})
      for (const Qt::SortOrder order : {Qt::DescendingOrder, Qt::AscendingOrder}) {
        SCOPED_TRACE(testing::Message() << "column " << column << (order == Qt::AscendingOrder ? " up" : " down"));
        model.sort(column, order);
        if (!std::exchange(sorted, true) && comes == TRanksCome::AfterTheFirstSort)
          model.setRanks(check, RankFindings(*check));
        std::stable_sort(expected.begin(), expected.end(), [&](const TFindingFacts& a, const TFindingFacts& b) {
          return order == Qt::AscendingOrder ? key(column, a) < key(column, b) : key(column, b) < key(column, a);
        });
        for (int row = 0; row < model.rowCount(); ++row) {
          const TFindingFacts& want = expected[static_cast<std::size_t>(row)];
          EXPECT_EQ(model.factsAt(row).Sentence.data(), want.Sentence.data()) << "row " << row;
        }
      }
  }
}

}  // namespace
}  // namespace quandel::test

#include "dtaus_builder.h"
#include "temp_dir.h"

namespace quandel::test {
namespace {

// The column "Satz, Byte" and the CSV name the byte where the core found each kind: the field
// in the record concerned, counted from 1 as the sentences count.
TEST(FindingsModelTest, EachFindingNamesItsByteInTheFile) {
  using testdta::CRecord;
  const std::string good = testdta::File(testdta::ARecord(), {CRecord(), CRecord()});
  const std::size_t cLength = (good.size() - 256) / 2;
  std::string wrongTotal = good;
  wrongTotal.replace(good.size() - 128 + 64, 13, "0000000024691");  // positions 65-77
  std::string trailing = good + "XYZ";
  struct Case {
    const char* name;
    std::string bytes;
    bool failingAccount;  // the second payment's account fails its check digit
    TFindingKind kind;
    const char* record;
    std::int64_t byte;
  };
  const std::vector<Case> cases{
      {"total in the E record", wrongTotal, false, TFindingKind::Total, "E-Satz",
       static_cast<std::int64_t>(good.size()) - 128 + 65},
      {"check digit in the second C record", good, true, TFindingKind::Account, "C-Satz",
       static_cast<std::int64_t>(128 + cLength + 22)},  // account number: positions 22-31
      {"bytes after the E record", trailing, false, TFindingKind::Trailer, "Datei",
       static_cast<std::int64_t>(good.size()) + 1},
  };
  quandel_test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ombra::TDtaus doc;
    auto check = std::make_shared<TViewerCheck>();
    check->File = ombra::LoadAndCheck(doc, dir.Write("byte.dta", c.bytes), ombra::TRegionalSettings::de_DE());
    ASSERT_TRUE(check->File.Loaded);
    if (c.failingAccount) {
      ombra::TAccountChecks accounts;
      const auto bank = std::make_shared<const ombra::TBank>(ombra::TBank{"Sparkasse", "Hamburg", "00"});
      accounts.Sender = {ombra::TAccountVerdict::Passes, bank};
      accounts.Payments = {{ombra::TAccountVerdict::Passes, bank}, {ombra::TAccountVerdict::Fails, bank}};
      ombra::AddAccountFindings(check->File, doc, accounts, "20.04.2020");
    }
    TFindingsModel model;
    model.setCheck(check);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.factsAt(0).Kind, c.kind);
    const QString cell = QString::fromUtf8(c.record) + QStringLiteral(", Byte ") +
                         QLocale(QLocale::German).toString(static_cast<qlonglong>(c.byte));
    EXPECT_EQ(model.cellText(0, kFindRecord), cell);
    QList<QByteArray> csv;
    WriteFindingsCsv(model, model.titles(), [&](const QByteArray& line) { csv << line; });
    ASSERT_EQ(csv.size(), 2);
    EXPECT_TRUE(csv[1].contains(";" + cell.toUtf8() + ";")) << csv[1].toStdString();
  }
}

}  // namespace
}  // namespace quandel::test
