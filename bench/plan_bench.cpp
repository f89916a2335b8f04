// SPDX-License-Identifier: GPL-3.0-or-later
// The plan of a large field book: reading its points, drawing the whole
// plan and a zoomed-in part of it, and the two ways between a row and its
// point. The plan of a million records must draw in 200 ms at most.
#include <benchmark/benchmark.h>
#include <QImage>
#include <QPainter>

#include <memory>
#include <random>

#include "plan/plan_data.h"
#include "plan/widgets/plan_painter.h"
#include "tools/field_book_generator.h"

namespace quillmar::plan {
namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 800;

const RecordList& book(std::size_t records) {
  static std::unique_ptr<RecordList> list;
  static std::size_t made = 0;
  if (made != records) {
    list = std::make_unique<RecordList>();
    const std::string text = tools::generateFieldBook({tools::Layout::Sdr3x, records, 7});
    // The plan reads records only; their captions do not matter here.
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = text.find('\n', start) + 1;
      list->append({}, SurveyRecord::fromLine(std::string_view(text).substr(start, end - start), kVersionSdr3));
      start = end;
    }
    made = records;
  }
  return *list;
}

ViewTransform fitted(const PlanData& data) {
  ViewTransform view(kWidth, kHeight);
  view.fit(data.extent(), 24);
  return view;
}

void BM_PlanRead(benchmark::State& state) {
  const RecordList& list = book(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(PlanData::read(list));
  state.counters["points"] = static_cast<double>(PlanData::read(list).size());
}
BENCHMARK(BM_PlanRead)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Every point in view: the level of detail bins them.
void BM_PlanDrawAll(benchmark::State& state) {
  const PlanData data = PlanData::read(book(static_cast<std::size_t>(state.range(0))));
  const ViewTransform view = fitted(data);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    paintPlan(painter, {data, view, std::nullopt});
  }
  state.counters["lines"] = static_cast<double>(data.sightLines().size());
}
BENCHMARK(BM_PlanDrawAll)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Zoomed in on a few set-ups, as while panning: symbols and labels one by one.
void BM_PlanDrawZoomed(benchmark::State& state) {
  const PlanData data = PlanData::read(book(static_cast<std::size_t>(state.range(0))));
  ViewTransform view = fitted(data);
  view.zoomAbout({kWidth / 2.0, kHeight / 2.0}, static_cast<double>(state.range(1)));
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    paintPlan(painter, {data, view, std::nullopt});
  }
}
BENCHMARK(BM_PlanDrawZoomed)->Args({1000000, 8})->Args({1000000, 40})->Unit(benchmark::kMillisecond);

// A click: the point nearest the cursor, then its row.
void BM_PointUnderCursor(benchmark::State& state) {
  const PlanData data = PlanData::read(book(static_cast<std::size_t>(state.range(0))));
  const ViewTransform view = fitted(data);
  std::mt19937 random(3);
  std::uniform_real_distribution<double> x(0, kWidth), y(0, kHeight);
  for (auto _ : state) {
    const GroundPoint at = view.toGround({x(random), y(random)});
    benchmark::DoNotOptimize(data.nearestPoint(at, 7 / view.scale()));
  }
}
BENCHMARK(BM_PointUnderCursor)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// A selected row: its point.
void BM_PointOfRow(benchmark::State& state) {
  const RecordList& list = book(static_cast<std::size_t>(state.range(0)));
  const PlanData data = PlanData::read(list);
  std::mt19937 random(5);
  std::uniform_int_distribution<std::size_t> row(0, list.size() - 1);
  for (auto _ : state) benchmark::DoNotOptimize(data.pointOfRow(row(random)));
}
BENCHMARK(BM_PointOfRow)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillmar::plan
