// SPDX-License-Identifier: GPL-3.0-or-later
// CAD/GIS export of a generated million-record book: reading the points and
// sight lines (with the survey's computed points), and each format's writing.
// GeoPackage goes in one transaction; the peak memory shows in bench/run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "gis/gis_export.h"
#include "records/import.h"
#include "tools/field_book_generator.h"

namespace quillmar::gis {
namespace {

std::string scratchFolder() {
  const char* dir = std::getenv("QUILLMAR_BENCH_DIR");
  const std::filesystem::path folder =
      std::filesystem::path(dir ? dir : "/tmp") / ("quillmar-gis-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return folder.string();
}

const RecordList& book(std::size_t records) {
  static std::map<std::size_t, RecordList> books;
  RecordList& list = books[records];
  if (list.empty()) {
    const std::string path = scratchFolder() + "/book.sdr";
    // Half the targets are left to the survey to compute.
    const std::string text = tools::generateFieldBook(tools::FieldBookOptions{tools::Layout::Sdr3x, records, 7, 0.5});
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    CaptionState captions;
    importSdrRows(path, captions, list);
    std::filesystem::remove(path);
  }
  return list;
}

void BM_ReadBookFeatures(benchmark::State& state) {
  const RecordList& list = book(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    const BookFeatures features = BookFeatures::read(list);
    state.counters["points"] = static_cast<double>(features.pointCount());
    state.counters["sight_lines"] = static_cast<double>(features.sightLineCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadBookFeatures)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_Export(benchmark::State& state, GisFormat format) {
  const RecordList& list = book(static_cast<std::size_t>(state.range(0)));
  const BookFeatures features = BookFeatures::read(list);
  const std::string out = scratchFolder() + "/plan." + std::string(InfoOf(format).extension);
  for (auto _ : state) {
    const GisExportSummary summary = ExportGis(out, features, format, {"EPSG:32637", kAllLayers});
    state.counters["features"] = static_cast<double>(summary.points + summary.stations + summary.sightLines);
  }
  std::filesystem::remove_all(scratchFolder());
}
BENCHMARK_CAPTURE(BM_Export, gpkg, GisFormat::GeoPackage)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_Export, shp, GisFormat::Shapefile)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Export, dxf, GisFormat::Dxf)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Export, pnezd, GisFormat::Pnezd)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Export, geojson, GisFormat::GeoJson)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
// KML grows as the others do: a book of 20 times the records takes some 20 times as long.
BENCHMARK_CAPTURE(BM_Export, kml, GisFormat::Kml)
    ->Arg(50000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace quillmar::gis

BENCHMARK_MAIN();
