// SPDX-License-Identifier: GPL-3.0-or-later
// Computed points: the mean of every solution of a point that is no control.

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_map>

#include "survey/results_maker.h"

namespace quillmar::survey::detail {

void ResultsMaker::meanPoints() {
  struct Sums {
    double north = 0, east = 0, elevation = 0;
    std::uint32_t elevations = 0;
  };
  std::unordered_map<std::string_view, std::size_t> byName;
  std::vector<Sums> sums;
  std::vector<ComputedPoint>& points = results_.points;
  std::vector<std::size_t> pointOf(results_.solutions.size(), points.max_size());
  // Sums of differences from the first solution keep the digits of large coordinates.
  for (std::size_t i = 0; i < results_.solutions.size(); ++i) {
    const Solution& solution = results_.solutions[i];
    if (solution.method == Method::Check) continue;
    const auto [found, added] = byName.try_emplace(std::string_view(solution.point), points.size());
    if (added) {
      ComputedPoint point;
      point.point = solution.point;
      point.north = solution.north;
      point.east = solution.east;
      point.elevation = solution.elevation;
      points.push_back(std::move(point));
      sums.emplace_back();
    }
    const std::size_t group = found->second;
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
    point.north += sums[i].north / point.solutions;
    point.east += sums[i].east / point.solutions;
    if (point.elevation) *point.elevation += sums[i].elevation / sums[i].elevations;
  }
  for (std::size_t i = 0; i < results_.solutions.size(); ++i) {
    if (pointOf[i] == points.max_size()) continue;
    ComputedPoint& point = points[pointOf[i]];
    const Solution& solution = results_.solutions[i];
    point.spread = std::max(point.spread, std::hypot(solution.north - point.north, solution.east - point.east));
  }
  // Points the book holds already, put there from an earlier computation.
  for (ComputedPoint& point : points) {
    const auto id = network_.find(point.point);
    if (!id || !network_.inserted[*id] || placed_.points[*id].control) continue;
    const Coordinates& book = network_.inserted[*id]->at;
    point.inserted = true;
    point.dNorth = point.north - book.north;
    point.dEast = point.east - book.east;
    if (point.elevation && book.elevation) point.dElevation = *point.elevation - *book.elevation;
  }
}

}  // namespace quillmar::survey::detail
