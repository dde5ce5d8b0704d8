// The check's verdict on a file of a million payments whose every account fails, and the
// panel "Befunde" over its million findings: how long the window is held when the verdict
// arrives (bar, row marks, panel), when the panel first shows, when it scrolls to its last
// finding, and when it sorts and filters. The findings are made here, as the check makes them;
// the check itself runs in a worker and is measured by the command line's benchmarks.
// Runs headless (QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <ctime>
#include <memory>
#include <string>

#include "bank_directory.h"
#include "check_runner.h"
#include "check_view.h"
#include "findings_panel.h"
#include "findings_ranks.h"
#include "list_fixture.h"
#include "mainForm.h"
#include "qt_bench_main.h"
#include "viewer_window.h"

namespace {

constexpr std::int64_t kPayments = 1000000;

// Every account of the million fails its check digit, as in a file judged by the wrong directory.
quandel::TViewerCheckResult MillionFailingAccounts() {
  auto check = std::make_shared<quandel::TViewerCheck>();
  check->File.Loaded = true;
  check->Payments = kPayments;
  check->File.Accounts.Checked = true;
  check->File.Accounts.DirectoryDate = "20.04.2020";
  check->File.Accounts.Accounts = kPayments + 1;
  check->File.Accounts.WrongCheckDigit = kPayments;
  check->Accounts.Payments.resize(static_cast<std::size_t>(kPayments));
  check->File.Findings.reserve(static_cast<std::size_t>(kPayments));
  for (std::int64_t n = 1; n <= kPayments; ++n) {
    check->Accounts.Payments[static_cast<std::size_t>(n - 1)].Verdict = ombra::TAccountVerdict::Fails;
    check->File.Findings.push_back({ombra::TSeverity::Error,
                                    ombra::TFindingKind::Account,
                                    'C',
                                    n,
                                    "Kontonummer",
                                    "g\xFCltige Kontonummer",
                                    "1234567890",
                                    "Zahlung " + std::to_string(n) +
                                        ": Kontonummer 1234567890 ist bei der Bank 200 505 50 (Hamburger "
                                        "Sparkasse, Hamburg) nicht g\xFCltig (Pr\xFC"
                                        "fziffer falsch)",
                                    -1,
                                    {},
                                    {}});
  }
  return check;
}

const quandel::TViewerCheckResult& Check() {
  static const quandel::TViewerCheckResult check = MillionFailingAccounts();
  return check;
}

// As the check's worker makes them after the verdict, so the panel sorts as it does in the
// window once they came.
const std::shared_ptr<const quandel::TFindingRanks>& Ranks() {
  static const std::shared_ptr<const quandel::TFindingRanks> ranks = quandel::RankFindings(*Check());
  return ranks;
}

// A model over the million findings with their ranks. The ranks are made first, as when the
// check carried them: making them frees much memory, and a first sort meeting a heap grown
// that way or not differs by more than the sorts being measured.
void TakeCheck(quandel::TFindingsModel& model) {
  const std::shared_ptr<const quandel::TFindingRanks>& ranks = Ranks();
  model.setCheck(Check());
  model.setRanks(Check(), ranks);
}

// The longest of the iterations: a stall is what the user meets at worst.
void Longest(benchmark::State& state, const char* name, double ms) {
  benchmark::Counter& counter = state.counters[name];
  counter = std::max(counter.value, ms);
}

template <typename F>
double Ms(F&& f) {
  QElapsedTimer clock;
  clock.start();
  f();
  QCoreApplication::processEvents();
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// The verdict arriving from the worker: bar, marks and panel, all on the window's thread. The
// ranks are made first, as when the check carried them: the first verdict meeting a heap this
// thread has not grown yet takes its page faults, some 60 ms here, which would hide what the
// window itself costs.
void BM_VerdictArrives(benchmark::State& state) {
  const bench::TViewerWindow window;
  quandel::TmainForm* form = window.form.get();
  Ranks();
  for (auto _ : state) {
    Longest(state, "held_ms", Ms([&] { emit form->checkView->runner()->finished(Check()); }));
    form->checkView->clear();
  }
}
BENCHMARK(BM_VerdictArrives)->Unit(benchmark::kMillisecond)->Iterations(2);

// Knows every bank and fails every account: a million findings, as from the wrong directory.
class TFailingDirectory final : public ombra::TBankDirectory {
 public:
  std::optional<ombra::TBank> FindBank(std::string_view) const override {
    return ombra::TBank{"Hamburger Sparkasse", "Hamburg", "00"};
  }
  ombra::TAccountVerdict CheckAccount(std::string_view, std::string_view) const override {
    return ombra::TAccountVerdict::Fails;
  }
  std::string DataDate() const override { return "20.04.2020"; }
};

// What the user waits for once the list is up: from the start of the check of a million
// payments, every account failing, to its verdict on the window's thread; and on to the ranks
// of its findings, which the panel sorts by, made after the verdict.
void BM_VerdictAfterCheck(benchmark::State& state) {
  const auto document = bench::LoadedDocument(static_cast<int>(kPayments));
  auto fileCheck = std::make_shared<ombra::TFileCheck>();
  fileCheck->Loaded = true;
  quandel::TCheckRunner runner([] { return std::make_unique<TFailingDirectory>(); });
  QElapsedTimer clock;
  double verdictMs = -1;
  double ranksMs = -1;
  const auto now = [&clock] { return static_cast<double>(clock.nsecsElapsed()) / 1e6; };
  QObject::connect(&runner, &quandel::TCheckRunner::finished, [&] { verdictMs = now(); });
  QObject::connect(&runner, &quandel::TCheckRunner::ranked, [&] { ranksMs = now(); });
  for (auto _ : state) {
    verdictMs = ranksMs = -1;
    clock.start();
    runner.start(document, fileCheck);
    bench::RunUntil([&] { return verdictMs >= 0 && ranksMs >= 0; });
    Longest(state, "verdict_ms", verdictMs);
    Longest(state, "ranks_ms", ranksMs);
  }
}
BENCHMARK(BM_VerdictAfterCheck)->Unit(benchmark::kMillisecond)->Iterations(2);

// The panel brought up over a million findings, then scrolled to its last.
void BM_PanelOpensAndScrolls(benchmark::State& state) {
  const bench::TViewerWindow window;
  quandel::TmainForm* form = window.form.get();
  emit form->checkView->runner()->finished(Check());
  quandel::TFindingsPanel& panel = *form->checkView->panel();
  for (auto _ : state) {
    Longest(state, "open_ms", Ms([&] { panel.show(); }));
    Longest(state, "scroll_end_ms", Ms([&] { panel.table()->scrollToBottom(); }));
    Longest(state, "scroll_top_ms", Ms([&] { panel.table()->scrollToTop(); }));
    panel.hide();
  }
}
BENCHMARK(BM_PanelOpensAndScrolls)->Unit(benchmark::kMillisecond)->Iterations(3);

// Sorting and filtering by kind over the million, in the model itself.
void BM_PanelSortsAndFilters(benchmark::State& state) {
  quandel::TFindingsModel model;
  TakeCheck(model);
  for (auto _ : state) {
    Longest(state, "sort_payment_ms", Ms([&] { model.sort(quandel::kFindPayment, Qt::DescendingOrder); }));
    Longest(state, "sort_sentence_ms", Ms([&] { model.sort(quandel::kFindSentence, Qt::AscendingOrder); }));
    Longest(state, "filter_ms", Ms([&] { model.setKindFilter(ombra::TFindingKind::Account); }));
    model.setKindFilter(std::nullopt);
  }
}
BENCHMARK(BM_PanelSortsAndFilters)->Unit(benchmark::kMillisecond)->Iterations(2);

// The time this thread ran while `f` ran: on a machine shared with other work the clock on
// the wall says more of the others than of `f`.
template <typename F>
double CpuMs(F&& f) {
  timespec start{}, end{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
  f();
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
  return static_cast<double>(end.tv_sec - start.tv_sec) * 1e3 +
         static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e6;
}

// Sorting by the text columns over the million, each sort from the order the last left: the
// sentences up and down (they begin alike, "Zahlung 12: …"), and a column whose texts are all
// equal. Each at most 100 ms; the window's stall and this thread's own time.
void BM_PanelSortsByText(benchmark::State& state) {
  quandel::TFindingsModel model;
  TakeCheck(model);
  const auto both = [&](const char* name, int column, Qt::SortOrder order) {
    double cpu = 0;
    Longest(state, name, Ms([&] { cpu = CpuMs([&] { model.sort(column, order); }); }));
    Longest(state, (std::string(name) + "_cpu").c_str(), cpu);
  };
  for (auto _ : state) {
    both("sentence_up_ms", quandel::kFindSentence, Qt::AscendingOrder);
    both("sentence_down_ms", quandel::kFindSentence, Qt::DescendingOrder);
    both("found_ms", quandel::kFindFound, Qt::AscendingOrder);
    model.sort(quandel::kFindPayment, Qt::AscendingOrder);
  }
}
BENCHMARK(BM_PanelSortsByText)->Unit(benchmark::kMillisecond)->Iterations(2);

// Every column in both directions, each sort from the order the last left: the longest, by
// the clock and by this thread's own time.
void BM_PanelSortsEveryColumn(benchmark::State& state) {
  quandel::TFindingsModel model;
  TakeCheck(model);
  for (auto _ : state) {
    for (int column = 0; column < quandel::kFindColumnCount; ++column)
      for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        double cpu = 0;
        Longest(state, "longest_ms", Ms([&] { cpu = CpuMs([&] { model.sort(column, order); }); }));
        Longest(state, "longest_cpu_ms", cpu);
      }
  }
}
BENCHMARK(BM_PanelSortsEveryColumn)->Unit(benchmark::kMillisecond)->Iterations(2);

// Taking the ranks, as the check's worker does once per result: not on the window's thread.
void BM_FindingsRanked(benchmark::State& state) {
  Check();
  for (auto _ : state) benchmark::DoNotOptimize(quandel::RankFindings(*Check()));
}
BENCHMARK(BM_FindingsRanked)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
