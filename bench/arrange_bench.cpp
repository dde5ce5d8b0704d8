// Sorting, filtering and summing a big list as the viewer does it: the sort keys of a column
// (made once per file), the order of a million rows from them, a filter by amount and by text,
// the model of the arranged rows made and handed to the view (the only part in the window's
// thread), and the sum of a selection. Beside them, as a peer, Qt's QSortFilterProxyModel
// sorting the same rows by their shown texts. Files come from gen_dtaus. Runs headless.
#include <benchmark/benchmark.h>

#include <QSortFilterProxyModel>

#include <atomic>
#include <memory>

#include "control_list_view.h"
#include "list_arranger.h"
#include "list_fixture.h"
#include "product.h"
#include "qt_bench_main.h"
#include "summary_text.h"

namespace {

using quandel::TListArranger;
const std::atomic<bool> kGoOn{false};
const TListArranger::TStop kNeverStop;

using bench::FileModel;

TListArranger::TInputs Inputs(int payments, quandel::TSortOrder sort, quandel::TRowFilter filter = {}) {
  return {FileModel(payments), sort, std::move(filter), nullptr, nullptr, nullptr};
}

// The keys of one column from the document: once per file and column.
void BM_SortKeys(benchmark::State& state) {
  const auto model = FileModel(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    quandel::TColumnKeys keys(model->document(), static_cast<int>(state.range(1)));
    benchmark::DoNotOptimize(keys);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortKeys)
    ->ArgsProduct({{1000000},
                   {quandel::kColName, quandel::kColKonto, quandel::kColPurpose, quandel::kColAmount}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// A header click with the keys made: the order of the rows shown, in the worker.
void BM_Sort(benchmark::State& state) {
  const int payments = static_cast<int>(state.range(0));
  TListArranger::TInputs inputs = Inputs(payments, {static_cast<int>(state.range(1)), state.range(2) != 0});
  inputs.keys = std::make_shared<quandel::TColumnKeys>(inputs.file->document(), inputs.sort.column);
  for (auto _ : state) benchmark::DoNotOptimize(TListArranger::Arrange(inputs, kNeverStop));
  state.SetItemsProcessed(state.iterations() * payments);
}
BENCHMARK(BM_Sort)
    ->ArgsProduct({{100000, 1000000}, {quandel::kColName, quandel::kColAmount}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The first click on a column: its keys and the order, all in the worker.
void BM_SortFirstClick(benchmark::State& state) {
  const int payments = static_cast<int>(state.range(0));
  const TListArranger::TInputs inputs = Inputs(payments, {static_cast<int>(state.range(1)), false});
  for (auto _ : state) benchmark::DoNotOptimize(TListArranger::Arrange(inputs, kNeverStop));
  state.SetItemsProcessed(state.iterations() * payments);
}
BENCHMARK(BM_SortFirstClick)
    ->ArgsProduct({{1000000}, {quandel::kColName, quandel::kColAmount}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The peer: a proxy model sorting the shown texts of the amount column.
void BM_ProxySortPeer(benchmark::State& state) {
  const auto model = FileModel(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(model.get());
    proxy.sort(quandel::kColAmount);
    benchmark::DoNotOptimize(proxy.mapToSource(proxy.index(0, 0)));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ProxySortPeer)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

void RunFilter(benchmark::State& state, const TListArranger::TInputs& inputs) {
  std::size_t shown = 0;
  for (auto _ : state) shown = TListArranger::Arrange(inputs, kNeverStop).rows->size();
  state.counters["shown"] = static_cast<double>(shown);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FilterAmounts(benchmark::State& state) {
  quandel::TRowFilter filter;
  filter.amounts = quandel::ParseAmountRange(QStringLiteral("100..5000"));
  RunFilter(state, Inputs(static_cast<int>(state.range(0)), {}, filter));
}
BENCHMARK(BM_FilterAmounts)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Typing in the filter once the text index is there (made once per file, as for find).
void BM_FilterText(benchmark::State& state) {
  quandel::TRowFilter filter;
  filter.text = QStringLiteral("rechnung 12");
  TListArranger::TInputs inputs = Inputs(static_cast<int>(state.range(0)), {}, filter);
  inputs.index = quandel::TFindIndex::Build(inputs.file->document(), inputs.file->regionalSettings(), kGoOn);
  RunFilter(state, inputs);
}
BENCHMARK(BM_FilterText)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

// What the window's thread does with an arranged list: make its model, swap the rows, carry the
// selection over.
void BM_ShowArranged(benchmark::State& state) {
  const int payments = static_cast<int>(state.range(0));
  quandel::TControlListView view;
  view.resize(800, 600);
  view.setModel(FileModel(payments));
  view.selectAll();
  const auto sorted = TListArranger::Arrange(Inputs(payments, {quandel::kColAmount, false}), kNeverStop);
  const auto reversed = TListArranger::Arrange(Inputs(payments, {quandel::kColAmount, true}), kNeverStop);
  bool flip = false;
  for (auto _ : state) {
    view.showArranged(TListArranger::ShownModel((flip = !flip) ? sorted : reversed));
    benchmark::DoNotOptimize(view.rowCount());
  }
  state.SetItemsProcessed(state.iterations() * payments);
}
BENCHMARK(BM_ShowArranged)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(4);

// The strip's text for a selection of `range(1)` separate runs of rows in a sorted list.
void BM_SelectionSum(benchmark::State& state) {
  const int payments = static_cast<int>(state.range(0));
  const auto sorted = TListArranger::ShownModel(
      TListArranger::Arrange(Inputs(payments, {quandel::kColName, false}), kNeverStop));
  std::vector<std::pair<int, int>> ranges;
  const int runs = static_cast<int>(state.range(1));
  const int step = payments / runs;
  for (int run = 0; run < runs; ++run) ranges.emplace_back(run * step, run * step + step / 2);
  for (auto _ : state) benchmark::DoNotOptimize(quandel::SummaryText(*sorted, ranges));
  state.SetItemsProcessed(state.iterations() * runs);
}
BENCHMARK(BM_SelectionSum)->Args({1000000, 1})->Args({1000000, 10000})->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
