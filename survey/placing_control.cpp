// SPDX-License-Identifier: GPL-3.0-or-later
// Control points: every point the book gives coordinates for, unless the
// observations contradict them grossly, and as the user chose.

#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>

#include "survey/placer.h"

namespace quillmar::survey::detail {
namespace {

// Recorded coordinates further than this from where the sights to other
// control put them are set aside: a metre is far beyond survey error and far
// below a placeholder or a mistyped digit; a hundredth of the sight covers
// control points found off by their own sights' accuracy on long sights.
constexpr double kContradictionMetres = 1.0;
constexpr double kContradictionShare = 0.01;

bool named(const std::vector<std::string>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

void Placer::chooseControl(const ControlChoice& choice) {
  const std::size_t count = network_.names.size();
  std::vector<bool> candidate(count, false);
  std::vector<bool> fixed(count, false);
  for (PointId p = 0; p < count; ++p) {
    const std::string_view name = network_.names[p];
    fixed[p] = named(choice.fixed, name) && (network_.known[p] || network_.inserted[p]);
    candidate[p] = fixed[p] || (network_.known[p] && !named(choice.free, name));
  }
  std::vector<bool> checked(count, false);
  for (const SetUp& setUp : network_.setUps) {
    const PointId station = setUp.station;
    if (!candidate[station] || fixed[station] || checked[station]) continue;
    checked[station] = true;
    if (const auto off = contradiction(setUp, candidate)) {
      candidate[station] = false;
      placed_.setAside.push_back({std::string(network_.names[station]), network_.known[station]->row, *off});
    }
  }
  for (PointId p = 0; p < count; ++p) {
    if (!candidate[p]) continue;
    const auto& recorded = network_.known[p] ? network_.known[p] : network_.inserted[p];
    placed_.points[p].at = recorded->at;
    placed_.points[p].control = true;
    placed_.points[p].how = Placing::Control;
  }
}

// How far the station's sights to other control put it from its recorded
// coordinates, when that is beyond the tolerance; nothing when it agrees or
// its sights cannot tell.
std::optional<double> Placer::contradiction(const SetUp& setUp, const std::vector<bool>& candidate) const {
  const Plane recorded{network_.known[setUp.station]->at.north, network_.known[setUp.station]->at.east};
  std::map<std::uint32_t, std::vector<Seen>> withDistance, directions;
  double longest = 0;
  for (const Sight& sight : sightsOf(setUp)) {
    if (sight.kind != SightKind::Circle || sight.target == setUp.station || !candidate[sight.target]) continue;
    const Coordinates& at =
        network_.known[sight.target] ? network_.known[sight.target]->at : network_.inserted[sight.target]->at;
    const Seen seen{{at.north, at.east}, sight.direction, sight.distance.value_or(0)};
    directions[sight.circle].push_back(seen);
    if (sight.distance) withDistance[sight.circle].push_back(seen);
    longest = std::max(longest, DistanceOf(recorded, seen.at));
  }
  std::optional<double> off;
  for (const auto& [circle, seen] : withDistance) {
    if (seen.size() >= 2) {
      if (const auto fit = FitFreeStation(seen)) off = DistanceOf(fit->station, recorded);
    } else if (!off) {
      off = std::fabs(seen[0].distance - DistanceOf(recorded, seen[0].at));
    }
  }
  for (const auto& [circle, seen] : directions) {
    if (!off && seen.size() >= 3)
      if (const auto fit = Resect(seen)) off = DistanceOf(fit->station, recorded);
  }
  const double metre = network_.conventions.empty() ? 1.0 : network_.conventions.back().metre();
  const double tolerance = std::max(kContradictionMetres * metre, kContradictionShare * longest);
  if (off && *off > tolerance) return off;
  return std::nullopt;
}

}  // namespace quillmar::survey::detail
