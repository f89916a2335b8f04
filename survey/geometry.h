// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plane geometry of surveying: azimuths clockwise from north, polar points,
// the 2D similarity (Helmert) fit of a free station, the resection from
// directions and the intersection of lines of sight. Angles in radians.

#include <optional>
#include <span>

namespace quillmar::survey {

struct Plane {
  double north = 0;
  double east = 0;
};

double AzimuthOf(Plane from, Plane to);
double DistanceOf(Plane from, Plane to);
Plane PolarPoint(Plane from, double azimuth, double distance);
// x reduced to (-pi, pi].
double CentredRadians(double x);

// A set-up's sight of a placed point: its circle reading (radians, clockwise)
// and, for a free station, its horizontal distance.
struct Seen {
  Plane at;
  double direction = 0;
  double distance = 0;
};

struct StationFit {
  Plane station;
  double orientation = 0;  // the azimuth of reading 0
  double scale = 1;
};

// Free station: the similarity that best carries the polar sights (local
// coordinates) onto the placed points; nothing when the points coincide.
std::optional<StationFit> FitFreeStation(std::span<const Seen> seen);

// Resection from three or more directions (distances unused); nothing when
// the points cannot fix the station (all on one line, or the station on
// the circle through them).
std::optional<StationFit> Resect(std::span<const Seen> seen);

struct Ray {
  Plane from;
  double azimuth = 0;
};
enum class Crossing { Found, SmallAngle, Behind };
struct CrossingResult {
  Crossing outcome = Crossing::SmallAngle;
  Plane at;
};
// The point nearest every ray; the rays must cross at `smallestAngle` or more.
CrossingResult Intersect(std::span<const Ray> rays, double smallestAngle);

}  // namespace quillmar::survey
