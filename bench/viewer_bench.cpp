// How the viewer copes with big files, measured from ShowFile as the user meets it: the time
// until the summary and the first rows are on screen, until the list is complete, the longest
// time the event loop is held (ShowFile's own synchronous part reported apart), the peak
// memory, the longest stall while the window is resized with all rows shown, and the longest
// stall of a refresh (F5), which keeps the first row in sight. Files come
// from gen_dtaus. Runs headless (QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "bench_support.h"
#include "browser_view.h"
#include "control_list_view.h"
#include "mainForm.h"
#include "qt_bench_main.h"
#include "qt_platform.h"
#include "stall_meter.h"

namespace {

// Sleeps in the event loop between looks, leaving the processor to the worker thread.
void RunUntil(const std::function<bool()>& done) {
  QTimer wake;
  wake.start(5);
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Dialogs that never come up and a message box that only counts.
class TSilentMessages : public quandel::IMessageBox {
 public:
  void ShowMessage(const QString&) override { ++shown; }
  void ShowError(const QString&) override { ++shown; }
  std::optional<int> Choose(const QString&, const QStringList&, const QString&) override {
    ++shown;
    return std::nullopt;
  }
  int shown = 0;
};
class TNoOpenDialog : public quandel::IOpenDialog {
 public:
  std::optional<QString> Execute(const quandel::TOpenDialogSettings&) override { return std::nullopt; }
};
// Cancels, unless told to print to a PDF file.
class TPrintDialog : public quandel::IPrintDialog {
 public:
  bool Execute(QPrinter& printer, bool) override {
    if (pdf.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  }
  QString pdf;
};

// A main window as the tests build it: its own program folder and current folder.
struct TViewer {
  TViewer() : messages(std::make_shared<TSilentMessages>()) {
    QDir::setCurrent(work.path());
    quandel::TViewerPlatform platform;
    platform.messages = messages;
    platform.openDialog = std::make_shared<TNoOpenDialog>();
    platform.printDialog = printDialog;
    // The desktop's own progress dialog: its painting is part of what a print costs.
    platform.printProgress = quandel::QtViewerPlatform().printProgress;
    platform.openUrl = [](const std::string&) {};
    form = std::make_unique<quandel::TmainForm>(platform, QStringList{QStringLiteral("quandel")},
                                                program.path());
    form->resize(1000, 700);
    form->show();
    QCoreApplication::processEvents();
  }
  ~TViewer() {
    form.reset();
    QDir::setCurrent(oldCurrent);
  }
  quandel::TBrowserView& view() const { return *form->WebBrowser1; }
  bool FirstRowsShown() const { return view().showsList() && view().listView()->visibleRows().second > 0; }
  // The page written too, not only the list measured.
  bool Complete() const { return FirstRowsShown() && view().listView()->isComplete() && !form->isLoading(); }

  QString oldCurrent = QDir::currentPath();
  QTemporaryDir program;
  QTemporaryDir work;
  std::shared_ptr<TSilentMessages> messages;
  std::shared_ptr<TPrintDialog> printDialog = std::make_shared<TPrintDialog>();
  std::unique_ptr<quandel::TmainForm> form;
};

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
