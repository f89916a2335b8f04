// SPDX-License-Identifier: GPL-3.0-or-later
// The heights: elevations of the points from trigonometric height
// differences, each weighted by what its zenith angle and distance allow,
// control elevations fixed. Linear: one solve.

#include <cmath>

#include "survey/adjust_model.h"

namespace quillmar::survey::detail {
namespace {

class HeightAdjuster {
 public:
  HeightAdjuster(const Network& network, const Placement& placement, const PlaneSolution& plane,
                 const AdjustmentOptions& options)
      : network_(network), plane_(plane), options_(options) {
    units_ = network.conventions.empty() ? 1.0 : network.conventions.back().metre();
    const std::size_t count = network.names.size();
    result_.elevation.resize(count);
    result_.fixed.assign(count, false);
    for (PointId p = 0; p < count; ++p) {
      const auto& at = placement.points[p].at;
      if (!plane.at[p] || !at || !at->elevation) continue;
      result_.elevation[p] = at->elevation;
      const auto& recorded = network.known[p] ? network.known[p] : network.inserted[p];
      result_.fixed[p] = placement.points[p].control && recorded && recorded->at.elevation;
    }
  }

  HeightSolution run();

 private:
  void addSight(const Sight& sight);
  std::optional<double> riseOf(const Sight& sight, double level) const;
  void number();
  bool active(const AdjustedObservation& o) const { return !excluded_[o.station] && !excluded_[o.target]; }
  Equation equationOf(const AdjustedObservation& o) const;

  const Network& network_;
  const PlaneSolution& plane_;
  const AdjustmentOptions& options_;
  double units_ = 1;
  HeightSolution result_;
  std::vector<AdjustedObservation> sights_;
  std::vector<bool> excluded_;
};

// The rise from the instrument's axis to the target: the sight's own, or
// from the adjusted horizontal distance and the zenith angle.
std::optional<double> HeightAdjuster::riseOf(const Sight& sight, double level) const {
  if (sight.rise) return sight.rise;
  if (!sight.zenith) return std::nullopt;
  const double tangent = std::tan(*sight.zenith);
  if (!std::isfinite(tangent) || tangent == 0) return std::nullopt;
  double rise = level / tangent;
  const BookConventions& units = network_.conventions[sight.conventions];
  if (units.curvatureAndRefraction) rise += (1 - units.refraction) * level * level / (2 * units.earthRadius());
  return rise;
}

// sigma of a height difference D cot z: D sigma_z / sin^2 z from the zenith
// angle, cot z sigma_D from the distance.
void HeightAdjuster::addSight(const Sight& sight) {
  const SetUp& setUp = network_.setUps[sight.setUp];
  const PointId station = setUp.station;
  if (sight.target == station || !result_.elevation[station] || !result_.elevation[sight.target]) return;
  const double level = sight.distance.value_or(DistanceOf(*plane_.at[station], *plane_.at[sight.target]));
  const auto rise = riseOf(sight, level);
  if (!rise || level <= 0) return;
  const double zenith = sight.zenith.value_or(std::atan2(level, *rise));
  const double sine = std::sin(zenith);
  const double fromZenith = level * options_.sigmaZenith * kArcSecond / (sine * sine);
  const double fromDistance = std::cos(zenith) / sine * DistanceSigma(options_, level, units_);
  AdjustedObservation o;
  o.row = sight.row;
  o.pairRow = sight.pairRow;
  o.station = station;
  o.target = sight.target;
  o.kind = ObservationKind::HeightDifference;
  o.observed = setUp.instrumentHeight + *rise - sight.targetHeight;
  o.sigma = std::hypot(fromZenith, fromDistance);
  if (o.sigma > 0 && std::isfinite(o.sigma)) sights_.push_back(o);
}

void HeightAdjuster::number() {
  result_.unknown.assign(network_.names.size(), kFixed);
  std::uint32_t next = 0;
  for (std::size_t k = 0; k < sights_.size(); ++k) {
    if (!active(sights_[k])) continue;
    for (PointId p : {sights_[k].station, sights_[k].target})
      if (!result_.fixed[p] && result_.unknown[p] == kFixed) result_.unknown[p] = next++;
  }
  result_.solved.unknowns = next;
}

Equation HeightAdjuster::equationOf(const AdjustedObservation& o) const {
  Equation e;
  e.weight = 1 / (o.sigma * o.sigma);
  e.add(result_.unknown[o.target], 1);
  e.add(result_.unknown[o.station], -1);
  e.misclosure = o.observed - (*result_.elevation[o.target] - *result_.elevation[o.station]);
  return e;
}

HeightSolution HeightAdjuster::run() {
  for (const Sight& sight : network_.sights) addSight(sight);
  excluded_.assign(network_.names.size(), false);
  Solved& solved = result_.solved;
  for (;;) {
    number();
    solved.equations.clear();
    for (const AdjustedObservation& o : sights_)
      if (active(o)) solved.equations.push_back(equationOf(o));
    const auto undetermined = solved.normal.factorise(solved.unknowns, solved.equations);
    if (undetermined.empty()) break;
    // Points cut off from every control elevation: one at a time.
    for (PointId p = 0; p < network_.names.size(); ++p) {
      if (result_.unknown[p] != undetermined.front()) continue;
      result_.elevation[p].reset();
      result_.unadjusted.push_back({false, p, 0, UnadjustedReason::NoHeightDifference});
      excluded_[p] = true;
    }
  }
  const std::vector<double> x = solved.normal.solve(solved.equations);
  for (PointId p = 0; p < network_.names.size(); ++p)
    if (result_.unknown[p] != kFixed) *result_.elevation[p] += x[result_.unknown[p]];
  // Points that had an elevation but no height difference keep none.
  for (PointId p = 0; p < network_.names.size(); ++p)
    if (result_.elevation[p] && !result_.fixed[p] && result_.unknown[p] == kFixed) result_.elevation[p].reset();
  solved.equations.clear();
  for (const AdjustedObservation& o : sights_) {
    if (!active(o)) continue;
    solved.equations.push_back(equationOf(o));
    solved.observations.push_back(o);
  }
  solved.statistics.iterations = 1;
  return std::move(result_);
}

}  // namespace

HeightSolution AdjustHeights(const Network& network, const Placement& placement, const PlaneSolution& plane,
                             const AdjustmentOptions& options) {
  return HeightAdjuster(network, placement, plane, options).run();
}

}  // namespace quillmar::survey::detail
