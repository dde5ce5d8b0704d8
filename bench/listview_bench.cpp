// How quickly the control-list view shows big lists: making the model over a document, the time
// to the first rows and to the complete list, the longest time the event loop is held while a
// list is shown and while the window is resized, and the peak memory. Documents come from
// generated DTAUS files, loaded by the core as the viewer does. Runs headless
// (QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>

#include <fstream>

#include "control_list_view.h"
#include "list_fixture.h"
#include "qt_bench_main.h"
#include "stall_meter.h"

namespace {

using bench::LoadedDocument;
using bench::NewFileModel;
using bench::RunUntil;

void BM_MakeModel(benchmark::State& state) {
  LoadedDocument(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto list = NewFileModel(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(list);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MakeModel)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// From the loaded document to the complete list on screen, as the browser view shows it.
void BM_ShowControlList(benchmark::State& state) {
  LoadedDocument(static_cast<int>(state.range(0)));
  qint64 firstShown = 0, complete = 0, longestGap = 0;
  long peakMiB = 0;
  for (auto _ : state) {
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the high-water mark
    quandel::TControlListView view;
    view.resize(1000, 700);
    view.show();
    QCoreApplication::processEvents();
    bool finished = false;
    QObject::connect(&view, &quandel::TControlListView::loadFinished, [&] { finished = true; });
    bench::TStallMeter stalls;
    QElapsedTimer clock;
    clock.start();
    // Inside the event loop, so that the stall meter sees the model being made too.
    QTimer::singleShot(0, &view, [&] { view.setModel(NewFileModel(static_cast<int>(state.range(0)))); });
    RunUntil([&] { return view.hasPage(); });
    view.viewport()->repaint();
    firstShown = clock.elapsed();
    RunUntil([&] { return finished; });
    view.viewport()->repaint();
    complete = clock.elapsed();
    longestGap = stalls.LongestGapMs();
    state.SetIterationTime(static_cast<double>(complete) / 1000.0);
    peakMiB = bench::StatusKiB("VmHWM:") / 1024;
  }
  state.counters["first_rows_ms"] = static_cast<double>(firstShown);
  state.counters["complete_ms"] = static_cast<double>(complete);
  state.counters["longest_stall_ms"] = static_cast<double>(longestGap);
  state.counters["peak_MiB"] = static_cast<double>(peakMiB);
}
BENCHMARK(BM_ShowControlList)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Resizing a window that shows a long list, also while its columns are still being measured.
void BM_ResizeControlList(benchmark::State& state) {
  quandel::TControlListView view;
  view.resize(1000, 700);
  view.show();
  view.setModel(NewFileModel(static_cast<int>(state.range(0))));
  view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
  qint64 longest = 0;
  int resizes = 0;
  for (auto _ : state) {
    for (int width = 400; width <= 1600; width += 37) {
      QElapsedTimer clock;
      clock.start();
      view.resize(width, 300 + width / 3);
      view.viewport()->repaint();
      QCoreApplication::processEvents();
      longest = std::max(longest, clock.elapsed());
      ++resizes;
    }
  }
  state.counters["longest_resize_ms"] = static_cast<double>(longest);
  state.counters["resizes"] = resizes;
}
BENCHMARK(BM_ResizeControlList)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
