// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The placing's own pieces: the computation's, not for other libraries.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "survey/geometry.h"
#include "survey/placing.h"

namespace quillmar::survey::detail {

// Lines of sight that cross at less than this give no intersection: below
// it a second of arc across the sight moves the point some 30 times as far.
inline constexpr double kSmallestCrossing = 2.0 * 3.14159265358979323846 / 180;

class Placer {
 public:
  Placer(const Network& network, const ControlChoice& control);
  Placement run();

 private:
  // Control points: recorded, less what the observations contradict.
  void chooseControl(const ControlChoice& choice);
  std::optional<double> contradiction(const SetUp& setUp, const std::vector<bool>& candidate) const;

  bool restoreSetAside();
  bool setUpRound(std::uint32_t setUp);
  bool placeTargets(std::uint32_t setUp);
  bool crossTargets();
  void carryElevations();
  bool carryElevations(std::uint32_t setUp);

  bool placeStation(std::uint32_t setUp);
  struct Fit {
    std::optional<StationFit> station;
    Placing how = Placing::Unplaced;
    std::optional<Failure> failure = Failure::NotEnoughKnown;  // why there is none
  };
  Fit fitStation(std::uint32_t setUp, bool controlOnly) const;
  bool orient(std::uint32_t circle);
  struct Orientation {
    double orientation;
    double weight;
    Reference reference;
  };
  std::vector<Orientation> orientations(std::uint32_t circle, bool controlOnly) const;
  std::optional<double> riseOf(const Sight& sight) const;
  void place(PointId point, Plane at, Placing how, std::vector<std::uint32_t> setUps);

  // The sights of a set-up.
  std::span<const Sight> sightsOf(const SetUp& setUp) const {
    return std::span(network_.sights).subspan(setUp.firstSight, setUp.sights);
  }
  std::optional<Plane> planeOf(PointId point) const;
  std::optional<double> azimuthOf(const Sight& sight) const;
  std::optional<Plane> stationOf(const Sight& sight) const { return planeOf(network_.setUps[sight.setUp].station); }
  void explainUnplaced();

  const Network& network_;
  Placement placed_;
};

}  // namespace quillmar::survey::detail
