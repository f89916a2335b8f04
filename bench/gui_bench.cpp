// The document window's side of a large field book: filling the list model
// and painting the first and the last screen, and the memory a document
// holds per record (records, captions and the model together).
#include <QApplication>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <fstream>
#include <map>
#include <string>

#include "document/record_list_model.h"
#include "records/import.h"
#include "tools/field_book_generator.h"

namespace quillmar {
namespace {

const std::string& bookFile(std::size_t records) {
  static std::map<std::size_t, std::string> files;
  std::string& path = files[records];
  if (path.empty()) {
    const char* dir = std::getenv("QUILLMAR_BENCH_DIR");
    path = std::string(dir ? dir : "/tmp") + "/quillmar-gui-bench-" + std::to_string(records) + ".sdr";
    const std::string text = tools::generateFieldBook({tools::Layout::Sdr3x, records, 7});
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  return path;
}

// Small blocks plus the large ones that malloc maps on their own.
std::size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// From choosing the file to the first rows painted: import, captions, the
// model told of the rows, the first screen drawn.
void BM_ImportToFirstPaint(benchmark::State& state) {
  const auto records = static_cast<std::size_t>(state.range(0));
  const std::string& path = bookFile(records);
  for (auto _ : state) {
    RecordList list;
    RecordListModel model(list);
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setHeaderHidden(true);
    view.setModel(&model);
    view.resize(797, 332);
    CaptionState captions;
    importSdrRows(path, captions, list);
    model.announceAppendedRows();
    benchmark::DoNotOptimize(view.grab());
    state.PauseTiming();
    view.setModel(nullptr);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImportToFirstPaint)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);

// Jumping from the first to the last row and painting.
void BM_ScrollToEnd(benchmark::State& state) {
  const auto records = static_cast<std::size_t>(state.range(0));
  RecordList list;
  CaptionState captions;
  importSdrRows(bookFile(records), captions, list);
  RecordListModel model(list);
  QTreeView view;
  view.setUniformRowHeights(true);
  view.setModel(&model);
  view.resize(797, 332);
  benchmark::DoNotOptimize(view.grab());
  bool atEnd = false;
  for (auto _ : state) {
    if (atEnd) view.scrollToTop();
    else view.scrollToBottom();
    atEnd = !atEnd;
    benchmark::DoNotOptimize(view.grab());
  }
}
BENCHMARK(BM_ScrollToEnd)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Heap bytes a document holds per record once its rows are shown.
void BM_DocumentBytesPerRecord(benchmark::State& state) {
  const auto records = static_cast<std::size_t>(state.range(0));
  const std::string& path = bookFile(records);
  double perRecord = 0;
  for (auto _ : state) {
    malloc_trim(0);
    const std::size_t before = heapInUse();
    {
      auto list = std::make_unique<RecordList>();
      CaptionState captions;
      importSdrRows(path, captions, *list);
      RecordListModel model(*list);
      perRecord = static_cast<double>(heapInUse() - before) / static_cast<double>(records);
    }
  }
  state.counters["bytes_per_record"] = perRecord;
}
BENCHMARK(BM_DocumentBytesPerRecord)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quillmar

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
