// SPDX-License-Identifier: GPL-3.0-or-later
// Hot paths of the core on generated field books: import with captions, the
// record file both ways, and every export kind. Sizes are record counts.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "export/export_writers.h"
#include "records/cp1251.h"
#include "records/import.h"
#include "records/record_file.h"
#include "records/record_find.h"
#include "survey/survey.h"
#include "tools/field_book_generator.h"

namespace quillmar {
namespace {

using tools::FieldBookOptions;
using tools::Layout;

std::string scratchPath(const std::string& name) {
  const char* dir = std::getenv("QUILLMAR_BENCH_DIR");
  return (std::filesystem::path(dir ? dir : "/tmp") / ("quillmar-bench-" + std::to_string(::getpid()) + "-" + name))
      .string();
}

// A generated book on disk, made once per size and layout; `recorded` is the
// share of targets whose coordinates the book records.
const std::string& bookFile(Layout layout, std::size_t records, double recorded = 1.0) {
  static std::map<std::tuple<int, std::size_t, double>, std::string> files;
  auto& path = files[{static_cast<int>(layout), records, recorded}];
  if (path.empty()) {
    path = scratchPath(std::string(layout == Layout::Sdr3x ? "sdr3-" : "sdr2-") + std::to_string(records) +
                       (recorded < 1 ? "-computed" : "") + ".sdr");
    const std::string text = tools::generateFieldBook(FieldBookOptions{layout, records, 7, recorded});
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  return path;
}

// "Импорт" as the document window runs it: captions are made when shown.
void importBook(const std::string& path, RecordList& list) {
  CaptionState captions;
  importSdrRows(path, captions, list);
}

void BM_ImportWithCaptions(benchmark::State& state, Layout layout) {
  const std::string& path = bookFile(layout, static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    RecordList list;
    importBook(path, list);
    benchmark::DoNotOptimize(list.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(BM_ImportWithCaptions, sdr3, Layout::Sdr3x)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImportWithCaptions, sdr2, Layout::Sdr2x)->Arg(100000)->Unit(benchmark::kMillisecond);

// The line buffer and Obrabotka, as reception fills a document.
void BM_Obrabotka(benchmark::State& state) {
  LineBuffer lines;
  const std::size_t count = ImportSdrFile(bookFile(Layout::Sdr3x, static_cast<std::size_t>(state.range(0))), lines);
  for (auto _ : state) {
    RecordList list;
    CaptionState captions;
    Obrabotka(lines, count, captions, list);
    benchmark::DoNotOptimize(list.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Obrabotka)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_RecordFileWrite(benchmark::State& state) {
  RecordList list;
  importBook(bookFile(Layout::Sdr3x, static_cast<std::size_t>(state.range(0))), list);
  const std::string out = scratchPath("write.qdl");
  for (auto _ : state) writeRecordFile(out, list);
  std::filesystem::remove(out);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecordFileWrite)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_RecordFileReadWithCaptions(benchmark::State& state) {
  RecordList source;
  importBook(bookFile(Layout::Sdr3x, static_cast<std::size_t>(state.range(0))), source);
  const std::string file = scratchPath("read.qdl");
  writeRecordFile(file, source);
  for (auto _ : state) {
    RecordList list;
    CaptionState captions;
    openRecordFile(file, captions, list);
    benchmark::DoNotOptimize(list.size());
  }
  std::filesystem::remove(file);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecordFileReadWithCaptions)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_Export(benchmark::State& state, ExportKind kind) {
  RecordList list;
  importBook(bookFile(Layout::Sdr3x, static_cast<std::size_t>(state.range(0))), list);
  const std::string out = scratchPath("export.txt");
  for (auto _ : state) exportToFile(out, list, kind);
  std::filesystem::remove(out);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(BM_Export, captions, ExportKind::CaptionText)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, obs, ExportKind::ObservationTable)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, pos, ExportKind::PositionTable)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, sdr, ExportKind::SdrFile)->Arg(1000000)->Unit(benchmark::kMillisecond);

// An imported book kept for the benchmarks that only read it.
const RecordList& importedBook(std::size_t records) {
  static std::map<std::size_t, std::unique_ptr<RecordList>> lists;
  auto& list = lists[records];
  if (!list) {
    list = std::make_unique<RecordList>();
    importBook(bookFile(Layout::Sdr3x, records), *list);
  }
  return *list;
}

// One step of the find bar: a text that no caption holds, so that every row
// is looked at once, the most a step can cost.
void BM_FindStep(benchmark::State& state, std::string_view text, RecordKind kind) {
  const auto records = static_cast<std::size_t>(state.range(0));
  const RecordList& list = importedBook(records);
  const CaptionMatcher matcher(text);
  for (auto _ : state) benchmark::DoNotOptimize(findRow(list, matcher, kind, 1, Direction::Forward));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(BM_FindStep, cyrillic, "Нет такой точки"_w, RecordKind::All)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindStep, latin, std::string_view("ZZ-404"), RecordKind::All)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindStep, observations, std::string_view("ZZ-404"), RecordKind::Observation)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
// A text that runs into the captions' own words: every observation's caption is looked at.
BENCHMARK_CAPTURE(BM_FindStep, caption_words, "наведения ZZ-404"_w, RecordKind::All)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

// Coordinates of every observation of an imported book: at most what its
// import costs (BM_ImportWithCaptions/sdr3). With every target recorded all
// solutions are check shots; with half, half the targets are computed points.
void BM_Compute(benchmark::State& state, double recorded) {
  RecordList list;
  importBook(bookFile(Layout::Sdr3x, static_cast<std::size_t>(state.range(0)), recorded), list);
  for (auto _ : state) {
    const survey::Results results = survey::Compute(list);
    benchmark::DoNotOptimize(results.solutions.data());
    state.counters["solutions"] = static_cast<double>(results.solutions.size());
    state.counters["points"] = static_cast<double>(results.points.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(BM_Compute, checks, 1.0)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compute, half_computed, 0.5)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillmar

BENCHMARK_MAIN();
