// SPDX-License-Identifier: GPL-3.0-or-later
// Elevations by trigonometric heights, and why a set-up stayed unplaced.

#include <cmath>
#include <map>

#include "survey/placer.h"

namespace quillmar::survey::detail {

// From the instrument's axis to the target: the sight's own, or, for a sight
// without a distance, from the horizontal distance between its placed ends.
std::optional<double> Placer::riseOf(const Sight& sight) const {
  if (sight.rise) return sight.rise;
  if (!sight.zenith) return std::nullopt;
  const auto from = stationOf(sight);
  const auto to = planeOf(sight.target);
  if (!from || !to) return std::nullopt;
  const double level = DistanceOf(*from, *to);
  const double tangent = std::tan(*sight.zenith);
  if (level == 0 || !std::isfinite(tangent) || tangent == 0) return std::nullopt;
  double rise = level / tangent;
  const BookConventions& units = network_.conventions[sight.conventions];
  if (units.curvatureAndRefraction) rise += (1 - units.refraction) * level * level / (2 * units.earthRadius());
  return rise;
}

// Set-up by set-up in book order: a station without an elevation takes the
// mean its sights to points with one give it (to control points, where it
// sees any), then each point without one
// the mean this set-up gives it; passes repeat while they add any. A
// levelled traverse written as it was walked is carried in one pass.
void Placer::carryElevations() {
  for (bool progress = true; progress;) {
    progress = false;
    for (std::uint32_t s = 0; s < network_.setUps.size(); ++s) progress = carryElevations(s) || progress;
  }
}

bool Placer::carryElevations(std::uint32_t s) {
  const SetUp& setUp = network_.setUps[s];
  auto& station = placed_.points[setUp.station].at;
  if (!station) return false;
  const auto liftOf = [&](const Sight& sight) -> std::optional<double> {
    if (sight.target == setUp.station || !placed_.points[sight.target].at) return std::nullopt;
    const auto rise = riseOf(sight);
    if (!rise) return std::nullopt;
    return setUp.instrumentHeight + *rise - sight.targetHeight;
  };
  bool progress = false;
  if (!station->elevation) {
    double sum = 0;
    int count = 0;
    // Control elevations alone where the station sees any.
    for (const bool controlOnly : {true, false}) {
      for (const Sight& sight : sightsOf(setUp)) {
        const auto lift = liftOf(sight);
        const PlacedPoint& target = placed_.points[sight.target];
        if (!lift || !target.at->elevation || (controlOnly && !target.control)) continue;
        sum += *target.at->elevation - *lift;
        ++count;
      }
      if (count > 0) break;
    }
    if (count == 0) return false;
    station->elevation = sum / count;
    progress = true;
  }
  std::map<PointId, std::pair<double, int>> sums;
  for (const Sight& sight : sightsOf(setUp)) {
    const auto lift = liftOf(sight);
    if (!lift || placed_.points[sight.target].at->elevation) continue;
    auto& sum = sums[sight.target];
    sum.first += *station->elevation + *lift;
    ++sum.second;
  }
  for (const auto& [point, sum] : sums) placed_.points[point].at->elevation = sum.first / sum.second;
  return progress || !sums.empty();
}

void Placer::explainUnplaced() {
  // How many set-ups see each point (or stand on it), each counted once.
  std::vector<int> seenBy(network_.names.size(), 0);
  std::vector<std::uint32_t> lastSetUp(network_.names.size(), kNoIndex);
  const auto see = [&](PointId point, std::uint32_t s) {
    if (lastSetUp[point] != s) ++seenBy[point], lastSetUp[point] = s;
  };
  for (std::uint32_t s = 0; s < network_.setUps.size(); ++s) {
    see(network_.setUps[s].station, s);
    for (const Sight& sight : sightsOf(network_.setUps[s])) see(sight.target, s);
  }
  for (std::uint32_t s = 0; s < network_.setUps.size(); ++s) {
    const SetUp& setUp = network_.setUps[s];
    PlacedSetUp& result = placed_.setUps[s];
    if (planeOf(setUp.station)) {
      bool oriented = false, circles = false;
      for (const Sight& sight : sightsOf(setUp)) {
        if (sight.kind != SightKind::Circle) continue;
        circles = true;
        oriented = oriented || placed_.circles[sight.circle].orientation.has_value();
      }
      if (circles && !oriented) result.failure = Failure::NoOrientation;
      continue;
    }
    if (result.failure) continue;
    // A set-up that shares points with others belongs to a network that
    // does not reach the control; one that shares nothing has no coordinates.
    bool shared = seenBy[setUp.station] > 1;
    for (const Sight& sight : sightsOf(setUp)) shared = shared || seenBy[sight.target] > 1;
    result.failure = shared ? Failure::NotReached : Failure::NoStationCoordinates;
  }
}

}  // namespace quillmar::survey::detail
