// SPDX-License-Identifier: GPL-3.0-or-later
// The horizontal network: coordinates of every point that is no control
// point and one orientation per circle, by iterated linearisation.

#include <algorithm>
#include <cmath>

#include "survey/adjust_model.h"

namespace quillmar::survey::detail {
namespace {

// A 07 azimuth observes its circle's orientation plus the 07's reading.
struct PlaneSight {
  AdjustedObservation observation;
  std::uint32_t circle = kNoIndex;  // directions and 07 azimuths
  double reading = 0;               // 07 azimuths
  bool backsightAzimuth = false;
};

class PlaneAdjuster {
 public:
  PlaneAdjuster(const Network& network, const Placement& placement, const AdjustmentOptions& options)
      : network_(network), placement_(placement), options_(options) {
    units_ = network.conventions.empty() ? 1.0 : network.conventions.back().metre();
    result_.at.resize(network.names.size());
    result_.orientation.resize(network.circles.size());
    for (PointId p = 0; p < network.names.size(); ++p)
      if (const auto& at = placement.points[p].at) result_.at[p] = Plane{at->north, at->east};
    for (std::uint32_t c = 0; c < network.circles.size(); ++c)
      result_.orientation[c] = placement.circles[c].orientation;
    excludedPoint_.assign(network.names.size(), false);
    excludedCircle_.assign(network.circles.size(), false);
  }

  PlaneSolution run(const Progress& progress);

 private:
  void collect();
  void addSight(const Sight& sight);
  void addBacksight(std::uint32_t c);
  void number();
  bool dropUndetermined();
  void dropUnknown(std::uint32_t unknown);
  void excludePoint(PointId point, UnadjustedReason reason);
  void excludeCircle(std::uint32_t circle);
  bool active(const PlaneSight& sight) const {
    const AdjustedObservation& o = sight.observation;
    return !excludedPoint_[o.station] && !(o.hasTarget && excludedPoint_[o.target]) &&
           !(sight.circle != kNoIndex && excludedCircle_[sight.circle]);
  }
  void linearise(std::vector<Equation>& equations) const;
  Equation equationOf(const PlaneSight& sight) const;
  bool apply(const std::vector<double>& x);
  void step(Solved& solved, std::vector<double> x, double before);
  bool fixed(PointId p) const { return placement_.points[p].control; }

  const Network& network_;
  const Placement& placement_;
  const AdjustmentOptions& options_;
  double units_ = 1;
  PlaneSolution result_;
  std::vector<PlaneSight> sights_;
  std::vector<bool> excludedPoint_, excludedCircle_;
  std::vector<std::uint32_t> circleUnknown_;
  std::vector<PointId> pointOf_;         // by unknown: the point, or kNoIndex for a circle's
  std::vector<std::uint32_t> circleOf_;  // by unknown: the circle, for a circle's
  std::size_t unknowns_ = 0;
};

void PlaneAdjuster::collect() {
  for (const Sight& sight : network_.sights) addSight(sight);
  for (std::uint32_t c = 0; c < network_.circles.size(); ++c) addBacksight(c);
  std::stable_sort(sights_.begin(), sights_.end(),
                   [](const PlaneSight& a, const PlaneSight& b) { return a.observation.row < b.observation.row; });
}

void PlaneAdjuster::addSight(const Sight& sight) {
  const PointId station = network_.setUps[sight.setUp].station;
  if (sight.target == station || !result_.at[station]) return;
  const bool circleReading = sight.kind == SightKind::Circle;
  if (circleReading && !result_.orientation[sight.circle] && !excludedCircle_[sight.circle]) {
    excludedCircle_[sight.circle] = true;  // no placed point gave its zero
    result_.unadjusted.push_back(
        {true, sight.circle, network_.circles[sight.circle].row, UnadjustedReason::NoReference});
  }
  if (!result_.at[sight.target] || DistanceOf(*result_.at[station], *result_.at[sight.target]) == 0) return;
  PlaneSight base;
  base.observation.row = sight.row;
  base.observation.pairRow = sight.pairRow;
  base.observation.station = station;
  base.observation.target = sight.target;
  if (!circleReading || result_.orientation[sight.circle]) {
    PlaneSight angle = base;
    angle.observation.kind = circleReading ? ObservationKind::Direction : ObservationKind::Azimuth;
    angle.observation.observed = sight.direction;
    angle.observation.sigma = options_.sigmaDirection * kArcSecond;
    if (circleReading) angle.circle = sight.circle;
    sights_.push_back(angle);
  }
  if (sight.distance) {
    PlaneSight distance = base;
    distance.observation.kind = ObservationKind::Distance;
    distance.observation.observed = *sight.distance;
    distance.observation.sigma = DistanceSigma(options_, *sight.distance, units_);
    sights_.push_back(distance);
  }
}

// A 07 with an azimuth observes the orientation; one with a placed point
// but no azimuth is a direction to that point.
void PlaneAdjuster::addBacksight(std::uint32_t c) {
  const Circle& circle = network_.circles[c];
  if (!circle.backsight || !circle.backsight->reading || !result_.orientation[c]) return;
  const Circle::Backsight& back = *circle.backsight;
  const PointId station = network_.setUps[circle.setUp].station;
  if (!result_.at[station]) return;
  PlaneSight sight;
  sight.circle = c;
  sight.observation.row = back.row;
  sight.observation.station = station;
  sight.observation.sigma = options_.sigmaDirection * kArcSecond;
  if (back.azimuth) {
    sight.backsightAzimuth = true;
    sight.reading = *back.reading;
    sight.observation.kind = ObservationKind::Azimuth;
    sight.observation.observed = *back.azimuth;
    sight.observation.hasTarget = back.target.has_value();
    sight.observation.target = back.target.value_or(0);
  } else if (back.target && *back.target != station && result_.at[*back.target] &&
             DistanceOf(*result_.at[station], *result_.at[*back.target]) > 0) {
    sight.observation.kind = ObservationKind::Direction;
    sight.observation.observed = *back.reading;
    sight.observation.target = *back.target;
  } else {
    return;
  }
  sights_.push_back(sight);
}

// Unknowns of the points and circles the active observations use.
void PlaneAdjuster::number() {
  result_.unknown.assign(network_.names.size(), kFixed);
  circleUnknown_.assign(network_.circles.size(), kFixed);
  pointOf_.clear();
  circleOf_.clear();
  const auto usePoint = [&](PointId p) {
    if (fixed(p) || result_.unknown[p] != kFixed) return;
    result_.unknown[p] = static_cast<std::uint32_t>(pointOf_.size());
    pointOf_.insert(pointOf_.end(), {p, p});
    circleOf_.insert(circleOf_.end(), {kNoIndex, kNoIndex});
  };
  for (const PlaneSight& sight : sights_) {
    if (!active(sight)) continue;
    usePoint(sight.observation.station);
    if (sight.observation.hasTarget && !sight.backsightAzimuth) usePoint(sight.observation.target);
    if (sight.circle != kNoIndex && circleUnknown_[sight.circle] == kFixed) {
      circleUnknown_[sight.circle] = static_cast<std::uint32_t>(pointOf_.size());
      pointOf_.push_back(kNoIndex);
      circleOf_.push_back(sight.circle);
    }
  }
  unknowns_ = pointOf_.size();
}

void PlaneAdjuster::excludePoint(PointId point, UnadjustedReason reason) {
  excludedPoint_[point] = true;
  const std::uint32_t row =
      placement_.points[point].setUps.empty() ? 0 : network_.setUps[placement_.points[point].setUps.front()].row;
  result_.unadjusted.push_back({false, point, row, reason});
}

void PlaneAdjuster::excludeCircle(std::uint32_t circle) {
  excludedCircle_[circle] = true;
  result_.orientation[circle].reset();
  result_.unadjusted.push_back({true, circle, network_.circles[circle].row, UnadjustedReason::NoReference});
}

// A point whose own observations span less than both directions, or a
// circle without a direction, is left out before the solve: cheaper than
// finding it as a vanishing pivot.
bool PlaneAdjuster::dropUndetermined() {
  std::vector<Equation> equations;
  linearise(equations);
  std::vector<std::array<double, 3>> block(unknowns_, {0, 0, 0});
  for (const Equation& e : equations) {
    for (std::size_t k = 0; k < e.column.size() && e.column[k] != kFixed; ++k) {
      const std::uint32_t u = e.column[k];
      if (pointOf_[u] == kNoIndex) {
        block[u][0] += e.weight;
      } else if (u == result_.unknown[pointOf_[u]]) {
        const double n = e.coefficient[k], east = e.coefficient[k + 1];
        block[u][0] += e.weight * n * n;
        block[u][1] += e.weight * n * east;
        block[u][2] += e.weight * east * east;
      }
    }
  }
  bool dropped = false;
  for (std::uint32_t u = 0; u < unknowns_; ++u) {
    const auto& b = block[u];
    if (pointOf_[u] == kNoIndex) {
      if (b[0] == 0) excludeCircle(circleOf_[u]), dropped = true;
    } else if (u == result_.unknown[pointOf_[u]]) {
      const double trace = b[0] + b[2];
      if (!(b[0] * b[2] - b[1] * b[1] > 1e-10 * trace * trace))
        excludePoint(pointOf_[u], UnadjustedReason::TooFewObservations), dropped = true;
    }
  }
  return dropped;
}

void PlaneAdjuster::dropUnknown(std::uint32_t unknown) {
  if (pointOf_[unknown] == kNoIndex)
    excludeCircle(circleOf_[unknown]);
  else
    excludePoint(pointOf_[unknown], UnadjustedReason::TooFewObservations);
}

Equation PlaneAdjuster::equationOf(const PlaneSight& sight) const {
  const AdjustedObservation& o = sight.observation;
  Equation e;
  e.weight = 1 / (o.sigma * o.sigma);
  const std::uint32_t circle = sight.circle == kNoIndex ? kFixed : circleUnknown_[sight.circle];
  if (sight.backsightAzimuth) {
    e.add(circle, 1);
    e.misclosure = CentredRadians(o.observed - (*result_.orientation[sight.circle] + sight.reading));
    return e;
  }
  const Plane from = *result_.at[o.station], to = *result_.at[o.target];
  const double dn = to.north - from.north, de = to.east - from.east;
  const double squared = dn * dn + de * de, length = std::sqrt(squared);
  const std::uint32_t s = result_.unknown[o.station], t = result_.unknown[o.target];
  const auto both = [&](double n, double east) {
    e.add(s, -n), e.add(s == kFixed ? kFixed : s + 1, -east);
    e.add(t, n), e.add(t == kFixed ? kFixed : t + 1, east);
  };
  if (o.kind == ObservationKind::Distance) {
    both(dn / length, de / length);
    e.misclosure = o.observed - length;
    return e;
  }
  both(-de / squared, dn / squared);
  double computed = std::atan2(de, dn);
  if (o.kind == ObservationKind::Direction) {
    e.add(circle, -1);
    computed -= *result_.orientation[sight.circle];
  }
  e.misclosure = CentredRadians(o.observed - computed);
  return e;
}

void PlaneAdjuster::linearise(std::vector<Equation>& equations) const {
  equations.clear();
  for (const PlaneSight& sight : sights_)
    if (active(sight)) equations.push_back(equationOf(sight));
}

// True while the corrections are above 0.01 mm (and a like turn of a
// circle's zero over a kilometre).
bool PlaneAdjuster::apply(const std::vector<double>& x) {
  double largest = 0;
  for (std::uint32_t u = 0; u < unknowns_; ++u) {
    if (pointOf_[u] == kNoIndex) {
      double& orientation = *result_.orientation[circleOf_[u]];
      orientation += x[u];
      largest = std::max(largest, std::fabs(x[u]) * 1000 * units_);
    } else {
      Plane& at = *result_.at[pointOf_[u]];
      (u == result_.unknown[pointOf_[u]] ? at.north : at.east) += x[u];
      largest = std::max(largest, std::fabs(x[u]));
    }
  }
  return largest >= 1e-5 * units_;
}

// Far from the solution (a blunder, a point placed badly) a full step can
// leave the region where the linearisation holds and make [pvv] grow, and
// the iterations wander off: such a step is halved until [pvv] falls again.
// Leaves the equations linearised where the step ended.
void PlaneAdjuster::step(Solved& solved, std::vector<double> x, double before) {
  constexpr int kHalvings = 12;
  for (int k = 0; k < kHalvings; ++k) {
    linearise(solved.equations);
    // Roundoff may move a converged [pvv] a little either way.
    if (!(WeightedSquares(solved.equations) > before * (1 + 1e-9) + 1e-12)) return;
    for (double& v : x) v *= -0.5;
    apply(x);
    for (double& v : x) v = -v;
  }
  linearise(solved.equations);
}

PlaneSolution PlaneAdjuster::run(const Progress& progress) {
  for (PointId p = 0; p < network_.names.size(); ++p)
    if (!result_.at[p] && placement_.points[p].how == Placing::Unplaced)
      result_.unadjusted.push_back({false, p, 0, UnadjustedReason::NotPlaced});
  collect();
  Solved& solved = result_.solved;
  for (;;) {
    number();
    if (dropUndetermined()) continue;
    linearise(solved.equations);
    const auto undetermined = solved.normal.factorise(unknowns_, solved.equations);
    if (undetermined.empty()) break;
    dropUnknown(undetermined.front());
  }
  for (PointId p = 0; p < network_.names.size(); ++p)
    if (excludedPoint_[p]) result_.at[p].reset();
  bool moving = true;
  int iteration = 0;
  while (moving && iteration < options_.maxIterations) {
    if (iteration > 0) solved.normal.factorise(unknowns_, solved.equations);
    const double before = WeightedSquares(solved.equations);
    std::vector<double> x = solved.normal.solve(solved.equations);
    moving = apply(x);
    step(solved, std::move(x), before);
    ++iteration;
    if (progress && !progress(static_cast<double>(iteration) / options_.maxIterations)) {
      result_.cancelled = true;
      return std::move(result_);
    }
  }
  solved.statistics.iterations = iteration;
  solved.statistics.converged = !moving;
  solved.unknowns = unknowns_;
  for (const PlaneSight& sight : sights_)
    if (active(sight)) solved.observations.push_back(sight.observation);
  return std::move(result_);
}

}  // namespace

double DistanceSigma(const AdjustmentOptions& options, double distance, double unitsPerMetre) {
  return options.sigmaDistanceMm / 1000 * unitsPerMetre + options.sigmaDistancePpm * 1e-6 * distance;
}

PlaneSolution AdjustPlane(const Network& network, const Placement& placement, const AdjustmentOptions& options,
                          const Progress& progress) {
  return PlaneAdjuster(network, placement, options).run(progress);
}

}  // namespace quillmar::survey::detail
