// How the viewer copes with big files, measured from ShowFile as the user meets it: the time
// until the summary and the first rows are on screen, until the list is complete, the longest
// time the event loop is held (ShowFile's own synchronous part reported apart), the peak
// memory, the longest stall while the window is resized with all rows shown, and the longest
// stall of a refresh (F5), which keeps the first row in sight. Files come
// from gen_dtaus. Runs headless (QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <fstream>

#include "bench_support.h"
#include "list_fixture.h"
#include "qt_bench_main.h"
#include "stall_meter.h"
#include "viewer_window.h"

namespace {

using bench::RunUntil;
using TViewer = bench::TViewerWindow;

void BM_ShowFile(benchmark::State& state) {
  const int payments = static_cast<int>(state.range(0));
  const QString file = QString::fromStdString(bench::GeneratedFile(payments));
  qint64 showFileMs = 0, firstRowsMs = 0, completeMs = 0, longestGap = 0, longestGapLoading = 0;
  long peakMiB = 0;
  for (auto _ : state) {
    TViewer viewer;
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the high-water mark
    bench::TStallMeter stalls;
    QElapsedTimer clock;
    bool called = false;
    // Called from the event loop, so the stall meter sees ShowFile's own time as a gap too.
    QTimer::singleShot(0, viewer.form.get(), [&] {
      clock.start();
      viewer.form->ShowFile(file);
      showFileMs = clock.elapsed();
      called = true;
    });
    RunUntil([&] { return called; });
    longestGap = stalls.LongestGapMs();
    stalls.Reset();
    RunUntil([&] { return viewer.FirstRowsShown(); });
    viewer.view().listView()->viewport()->repaint();
    firstRowsMs = clock.elapsed();
    RunUntil([&] { return viewer.Complete(); });
    viewer.view().listView()->viewport()->repaint();
    completeMs = clock.elapsed();
    longestGapLoading = stalls.LongestGapMs();
    longestGap = std::max(longestGap, longestGapLoading);
    state.SetIterationTime(static_cast<double>(completeMs) / 1000.0);
    peakMiB = bench::StatusKiB("VmHWM:") / 1024;
    if (viewer.messages->shown != 0) state.SkipWithError("the viewer reported an error");
    if (viewer.view().listView()->rowCount() != payments) state.SkipWithError("rows missing");
  }
  state.counters["showfile_ms"] = static_cast<double>(showFileMs);
  state.counters["first_rows_ms"] = static_cast<double>(firstRowsMs);
  state.counters["complete_ms"] = static_cast<double>(completeMs);
  state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
  state.counters["gap_after_showfile_ms"] = static_cast<double>(longestGapLoading);
  state.counters["peak_MiB"] = static_cast<double>(peakMiB);
}
BENCHMARK(BM_ShowFile)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// F5 with the list scrolled half way: the longest stall until the reloaded list is complete,
// and whether the same first row is in sight afterwards (kept_row 1).
void BM_Refresh(benchmark::State& state) {
  const int payments = static_cast<int>(state.range(0));
  const QString file = QString::fromStdString(bench::GeneratedFile(payments));
  TViewer viewer;
  viewer.form->ShowFile(file);
  RunUntil([&] { return viewer.Complete(); });
  qint64 refreshMs = 0, longest = 0;
  bool kept = true;
  for (auto _ : state) {
    quandel::TControlListView& list = *viewer.view().listView();
    list.scrollToRow(payments / 2, 5);
    const std::pair<int, int> top = list.firstVisibleRow();
    bench::TStallMeter stalls;
    QElapsedTimer clock;
    clock.start();
    viewer.form->fileUpdateDtaus->trigger();
    RunUntil([&] { return viewer.Complete(); });
    refreshMs = clock.elapsed();
    longest = std::max(longest, stalls.LongestGapMs());
    kept = kept && viewer.view().listView()->firstVisibleRow() == top;
    state.SetIterationTime(static_cast<double>(refreshMs) / 1000.0);
  }
  if (viewer.messages->shown != 0) state.SkipWithError("the viewer reported an error");
  state.counters["refresh_ms"] = static_cast<double>(refreshMs);
  state.counters["longest_gap_ms"] = static_cast<double>(longest);
  state.counters["kept_row"] = kept ? 1.0 : 0.0;
}
BENCHMARK(BM_Refresh)->Arg(1000000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The window resized back and forth with the whole list shown.
void BM_ResizeWindow(benchmark::State& state) {
  const int payments = static_cast<int>(state.range(0));
  const QString file = QString::fromStdString(bench::GeneratedFile(payments));
  TViewer viewer;
  viewer.form->ShowFile(file);
  RunUntil([&] { return viewer.Complete(); });
  qint64 longest = 0;
  for (auto _ : state) {
    bench::TStallMeter stalls;
    for (int i = 0; i < 50; ++i) {
      viewer.form->resize(i % 2 == 0 ? QSize(700, 500) : QSize(1400, 900));
      QCoreApplication::processEvents();
      QCoreApplication::processEvents();
    }
    longest = std::max(longest, stalls.LongestGapMs());
  }
  state.counters["longest_gap_ms"] = static_cast<double>(longest);
}
BENCHMARK(BM_ResizeWindow)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The whole list printed to a PDF file through the print dialog, with the progress dialog up:
// how long it takes, and the longest time the window is held meanwhile.
void BM_PrintPdf(benchmark::State& state) {
  const int payments = static_cast<int>(state.range(0));
  const QString file = QString::fromStdString(bench::GeneratedFile(payments));
  TViewer viewer;
  viewer.form->ShowFile(file);
  RunUntil([&] { return viewer.Complete(); });
  viewer.printDialog->pdf = viewer.work.filePath(QStringLiteral("liste.pdf"));
  qint64 printMs = 0, longestGap = 0;
  for (auto _ : state) {
    bench::TStallMeter stalls;
    QElapsedTimer clock;
    bool done = false;
    QTimer::singleShot(0, viewer.form.get(), [&] {
      clock.start();
      viewer.form->filePrint->trigger();
      printMs = clock.elapsed();
      done = true;
    });
    RunUntil([&] { return done; });
    longestGap = stalls.LongestGapMs();
    state.SetIterationTime(static_cast<double>(printMs) / 1000.0);
    if (viewer.messages->shown != 0) state.SkipWithError("the print reported a failure");
  }
  state.counters["print_ms"] = static_cast<double>(printMs);
  state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
  state.counters["pdf_MiB"] =
      static_cast<double>(QFileInfo(viewer.printDialog->pdf).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_PrintPdf)->Arg(100000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
