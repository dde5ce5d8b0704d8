// json and csv of 100,000 payments inside the process: formatted from each record as it is
// read (what quandel-cli does), beside loading the document first and writing it with the
// rows split across processors (the document's own writers). The whole-process figures and
// the comparison with the PHP reader are in cli_bench.sh.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "bench_support.h"
#include "csv_export.h"
#include "dtaus.h"
#include "held_output.h"
#include "json_export.h"

namespace {

using bench::SampleFile;

const ombra::TRegionalSettings kGerman = ombra::TRegionalSettings::de_DE();

// Counts what an export writes; the bytes themselves go nowhere, as to /dev/null.
struct TCount {
  std::size_t Bytes = 0;
  void operator()(std::string_view bytes) { Bytes += bytes.size(); }
};

void Report(benchmark::State& state, std::size_t bytes) {
  state.SetItemsProcessed(state.iterations() * 100000);
  state.counters["output MB"] = static_cast<double>(bytes) / 1e6;
}

// Times `write` (which hands its bytes to the counter and says whether the file loaded) and
// reports the bytes of the last run.
template <typename TWrite>
void TimeExport(benchmark::State& state, TWrite write) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    TCount count;
    if (!write([&count](std::string_view b) { count(b); })) state.SkipWithError("load failed");
    bytes = count.Bytes;
  }
  Report(state, bytes);
}

void BM_StreamJson(benchmark::State& state) {
  TimeExport(state, [](const auto& put) {
    ombra::TDtaus doc;
    cli::StreamDocumentJson(doc, SampleFile(), kGerman, put);
    return !doc.LoadFailed();
  });
}
BENCHMARK(BM_StreamJson)->Unit(benchmark::kMillisecond);

void BM_LoadThenJson(benchmark::State& state) {
  TimeExport(state, [](const auto& put) {
    ombra::TDtaus doc;
    doc.Load(SampleFile(), kGerman);
    cli::WriteDocumentJson(doc, put);
    return !doc.LoadFailed();
  });
}
BENCHMARK(BM_LoadThenJson)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StreamCsv(benchmark::State& state) {
  TimeExport(state, [](const auto& put) {
    ombra::TDtaus doc;
    cli::THeldOutput rows;
    cli::StreamCsvRows(doc, SampleFile(), kGerman, nullptr, rows);
    cli::WriteCsvHeader(kGerman, false, put);
    rows.WriteTo(put);
    return !doc.LoadFailed();
  });
}
BENCHMARK(BM_StreamCsv)->Unit(benchmark::kMillisecond);

void BM_LoadThenCsv(benchmark::State& state) {
  TimeExport(state, [](const auto& put) {
    ombra::TDtaus doc;
    doc.Load(SampleFile(), kGerman);
    cli::WriteCsv(doc, kGerman, put);
    return !doc.LoadFailed();
  });
}
BENCHMARK(BM_LoadThenCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
