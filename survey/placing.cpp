// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/placing.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "survey/placer.h"

namespace quillmar::survey {
namespace detail {

Placer::Placer(const Network& network, const ControlChoice& control) : network_(network) {
  placed_.points.resize(network.names.size());
  placed_.circles.resize(network.circles.size());
  placed_.setUps.resize(network.setUps.size());
  placed_.crossingFailures.resize(network.names.size());
  chooseControl(control);
}

Placement Placer::run() {
  // Each round places at least one point or orients one circle, so the
  // rounds end; a point once placed is never moved. A round walks the
  // set-ups in book order, so a traverse written as it was walked is
  // carried to its end in one round.
  do {
    for (bool progress = true; progress;) {
      progress = false;
      for (std::uint32_t s = 0; s < network_.setUps.size(); ++s) progress = setUpRound(s) || progress;
      progress = crossTargets() || progress;
    }
  } while (restoreSetAside());
  carryElevations();
  explainUnplaced();
  return std::move(placed_);
}

bool Placer::setUpRound(std::uint32_t s) {
  const SetUp& setUp = network_.setUps[s];
  bool progress = !placed_.points[setUp.station].at && placeStation(s);
  if (!placed_.points[setUp.station].at) return progress;
  for (std::uint32_t c = setUp.firstCircle; c < setUp.firstCircle + setUp.circles; ++c)
    if (!placed_.circles[c].orientation) progress = orient(c) || progress;
  return placeTargets(s) || progress;
}

// Recorded coordinates set aside that the observations could not replace
// are better than none: they are control again, and the check shots show
// how far off they are.
bool Placer::restoreSetAside() {
  const auto unplaced = [this](const SetAside& aside) {
    const PointId point = *network_.find(aside.point);
    if (placed_.points[point].at) return false;
    placed_.points[point] = {network_.known[point]->at, true, Placing::Control, {}};
    return true;
  };
  return std::erase_if(placed_.setAside, unplaced) > 0;
}

std::optional<Plane> Placer::planeOf(PointId point) const {
  const auto& at = placed_.points[point].at;
  return at ? std::optional<Plane>(Plane{at->north, at->east}) : std::nullopt;
}

void Placer::place(PointId point, Plane at, Placing how, std::vector<std::uint32_t> setUps) {
  PlacedPoint& placed = placed_.points[point];
  placed.at = Coordinates{at.north, at.east, std::nullopt};
  placed.how = how;
  placed.setUps = std::move(setUps);
}

// The azimuth of a sight: its own, or its reading turned by its circle's orientation.
std::optional<double> Placer::azimuthOf(const Sight& sight) const {
  if (sight.kind != SightKind::Circle) return sight.direction;
  const auto& orientation = placed_.circles[sight.circle].orientation;
  if (!orientation) return std::nullopt;
  return *orientation + sight.direction;
}

// A free station from two or more placed points with distances, else a
// resection from three or more directions, each from one zero of the circle.
bool Placer::placeStation(std::uint32_t s) {
  PlacedSetUp& result = placed_.setUps[s];
  result.failure.reset();
  // Control points alone where they fix the station: the points placed
  // from other set-ups would bring those set-ups' errors along.
  auto fit = fitStation(s, true);
  if (!fit.station) fit = fitStation(s, false);
  if (!fit.station) {
    result.failure = fit.failure;  // nothing when it sees no placed point at all
    return false;
  }
  if (fit.how == Placing::FreeStation) result.scale = fit.station->scale;
  place(network_.setUps[s].station, fit.station->station, fit.how, {s});
  return true;
}

// A free station from two or more placed points with distances, else a
// resection from three or more directions, each from one zero of the circle.
Placer::Fit Placer::fitStation(std::uint32_t s, bool controlOnly) const {
  const SetUp& setUp = network_.setUps[s];
  std::map<std::uint32_t, std::vector<const Sight*>> byCircle;
  for (const Sight& sight : sightsOf(setUp)) {
    const bool usable = controlOnly ? placed_.points[sight.target].control : planeOf(sight.target).has_value();
    if (sight.kind == SightKind::Circle && sight.target != setUp.station && usable)
      byCircle[sight.circle].push_back(&sight);
  }
  if (byCircle.empty()) return {std::nullopt, Placing::Unplaced, std::nullopt};
  const auto& sights = std::max_element(byCircle.begin(), byCircle.end(), [](const auto& a, const auto& b) {
                         return a.second.size() < b.second.size();
                       })->second;
  std::vector<Seen> withDistance, directions;
  std::vector<PointId> distancePoints, directionPoints;
  const auto add = [](std::vector<PointId>& points, PointId point) {
    if (std::find(points.begin(), points.end(), point) == points.end()) points.push_back(point);
  };
  for (const Sight* sight : sights) {
    const Seen seen{*planeOf(sight->target), sight->direction, sight->distance.value_or(0)};
    directions.push_back(seen);
    add(directionPoints, sight->target);
    if (!sight->distance) continue;
    withDistance.push_back(seen);
    add(distancePoints, sight->target);
  }
  if (distancePoints.size() >= 2) {
    const auto fit = FitFreeStation(withDistance);
    return {fit, Placing::FreeStation, Failure::WeakGeometry};
  }
  if (directionPoints.size() >= 3) return {Resect(directions), Placing::Resection, Failure::WeakGeometry};
  return {std::nullopt, Placing::Unplaced, Failure::NotEnoughKnown};
}

// The mean of the orientations its references give, weighted by their
// distance; a 07 with an azimuth of its own weighs as the heaviest sight.
// Control points alone where they orient a control station or are two or
// more: the points placed from other set-ups bring their errors along.
bool Placer::orient(std::uint32_t c) {
  std::vector<Orientation> values = orientations(c, true);
  const bool onControl = placed_.points[network_.setUps[network_.circles[c].setUp].station].control;
  if (values.empty() || (values.size() < 2 && !onControl)) values = orientations(c, false);
  if (values.empty()) return false;
  double sum = 0, weights = 0;
  for (const Orientation& value : values) {
    sum += value.weight * CentredRadians(value.orientation - values[0].orientation);
    weights += value.weight;
  }
  const double orientation = values[0].orientation + sum / weights;
  PlacedCircle& placed = placed_.circles[c];
  placed.orientation = std::fmod(orientation + 8 * std::numbers::pi, 2 * std::numbers::pi);
  for (Orientation& value : values) {
    value.reference.orientationResidual = network_.toBook(CentredRadians(value.orientation - orientation));
    placed.references.push_back(std::move(value.reference));
  }
  return true;
}

std::vector<Placer::Orientation> Placer::orientations(std::uint32_t c, bool controlOnly) const {
  const Circle& circle = network_.circles[c];
  const SetUp& setUp = network_.setUps[circle.setUp];
  const Plane station = *planeOf(setUp.station);
  const auto reference = [&](PointId point) -> std::optional<Plane> {
    const auto at = planeOf(point);
    if (!at || point == setUp.station || DistanceOf(station, *at) == 0) return std::nullopt;
    if (controlOnly && !placed_.points[point].control) return std::nullopt;
    return at;
  };
  std::vector<Orientation> values;
  double heaviest = 0;
  for (const Sight& sight : sightsOf(setUp)) {
    if (sight.circle != c || sight.kind != SightKind::Circle) continue;
    const auto at = reference(sight.target);
    if (!at) continue;
    const double weight = DistanceOf(station, *at);
    heaviest = std::max(heaviest, weight);
    Reference seen{std::string(network_.names[sight.target]), sight.row, std::nullopt, std::nullopt};
    if (sight.distance) seen.distanceResidual = *sight.distance - weight;
    values.push_back({AzimuthOf(station, *at) - sight.direction, weight, std::move(seen)});
  }
  if (!circle.backsight || !circle.backsight->reading) return values;
  const Circle::Backsight& back = *circle.backsight;
  std::optional<double> azimuth = back.azimuth;
  double weight = heaviest > 0 ? heaviest : 1;
  if (!azimuth && back.target) {
    if (const auto at = reference(*back.target)) {
      azimuth = AzimuthOf(station, *at);
      weight = DistanceOf(station, *at);
    }
  }
  if (azimuth) {
    std::string name = back.target ? std::string(network_.names[*back.target]) : std::string();
    values.push_back({*azimuth - *back.reading, weight, {std::move(name), back.row, std::nullopt, std::nullopt}});
  }
  return values;
}

bool Placer::placeTargets(std::uint32_t s) {
  const SetUp& setUp = network_.setUps[s];
  const Plane station = *planeOf(setUp.station);
  bool progress = false;
  for (const Sight& sight : sightsOf(setUp)) {
    if (!sight.distance || sight.target == setUp.station || placed_.points[sight.target].at) continue;
    const auto azimuth = azimuthOf(sight);
    if (!azimuth) continue;
    place(sight.target, PolarPoint(station, *azimuth, *sight.distance), Placing::Polar, {s});
    progress = true;
  }
  return progress;
}

// Targets seen without a distance from two or more placed, oriented set-ups.
bool Placer::crossTargets() {
  std::map<PointId, std::vector<std::uint32_t>> rays;
  for (std::uint32_t k = 0; k < network_.sights.size(); ++k) {
    const Sight& sight = network_.sights[k];
    if (placed_.points[sight.target].at || sight.target == network_.setUps[sight.setUp].station) continue;
    if (stationOf(sight) && azimuthOf(sight)) rays[sight.target].push_back(k);
  }
  bool progress = false;
  for (const auto& [target, sights] : rays) {
    std::vector<Ray> lines;
    std::vector<std::uint32_t> setUps;
    for (std::uint32_t k : sights) {
      const Sight& sight = network_.sights[k];
      lines.push_back({*stationOf(sight), *azimuthOf(sight)});
      if (std::find(setUps.begin(), setUps.end(), sight.setUp) == setUps.end()) setUps.push_back(sight.setUp);
    }
    if (setUps.size() < 2) continue;
    const CrossingResult crossing = Intersect(lines, kSmallestCrossing);
    if (crossing.outcome != Crossing::Found) {
      placed_.crossingFailures[target] =
          crossing.outcome == Crossing::SmallAngle ? Failure::SmallAngle : Failure::WeakGeometry;
      continue;
    }
    place(target, crossing.at, Placing::Intersection, setUps);
    placed_.crossings.push_back({target, sights});
    progress = true;
  }
  return progress;
}

}  // namespace detail

Placement Place(const Network& network, const ControlChoice& control) { return detail::Placer(network, control).run(); }

}  // namespace quillmar::survey
