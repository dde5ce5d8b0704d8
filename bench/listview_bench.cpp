// How quickly the control-list view shows big pages: parsing, the time to the first rows and to
// the complete list, the longest time the event loop is held while a page loads and while the
// window is resized, and the peak memory. Pages come from generated DTAUS files, loaded and
// rendered by the core as the viewer does. Runs headless (QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "bench_support.h"
#include "qt_bench_main.h"
#include "control_list_view.h"
#include "dtaus.h"
#include "stall_meter.h"
#include "product.h"

namespace {

const QByteArray& Page(int payments) {
  static std::map<int, QByteArray> pages;
  QByteArray& page = pages[payments];
  if (!page.isEmpty()) return page;
  const std::string file = bench::GeneratedFile(payments);
  ombra::TDtaus doc;
  doc.Load(file);
  if (!doc.ErrorText.empty()) std::abort();
  ombra::TLineList lines;
  doc.RenderControlList(lines, support::FooterText());
  for (const std::string& line : lines) {
    page.append(line.data(), static_cast<qsizetype>(line.size()));
    page.append("\r\n");
  }
  return page;
}

void RunUntil(const std::function<bool()>& done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

void BM_ParseControlList(benchmark::State& state) {
  const QByteArray& page = Page(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto parsed = quandel::ParseControlList(page);
    if (!parsed) state.SkipWithError("page not recognised");
    benchmark::DoNotOptimize(parsed);
  }
  state.SetBytesProcessed(state.iterations() * page.size());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseControlList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// From the page's bytes to the complete list on screen, as the browser view would show it.
void BM_ShowControlList(benchmark::State& state) {
  const QByteArray& page = Page(static_cast<int>(state.range(0)));
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
    // Inside the event loop, so that the stall meter sees the parsing too.
    QTimer::singleShot(0, &view, [&] {
      auto parsed = quandel::ParseControlList(page);
      if (!parsed) std::abort();
      view.setPage(std::move(*parsed));
    });
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
BENCHMARK(BM_ShowControlList)->Arg(10000)->Arg(100000)->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Resizing a window that shows a long list, also while its columns are still being measured.
void BM_ResizeControlList(benchmark::State& state) {
  const QByteArray& page = Page(static_cast<int>(state.range(0)));
  quandel::TControlListView view;
  view.resize(1000, 700);
  view.show();
  auto parsed = quandel::ParseControlList(page);
  if (!parsed) std::abort();
  view.setPage(std::move(*parsed));
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

int main(int argc, char** argv) {
  return bench::RunQtBenchmarks(argc, argv);
}
