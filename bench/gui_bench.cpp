// SPDX-License-Identifier: GPL-3.0-or-later
// The document window's side of a large field book: filling the list model
// and painting the first and the last screen, and the memory a document
// holds per record (records, captions and the model together).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <QTreeView>
#include <QUndoStack>

#include <chrono>
#include <fstream>
#include <map>
#include <string>

#include "document/record_list_model.h"
#include "document/row_commands.h"
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
    if (atEnd)
      view.scrollToTop();
    else
      view.scrollToBottom();
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

void showIn(QTreeView& view, RecordListModel& model) {
  view.setUniformRowHeights(true);
  view.setModel(&model);
  view.resize(797, 332);
}

void importInto(RecordList& list, const std::string& path) {
  LineBuffer lines;
  CaptionState captions;
  Obrabotka(lines, ImportSdrFile(path, lines), captions, list);
}

// The undo step of a large "Импорт": undo and redo with the list shown, and
// the heap that the step holds beyond the document itself.
void BM_ImportUndoRedo(benchmark::State& state) {
  const auto records = static_cast<std::size_t>(state.range(0));
  const std::string& path = bookFile(records);
  malloc_trim(0);
  const std::size_t empty = heapInUse();
  RecordList list;
  RecordListModel model(list);
  QTreeView view;
  showIn(view, model);
  importInto(list, path);
  model.announceAppendedRows();
  benchmark::DoNotOptimize(view.grab());
  malloc_trim(0);
  const std::size_t imported = heapInUse();
  QUndoStack stack;
  stack.push(new AppendRowsCommand(QStringLiteral("Импорт"), model, 0, static_cast<int>(records)));
  const std::size_t pushed = heapInUse();
  std::size_t undone = pushed;
  double undoMs = 0;
  double redoMs = 0;
  using Clock = std::chrono::steady_clock;
  for (auto _ : state) {
    const auto start = Clock::now();
    stack.undo();
    const auto middle = Clock::now();
    undone = heapInUse();
    stack.redo();
    const auto end = Clock::now();
    undoMs += std::chrono::duration<double, std::milli>(middle - start).count();
    redoMs += std::chrono::duration<double, std::milli>(end - middle).count();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  view.setModel(nullptr);
  const auto runs = static_cast<double>(state.iterations());
  state.counters["undo_ms"] = undoMs / runs;
  state.counters["redo_ms"] = redoMs / runs;
  state.counters["document_MB"] = static_cast<double>(imported - empty) / 1e6;
  state.counters["step_bytes"] = static_cast<double>(pushed) - static_cast<double>(imported);
  state.counters["undone_extra_bytes"] = static_cast<double>(undone) - static_cast<double>(pushed);
}
BENCHMARK(BM_ImportUndoRedo)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// "Удалить" of half a large book at once (the middle rows), then its undo.
void BM_DeleteHalfUndo(benchmark::State& state) {
  const auto records = static_cast<int>(state.range(0));
  RecordList list;
  importInto(list, bookFile(static_cast<std::size_t>(records)));
  RecordListModel model(list);
  QTreeView view;
  showIn(view, model);
  QUndoStack stack;
  for (auto _ : state) {
    stack.push(new RemoveRowsCommand(model, {{records / 4, records / 2}}));
    stack.undo();
    benchmark::DoNotOptimize(view.grab());
  }
  view.setModel(nullptr);
}
BENCHMARK(BM_DeleteHalfUndo)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace quillmar
