// How quickly find answers on a big list: building the index from the document (a worker of
// the pool does it when the find bar first opens; the window's thread only hands it the shared
// document), the first hit after a letter is typed, the count of all hits of a text, a bank
// code typed with blanks and an amount, and copying rows for the clipboard. Files come from
// gen_dtaus. Runs headless (QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>

#include <QMimeData>

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "control_list_view.h"
#include "find_index.h"
#include "list_fixture.h"
#include "qt_bench_main.h"
#include "row_copy.h"

namespace {

const std::atomic<bool> kGoOn{false};

// The rows as the list view shows them, read through the view as copying reads them.
class TViewRows : public quandel::IRowTexts {
 public:
  explicit TViewRows(const quandel::TControlListView& view) : view_(view) {}
  int rowCount() const override { return view_.rowCount(); }
  int columnCount() const override { return view_.columnCount(); }
  QString cellText(int row, int column) const override { return view_.cellText(row, column); }
  QStringList titles() const {
    QStringList titles;
    for (int column = 0; column < columnCount(); ++column) titles << view_.columnTitle(column);
    return titles;
  }

 private:
  const quandel::TControlListView& view_;
};

struct TList {
  explicit TList(int payments) : rows(std::make_unique<TViewRows>(view)) {
    view.setModel(bench::NewFileModel(payments));
  }
  const quandel::TPaymentModel& Model() const { return *view.model(); }
  const quandel::TFindIndex& Index() {
    if (!index) index = quandel::TFindIndex::Build(Model().document(), Model().regionalSettings(), kGoOn);
    return *index;
  }

  quandel::TControlListView view;
  std::unique_ptr<TViewRows> rows;
  std::shared_ptr<const quandel::TFindIndex> index;
};

TList& List(int payments) {
  static std::map<int, std::unique_ptr<TList>> lists;
  auto& list = lists[payments];
  if (!list) list = std::make_unique<TList>(payments);
  return *list;
}

void BM_FindIndexBuild(benchmark::State& state) {
  TList& list = List(static_cast<int>(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    const auto index = quandel::TFindIndex::Build(list.Model().document(), list.Model().regionalSettings(), kGoOn);
    bytes = index->bytes();
    benchmark::DoNotOptimize(index);
  }
  state.counters["index_MB"] = static_cast<double>(bytes) / (1 << 20);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindIndexBuild)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);

// The worst case for the first hit: the only one is in the last row, or there is none.
void BM_FindFirstHit(benchmark::State& state) {
  const int payments = static_cast<int>(state.range(0));
  const quandel::TFindIndex& index = List(payments).Index();
  const ombra::TSearchNeedle needle = quandel::TFindIndex::Needle(
      state.range(1) == 0 ? QStringLiteral("Rechnung %1").arg(payments) : QStringLiteral("kommt nicht vor"));
  for (auto _ : state) benchmark::DoNotOptimize(index.next(needle, 0));
  state.SetLabel(state.range(1) == 0 ? "hit in the last row" : "no hit");
}
BENCHMARK(BM_FindFirstHit)->Args({1000000, 0})->Args({1000000, 1})->Unit(benchmark::kMillisecond);

// All hits of a letter typed first (one in almost every row), of a longer text, of a bank code
// typed with blanks (digits compared without them), of an amount typed as on a statement and
// of an umlaut the file stores as its DIN code (in two rows of three).
void BM_FindCount(benchmark::State& state) {
  const quandel::TFindIndex& index = List(static_cast<int>(state.range(0))).Index();
  const char* const typed[] = {"e", "rechnung 12", "100 012 34", "1.250,00", "münchen"};
  const QString text = QString::fromUtf8(typed[state.range(1)]);
  const ombra::TSearchNeedle needle = quandel::TFindIndex::Needle(text);
  std::size_t hits = 0;
  for (auto _ : state) hits = index.hits(needle, kGoOn).size();
  state.counters["hits"] = static_cast<double>(hits);
  state.SetLabel(text.toStdString());
}
BENCHMARK(BM_FindCount)
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Args({1000000, 2})
    ->Args({1000000, 3})
    ->Args({1000000, 4})
    ->Unit(benchmark::kMillisecond);

// The most rows copied at once, as text and HTML table.
void BM_CopyRows(benchmark::State& state) {
  TList& list = List(1000000);
  const auto rows = static_cast<int>(state.range(0));
  const QStringList titles = list.rows->titles();
  for (auto _ : state) {
    std::unique_ptr<QMimeData> data(quandel::RowsAsMimeData(*list.rows, {{0, rows}}, titles));
    benchmark::DoNotOptimize(data);
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_CopyRows)->Arg(quandel::kMaxCopiedRows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
