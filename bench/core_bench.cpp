// Reading and rendering speed of a generated file of 100,000 payments, and the peak memory
// of one load and render relative to the file's size (measured first, in a fresh heap).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "dtaus.h"

namespace {

using bench::SampleFile;

std::int64_t FileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

// Peak resident memory added by one load and render, as a multiple of the file's size. The
// page is streamed line by line, as both programs write it; the document is what stays.
void BM_PeakMemoryOfLoadAndRender(benchmark::State& state) {
  const std::string& file = SampleFile();
  double ratio = 0;
  for (auto _ : state) {
    malloc_trim(0);                                 // memory freed earlier must not hide the growth
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the high-water mark
    const long before = bench::StatusKiB("VmRSS:");
    {
      ombra::TDtaus doc;
      doc.Load(file);
      std::size_t bytes = 0;
      doc.RenderControlList([&bytes](std::string&& line) { bytes += line.size(); }, "");
      benchmark::DoNotOptimize(bytes);
    }
    const long peak = bench::StatusKiB("VmHWM:");
    ratio = static_cast<double>(peak - before) * 1024.0 / static_cast<double>(FileSize(file));
  }
  state.counters["peak/file"] = ratio;
}
BENCHMARK(BM_PeakMemoryOfLoadAndRender)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
  const std::string& file = SampleFile();
  ombra::TDtaus doc;
  for (auto _ : state) {
    doc.Load(file);
    if (!doc.ErrorText.empty()) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(state.iterations() * FileSize(file));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(doc.SatzCList.size()));
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_RenderControlList(benchmark::State& state) {
  ombra::TDtaus doc;
  doc.Load(SampleFile());
  for (auto _ : state) {
    ombra::TLineList lines;
    doc.RenderControlList(lines, "Fu\xDF");
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(doc.SatzCList.size()));
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(doc.SatzCList.size()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderControlList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
