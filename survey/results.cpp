// SPDX-License-Identifier: GPL-3.0-or-later
// The third stage: solutions, points, check shots, stations and failures
// from the network and what was placed of it.

#include <algorithm>
#include <cmath>
#include <map>

#include "survey/geometry.h"
#include "survey/placing.h"
#include "survey/results_maker.h"

namespace quillmar::survey::detail {
namespace {

Method methodOf(SightKind kind) {
  switch (kind) {
    case SightKind::Circle: return Method::Polar;
    case SightKind::Azimuth: return Method::Azimuth;
    case SightKind::Reduced: return Method::Reduced;
  }
  return Method::Polar;
}

bool byRow(const Solution& a, const Solution& b) { return a.row < b.row; }

}  // namespace

ResultsMaker::ResultsMaker(const Network& network, const Placement& placed)
    : network_(network), placed_(placed), used_(network.sights.size(), false) {}

Results ResultsMaker::make() {
  results_.fullCircle = network_.fullCircle;
  results_.feet = !network_.conventions.empty() && network_.conventions.back().feet;
  results_.solutions.reserve(network_.sights.size() + network_.setUps.size() + placed_.crossings.size());
  for (const auto& crossing : placed_.crossings)
    for (std::uint32_t k : crossing.sights) used_[k] = true;
  // Each set-up's own row comes before its sights', so this walk is in row order.
  for (std::uint32_t s = 0; s < network_.setUps.size(); ++s) {
    station(s);
    const SetUp& setUp = network_.setUps[s];
    for (std::uint32_t k = setUp.firstSight; k < setUp.firstSight + setUp.sights; ++k) sight(k);
  }
  const auto crossings = static_cast<std::ptrdiff_t>(results_.solutions.size());
  for (const auto& crossing : placed_.crossings) crossed(crossing);
  std::stable_sort(results_.solutions.begin() + crossings, results_.solutions.end(), byRow);
  std::inplace_merge(results_.solutions.begin(), results_.solutions.begin() + crossings, results_.solutions.end(),
                     byRow);
  meanPoints();
  results_.pairs = network_.pairs;
  results_.failures.insert(results_.failures.end(), network_.failures.begin(), network_.failures.end());
  std::stable_sort(results_.failures.begin(), results_.failures.end(),
                   [](const FailedObservation& a, const FailedObservation& b) { return a.row < b.row; });
  results_.setAside = placed_.setAside;
  recordedPoints();
  return std::move(results_);
}

void ResultsMaker::recordedPoints() {
  std::map<std::string_view, double> asideBy;
  for (const SetAside& aside : placed_.setAside) asideBy[aside.point] = aside.contradiction;
  for (PointId p = 0; p < network_.names.size(); ++p) {
    const auto& recorded = network_.known[p] ? network_.known[p] : network_.inserted[p];
    if (!recorded || (!network_.known[p] && !placed_.points[p].control)) continue;
    RecordedPoint point{
        std::string(network_.names[p]), recorded->row, recorded->at.north, recorded->at.east, recorded->at.elevation,
        placed_.points[p].control,      std::nullopt};
    if (const auto aside = asideBy.find(point.point); aside != asideBy.end()) point.contradiction = aside->second;
    results_.recorded.push_back(std::move(point));
  }
  std::stable_sort(results_.recorded.begin(), results_.recorded.end(),
                   [](const RecordedPoint& a, const RecordedPoint& b) { return a.row < b.row; });
}

std::optional<Coordinates> ResultsMaker::at(PointId point) const { return placed_.points[point].at; }

// A check shot when the target is a control point.
void ResultsMaker::add(Solution solution, PointId target) {
  const PlacedPoint& point = placed_.points[target];
  if (point.control) {
    solution.method = Method::Check;
    solution.dNorth = solution.north - point.at->north;
    solution.dEast = solution.east - point.at->east;
    if (solution.elevation && point.at->elevation) solution.dElevation = *solution.elevation - *point.at->elevation;
  }
  results_.solutions.push_back(std::move(solution));
}

void ResultsMaker::sight(std::uint32_t k) {
  const Sight& sight = network_.sights[k];
  const SetUp& setUp = network_.setUps[sight.setUp];
  if (sight.target == setUp.station) return;
  const auto station = at(setUp.station);
  std::optional<double> azimuth = sight.direction;
  if (sight.kind == SightKind::Circle) azimuth = placed_.circles[sight.circle].orientation;
  if (azimuth && sight.kind == SightKind::Circle) *azimuth += sight.direction;
  if (station && azimuth && sight.distance) {
    const Plane from{station->north, station->east};
    const Plane to = PolarPoint(from, *azimuth, *sight.distance);
    Solution solution;
    solution.point = network_.names[sight.target];
    solution.station = network_.names[setUp.station];
    solution.north = to.north;
    solution.east = to.east;
    if (station->elevation && sight.rise)
      solution.elevation = *station->elevation + setUp.instrumentHeight + *sight.rise - sight.targetHeight;
    solution.method = methodOf(sight.kind);
    solution.row = sight.row;
    solution.pairRow = sight.pairRow;
    add(std::move(solution), sight.target);
    return;
  }
  // A direction alone gave something where it crossed, placed its station
  // or oriented its circle: any sight from an oriented circle to a placed point.
  if (used_[k] || (station && azimuth && at(sight.target))) return;
  results_.failures.push_back({sight.row, whyNot(sight, station.has_value(), azimuth.has_value())});
}

Failure ResultsMaker::whyNot(const Sight& sight, bool stationPlaced, bool oriented) const {
  if (!stationPlaced) return placed_.setUps[sight.setUp].failure.value_or(Failure::NoStationCoordinates);
  if (!oriented) return Failure::NoOrientation;
  return placed_.crossingFailures[sight.target].value_or(Failure::NoDistance);
}

void ResultsMaker::crossed(const Placement::Crossing& crossing) {
  Solution solution;
  solution.point = network_.names[crossing.target];
  std::vector<PointId> stations;
  solution.row = network_.sights[crossing.sights.front()].row;
  for (std::uint32_t k : crossing.sights) {
    used_[k] = true;
    const Sight& sight = network_.sights[k];
    const PointId station = network_.setUps[sight.setUp].station;
    if (std::find(stations.begin(), stations.end(), station) == stations.end()) stations.push_back(station);
    solution.row = std::min(solution.row, sight.row);
  }
  for (PointId station : stations) {
    if (!solution.station.empty()) solution.station += '+';
    solution.station += network_.names[station];
  }
  const Coordinates point = *at(crossing.target);
  solution.north = point.north;
  solution.east = point.east;
  solution.elevation = point.elevation;
  solution.method = Method::Intersection;
  add(std::move(solution), crossing.target);
}

void ResultsMaker::station(std::uint32_t s) {
  const SetUp& setUp = network_.setUps[s];
  const PlacedPoint& point = placed_.points[setUp.station];
  const PlacedSetUp& placing = placed_.setUps[s];
  StationResult result;
  result.station = network_.names[setUp.station];
  result.row = setUp.row;
  result.placing = point.how;
  result.failure = placing.failure;
  if (point.at) {
    result.north = point.at->north;
    result.east = point.at->east;
    result.elevation = point.at->elevation;
  }
  result.scale = placing.scale;
  for (std::uint32_t c = setUp.firstCircle; c < setUp.firstCircle + setUp.circles; ++c) {
    const PlacedCircle& circle = placed_.circles[c];
    if (circle.orientation && !result.orientation) result.orientation = network_.toBook(*circle.orientation);
    result.references.insert(result.references.end(), circle.references.begin(), circle.references.end());
  }
  const bool placedHere = point.setUps.size() == 1 && point.setUps.front() == s;
  if (placedHere && (point.how == Placing::FreeStation || point.how == Placing::Resection)) {
    Solution solution;
    solution.point = result.station;
    solution.station = result.station;
    solution.north = point.at->north;
    solution.east = point.at->east;
    solution.elevation = point.at->elevation;
    solution.method = point.how == Placing::FreeStation ? Method::FreeStation : Method::Resection;
    solution.row = setUp.row;
    results_.solutions.push_back(std::move(solution));
  }
  results_.stations.push_back(std::move(result));
}

}  // namespace quillmar::survey::detail
