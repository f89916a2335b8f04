// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The second stage: approximate coordinates for every point the network
// reaches, in rounds until a round places nothing new. A round places the
// stations it can (free station, resection), orients the circles of placed
// stations (07 and sights to placed points), places targets polar from
// oriented circles and by intersection of directions, and carries
// elevations by trigonometric heights.

#include <cstdint>
#include <optional>
#include <vector>

#include "survey/network.h"
#include "survey/survey.h"

namespace quillmar::survey {

struct PlacedPoint {
  std::optional<Coordinates> at;  // elevation where a height reached it
  bool control = false;           // recorded coordinates, kept as they are
  Placing how = Placing::Unplaced;
  std::vector<std::uint32_t> setUps;  // the set-ups it was placed from
};

struct PlacedCircle {
  std::optional<double> orientation;  // radians: the azimuth of reading 0
  std::vector<Reference> references;  // residuals in the book's unit
};

struct PlacedSetUp {
  std::optional<Failure> failure;  // why the station was not placed or not oriented
  std::optional<double> scale;     // a free station's fitted scale
  std::vector<Reference> references;
};

struct Placement {
  std::vector<PlacedPoint> points;    // by PointId
  std::vector<PlacedCircle> circles;  // by circle
  std::vector<PlacedSetUp> setUps;    // by set-up
  std::vector<SetAside> setAside;     // recorded coordinates the observations contradict
  // Targets placed by intersection, with the sights that crossed.
  struct Crossing {
    PointId target = 0;
    std::vector<std::uint32_t> sights;
  };
  std::vector<Crossing> crossings;
  // By PointId: why the lines of sight to an unplaced target did not cross.
  std::vector<std::optional<Failure>> crossingFailures;
};

Placement Place(const Network& network, const ControlChoice& control);

}  // namespace quillmar::survey
