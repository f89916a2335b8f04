// SPDX-License-Identifier: GPL-3.0-or-later
// The adjustment on a connected network, where the factor fills in: set-ups
// on a square grid, each sighting its four neighbours in both faces with
// distances plus side shots, control at the four corners (the corners' 07
// azimuths orient the first circles). Sizes are record counts; the stages
// (reading, placing, adjusting) are timed apart. Run one size per process
// under /usr/bin/time for its peak memory (bench/adjust-bench does).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <string>

#include "survey/adjustment.h"
#include "survey/placing.h"
#include "tests/survey/survey_books.h"

namespace quillmar::survey {
namespace {

using test::F;

constexpr int kSideShots = 10;
constexpr double kSpacing = 150;

std::string named(char letter, long long number) {
  std::string name(1, letter);
  return name.append(std::to_string(number));
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

struct Grid {
  int side;
  std::string name(int i, int j) const { return named('S', i * side + j); }
  double north(int i) const { return 10000 + i * kSpacing; }
  double east(int j) const { return 20000 + j * kSpacing; }
  bool corner(int i, int j) const { return (i == 0 || i == side - 1) && (j == 0 || j == side - 1); }
};

// Exact readings, every circle turned by its own zero, slightly jittered.
void addSetUp(const Grid& grid, int i, int j, RecordList& list) {
  const auto add = [&](const std::string& text) { list.append({}, SurveyRecord::fromText(text, '3')); };
  const bool corner = grid.corner(i, j);
  add(test::station('3', grid.name(i, j), corner ? number(grid.north(i)) : "", corner ? number(grid.east(j)) : "",
                    "100", "1.5"));
  add(test::target('3', "1.5"));
  const double zero = std::fmod(i * 0.37 + j * 0.71, 2 * std::numbers::pi);
  const auto degrees = [](double radians) { return number(std::fmod(radians * 180 / std::numbers::pi + 720, 360)); };
  if (corner) add(test::backsight('3', "", degrees(zero), "0"));
  const auto sight = [&](const std::string& to, double dn, double de, bool pair) {
    const double reading = std::atan2(de, dn) - zero;
    const std::string distance = number(std::hypot(dn, de));
    add(test::observation('3', "F1", to, distance, "90", degrees(reading), grid.name(i, j)));
    if (pair)
      add(test::observation('3', "F2", to, distance, "270", degrees(reading + std::numbers::pi), grid.name(i, j)));
  };
  const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  for (const auto& step : steps) {
    const int ni = i + step[0], nj = j + step[1];
    if (ni >= 0 && nj >= 0 && ni < grid.side && nj < grid.side)
      sight(grid.name(ni, nj), step[0] * kSpacing, step[1] * kSpacing, true);
  }
  for (int k = 0; k < kSideShots; ++k)
    sight(named('P', (i * grid.side + j) * kSideShots + k), 20 + 3 * k, 40 - 7 * k, false);
}

RecordList gridBook(std::size_t records) {
  const Grid grid{static_cast<int>(std::sqrt(static_cast<double>(records) / (2 + 8 + kSideShots)))};
  RecordList list;
  list.append({}, SurveyRecord::fromText(test::header('3'), '3'));
  list.append({}, SurveyRecord::fromText(test::instrument('3', '1'), '3'));
  for (int i = 0; i < grid.side; ++i)
    for (int j = 0; j < grid.side; ++j) addSetUp(grid, i, j, list);
  return list;
}

void BM_AdjustGrid(benchmark::State& state) {
  const RecordList list = gridBook(static_cast<std::size_t>(state.range(0)));
  double reading = 0, placing = 0, adjusting = 0;
  std::size_t unknowns = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const Network network = ReadNetwork(list, list.size());
    const auto t1 = std::chrono::steady_clock::now();
    const Placement placement = Place(network, {});
    const auto t2 = std::chrono::steady_clock::now();
    const Adjustment adjustment = Adjust(network, placement, {});
    const auto t3 = std::chrono::steady_clock::now();
    reading = std::chrono::duration<double>(t1 - t0).count();
    placing = std::chrono::duration<double>(t2 - t1).count();
    adjusting = std::chrono::duration<double>(t3 - t2).count();
    unknowns = adjustment.plane.unknowns;
    benchmark::DoNotOptimize(adjustment.points.size());
  }
  state.counters["records"] = static_cast<double>(list.size());
  state.counters["unknowns"] = static_cast<double>(unknowns);
  state.counters["read_s"] = reading;
  state.counters["place_s"] = placing;
  state.counters["adjust_s"] = adjusting;
}
BENCHMARK(BM_AdjustGrid)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace quillmar::survey

BENCHMARK_MAIN();
