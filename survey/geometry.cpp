// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace quillmar::survey {
namespace {

constexpr double kPi = std::numbers::pi;

// The orientation that best fits the directions to placed points from `station`.
double meanOrientation(Plane station, std::span<const Seen> seen) {
  const double first = AzimuthOf(station, seen[0].at) - seen[0].direction;
  double sum = 0;
  for (const Seen& s : seen) sum += CentredRadians(AzimuthOf(station, s.at) - s.direction - first);
  return first + sum / static_cast<double>(seen.size());
}

// The circle through a and b from whose arc b is seen `angle` (counter-
// clockwise, in east-north axes) turned from a: its centre.
std::optional<Plane> arcCentre(Plane a, Plane b, double angle) {
  const double tangent = std::tan(angle);
  if (std::fabs(tangent) < 1e-12) return std::nullopt;
  const double half = DistanceOf(a, b) / 2;
  const double dE = (b.east - a.east) / (2 * half), dN = (b.north - a.north) / (2 * half);
  const double offset = half / tangent;
  // The normal turned counter-clockwise from a->b, in (east, north).
  return Plane{(a.north + b.north) / 2 + offset * dE, (a.east + b.east) / 2 - offset * dN};
}

// Three directions: the station is where the two circles through the middle
// point meet a second time.
std::optional<Plane> resectThree(const Seen& a, const Seen& b, const Seen& c) {
  // Readings are clockwise; the arcs are drawn counter-clockwise.
  const auto one = arcCentre(a.at, b.at, -(b.direction - a.direction));
  const auto two = arcCentre(b.at, c.at, -(c.direction - b.direction));
  if (!one || !two) return std::nullopt;
  const double dN = two->north - one->north, dE = two->east - one->east;
  const double length2 = dN * dN + dE * dE;
  const double scale = std::max({DistanceOf(a.at, b.at), DistanceOf(b.at, c.at), 1e-9});
  if (length2 < 1e-16 * scale * scale) return std::nullopt;  // one circle: the danger circle
  const double t = ((b.at.north - one->north) * dN + (b.at.east - one->east) * dE) / length2;
  const Plane foot{one->north + t * dN, one->east + t * dE};
  return Plane{2 * foot.north - b.at.north, 2 * foot.east - b.at.east};
}

// Gauss-Newton over the station and the orientation, from a first guess.
std::optional<StationFit> refineResection(std::span<const Seen> seen, Plane guess) {
  Plane at = guess;
  for (int iteration = 0; iteration < 20; ++iteration) {
    const double orientation = meanOrientation(at, seen);
    // Normal equations of the two coordinates, the orientation eliminated.
    double n11 = 0, n12 = 0, n22 = 0, u1 = 0, u2 = 0, sa = 0, sb = 0, sl = 0;
    const double count = static_cast<double>(seen.size());
    for (const Seen& s : seen) {
      const double d2 = std::pow(DistanceOf(at, s.at), 2);
      if (d2 == 0) return std::nullopt;
      // d(azimuth)/dN and d(azimuth)/dE of the station.
      const double a = (s.at.east - at.east) / d2, b = -(s.at.north - at.north) / d2;
      const double l = CentredRadians(s.direction + orientation - AzimuthOf(at, s.at));
      n11 += a * a, n12 += a * b, n22 += b * b, u1 += a * l, u2 += b * l;
      sa += a, sb += b, sl += l;
    }
    n11 -= sa * sa / count, n12 -= sa * sb / count, n22 -= sb * sb / count;
    u1 -= sa * sl / count, u2 -= sb * sl / count;
    const double det = n11 * n22 - n12 * n12;
    if (!(std::fabs(det) > 1e-30)) return std::nullopt;
    const double dN = (n22 * u1 - n12 * u2) / det, dE = (n11 * u2 - n12 * u1) / det;
    at.north += dN, at.east += dE;
    if (!std::isfinite(at.north) || !std::isfinite(at.east)) return std::nullopt;
    if (std::hypot(dN, dE) < 1e-8) break;
  }
  return StationFit{at, meanOrientation(at, seen), 1};
}

}  // namespace

double AzimuthOf(Plane from, Plane to) {
  const double a = std::atan2(to.east - from.east, to.north - from.north);
  return a < 0 ? a + 2 * kPi : a;
}

double DistanceOf(Plane from, Plane to) { return std::hypot(to.north - from.north, to.east - from.east); }

Plane PolarPoint(Plane from, double azimuth, double distance) {
  return {from.north + distance * std::cos(azimuth), from.east + distance * std::sin(azimuth)};
}

double CentredRadians(double x) {
  double r = std::remainder(x, 2 * kPi);
  return r <= -kPi ? r + 2 * kPi : r;
}

std::optional<StationFit> FitFreeStation(std::span<const Seen> seen) {
  if (seen.size() < 2) return std::nullopt;
  double xm = 0, ym = 0, nm = 0, em = 0;
  std::vector<Plane> local(seen.size());
  for (std::size_t k = 0; k < seen.size(); ++k) {
    local[k] = {seen[k].distance * std::cos(seen[k].direction), seen[k].distance * std::sin(seen[k].direction)};
    xm += local[k].north, ym += local[k].east;
    // Differences from the first point keep the digits of large coordinates.
    nm += seen[k].at.north - seen[0].at.north, em += seen[k].at.east - seen[0].at.east;
  }
  const double count = static_cast<double>(seen.size());
  xm /= count, ym /= count, nm /= count, em /= count;
  double sxx = 0, a = 0, b = 0;
  for (std::size_t k = 0; k < seen.size(); ++k) {
    const double x = local[k].north - xm, y = local[k].east - ym;
    const double n = seen[k].at.north - seen[0].at.north - nm, e = seen[k].at.east - seen[0].at.east - em;
    sxx += x * x + y * y;
    a += x * n + y * e;
    b += x * e - y * n;
  }
  if (!(sxx > 0)) return std::nullopt;
  a /= sxx, b /= sxx;
  const double scale = std::hypot(a, b);
  if (!(scale > 0)) return std::nullopt;
  StationFit fit;
  fit.station = {seen[0].at.north + nm - a * xm + b * ym, seen[0].at.east + em - b * xm - a * ym};
  fit.orientation = std::atan2(b, a);
  if (fit.orientation < 0) fit.orientation += 2 * kPi;
  fit.scale = scale;
  return fit;
}

std::optional<StationFit> Resect(std::span<const Seen> seen) {
  if (seen.size() < 3) return std::nullopt;
  // The first guess from the three points that spread the directions widest.
  std::optional<Plane> guess;
  double best = -1;
  const std::size_t n = std::min<std::size_t>(seen.size(), 8);
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = i + 1; j < n; ++j)
      for (std::size_t k = j + 1; k < n; ++k) {
        const double spread = std::fabs(std::sin(seen[j].direction - seen[i].direction)) +
                              std::fabs(std::sin(seen[k].direction - seen[j].direction));
        if (spread <= best) continue;
        if (const auto at = resectThree(seen[i], seen[j], seen[k])) guess = at, best = spread;
      }
  if (!guess) return std::nullopt;
  return refineResection(seen, *guess);
}

CrossingResult Intersect(std::span<const Ray> rays, double smallestAngle) {
  double widest = 0;
  for (std::size_t i = 0; i < rays.size(); ++i)
    for (std::size_t j = i + 1; j < rays.size(); ++j)
      widest = std::max(widest, std::fabs(std::sin(rays[j].azimuth - rays[i].azimuth)));
  if (rays.size() < 2 || widest < std::sin(smallestAngle)) return {Crossing::SmallAngle, {}};
  // Least squares of the distances across the rays, about the first station.
  const Plane origin = rays[0].from;
  double a11 = 0, a12 = 0, a22 = 0, b1 = 0, b2 = 0;
  for (const Ray& ray : rays) {
    const double nN = -std::sin(ray.azimuth), nE = std::cos(ray.azimuth);
    const double c = nN * (ray.from.north - origin.north) + nE * (ray.from.east - origin.east);
    a11 += nN * nN, a12 += nN * nE, a22 += nE * nE, b1 += nN * c, b2 += nE * c;
  }
  const double det = a11 * a22 - a12 * a12;
  if (!(det > 1e-12)) return {Crossing::SmallAngle, {}};
  const Plane at{origin.north + (a22 * b1 - a12 * b2) / det, origin.east + (a11 * b2 - a12 * b1) / det};
  for (const Ray& ray : rays) {
    const double ahead =
        std::cos(ray.azimuth) * (at.north - ray.from.north) + std::sin(ray.azimuth) * (at.east - ray.from.east);
    if (!(ahead > 0)) return {Crossing::Behind, at};
  }
  return {Crossing::Found, at};
}

}  // namespace quillmar::survey
