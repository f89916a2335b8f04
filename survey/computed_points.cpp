// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/detail_computation.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace quillmar::survey::detail {

Results Computation::run() {
  results_.solutions.reserve(recorded_.observations());
  results_.pairs.reserve(recorded_.observations() / 2);
  for (std::size_t row = 0; row < rows_; ++row) {
    const Kind kind = kindOf(list_.typeCode(row));
    if (kind != Kind::Other) take(kind, list_.body(row), list_.version(row), static_cast<std::uint32_t>(row));
  }
  if (!std::is_sorted(results_.pairs.begin(), results_.pairs.end(), byFirstRow)) {
    std::stable_sort(results_.pairs.begin(), results_.pairs.end(), byFirstRow);
  }
  markCheckShots();
  meanPoints();
  return std::move(results_);
}

// After the pass, so that each look-up is asked for a few solutions ahead.
void Computation::markCheckShots() {
  std::vector<Solution>& solutions = results_.solutions;
  for (std::size_t i = 0; i < solutions.size(); ++i) {
    if (i + kAhead < solutions.size()) recorded_.prefetch(solutions[i + kAhead].point);
    Solution& solution = solutions[i];
    const Coordinates* known = recorded_.find(solution.point);
    if (known == nullptr) continue;
    solution.method = Method::Check;
    solution.dNorth = solution.north - known->north;
    solution.dEast = solution.east - known->east;
    if (solution.elevation && known->elevation) solution.dElevation = *solution.elevation - *known->elevation;
  }
}

void Computation::meanPoints() {
  const std::vector<Solution>& solutions = results_.solutions;
  struct Sums {
    double north = 0, east = 0, elevation = 0;
    std::uint32_t elevations = 0;
  };
  std::vector<Sums> sums;
  std::vector<ComputedPoint>& points = results_.points;
  const auto computed =
      std::count_if(solutions.begin(), solutions.end(), [](const Solution& s) { return s.method != Method::Check; });
  NameTable byName(static_cast<std::size_t>(computed));
  std::vector<std::uint32_t> pointOf(solutions.size(), kNone);
  // Sums of differences from the first solution keep the digits of large coordinates.
  for (std::size_t i = 0; i < solutions.size(); ++i) {
    const Solution& solution = solutions[i];
    if (solution.method == Method::Check) continue;
    if (i + kAhead < solutions.size()) byName.prefetch(solutions[i + kAhead].point);
    const auto next = static_cast<std::uint32_t>(points.size());
    const std::uint32_t group = byName.insert(solution.point, next);
    if (group == next) {
      ComputedPoint point;
      point.point = solution.point;
      point.north = solution.north;
      point.east = solution.east;
      point.elevation = solution.elevation;
      points.push_back(std::move(point));
      sums.emplace_back();
    }
    pointOf[i] = group;
    ComputedPoint& point = points[group];
    Sums& sum = sums[group];
    ++point.solutions;
    point.lastRow = std::max({point.lastRow, solution.row, solution.pairRow.value_or(0)});
    sum.north += solution.north - point.north;
    sum.east += solution.east - point.east;
    if (solution.elevation) {
      if (!point.elevation) point.elevation = solution.elevation;
      sum.elevation += *solution.elevation - *point.elevation;
      ++sum.elevations;
    }
  }
  for (std::size_t i = 0; i < points.size(); ++i) {
    ComputedPoint& point = points[i];
    if (point.solutions == 1) continue;
    point.north += sums[i].north / point.solutions;
    point.east += sums[i].east / point.solutions;
    if (point.elevation) *point.elevation += sums[i].elevation / sums[i].elevations;
  }
  for (std::size_t i = 0; i < solutions.size(); ++i) {
    if (pointOf[i] == kNone) continue;
    ComputedPoint& point = points[pointOf[i]];
    if (point.solutions == 1) continue;
    point.spread = std::max(point.spread, std::hypot(solutions[i].north - point.north, solutions[i].east - point.east));
  }
}

}  // namespace quillmar::survey::detail
