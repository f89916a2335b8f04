// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ground coordinates of the plan: east to the right, north up.

#include <algorithm>
#include <limits>

namespace quillmar::plan {

struct GroundPoint {
  double east = 0;
  double north = 0;
};

// The smallest rectangle around some points; empty until one is included.
struct Extent {
  double minEast = std::numeric_limits<double>::infinity();
  double minNorth = std::numeric_limits<double>::infinity();
  double maxEast = -std::numeric_limits<double>::infinity();
  double maxNorth = -std::numeric_limits<double>::infinity();

  bool empty() const { return minEast > maxEast; }
  double width() const { return empty() ? 0 : maxEast - minEast; }
  double height() const { return empty() ? 0 : maxNorth - minNorth; }
  GroundPoint centre() const { return {(minEast + maxEast) / 2, (minNorth + maxNorth) / 2}; }

  void include(GroundPoint p) {
    minEast = std::min(minEast, p.east);
    maxEast = std::max(maxEast, p.east);
    minNorth = std::min(minNorth, p.north);
    maxNorth = std::max(maxNorth, p.north);
  }
  bool contains(GroundPoint p) const {
    return p.east >= minEast && p.east <= maxEast && p.north >= minNorth && p.north <= maxNorth;
  }
};

}  // namespace quillmar::plan
