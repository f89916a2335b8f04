// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/point_grid.h"

#include <algorithm>
#include <cmath>

namespace quillmar::plan {
namespace {

constexpr double kPointsPerCell = 4;
constexpr double kMaxCells = 1 << 22;

std::size_t clampedIndex(double value, std::size_t count) {
  if (!(value > 0)) return 0;  // NaN as well
  return std::min(static_cast<std::size_t>(value), count - 1);
}

}  // namespace

PointGrid::PointGrid(const std::vector<GroundPoint>& points) {
  for (const GroundPoint& p : points) extent_.include(p);
  if (extent_.empty()) return;
  const double width = std::max(extent_.width(), 1e-9);
  const double height = std::max(extent_.height(), 1e-9);
  const double cells = std::clamp(static_cast<double>(points.size()) / kPointsPerCell, 1.0, kMaxCells);
  // Square cells, so that a long thin survey still gets cells along its length.
  cellSize_ = std::max(std::sqrt(width * height / cells), std::max(width, height) / cells);
  columns_ = static_cast<std::size_t>(width / cellSize_) + 1;
  rows_ = static_cast<std::size_t>(height / cellSize_) + 1;

  std::vector<std::uint32_t> cellOf(points.size());
  cellStart_.assign(columns_ * rows_ + 1, 0);
  for (std::size_t i = 0; i < points.size(); ++i) {
    cellOf[i] = static_cast<std::uint32_t>(row(points[i].north) * columns_ + column(points[i].east));
    ++cellStart_[cellOf[i] + 1];
  }
  for (std::size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
  entries_.resize(points.size());
  std::vector<std::uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
  for (std::size_t i = 0; i < points.size(); ++i) entries_[next[cellOf[i]]++] = static_cast<std::uint32_t>(i);
}

std::size_t PointGrid::column(double east) const {
  return clampedIndex((east - extent_.minEast) / cellSize_, columns_);
}

std::size_t PointGrid::row(double north) const { return clampedIndex((north - extent_.minNorth) / cellSize_, rows_); }

PointGrid::CellRange PointGrid::cellsMeeting(const Extent& area) const {
  return {column(area.minEast), column(area.maxEast), row(area.minNorth), row(area.maxNorth)};
}

std::optional<std::size_t> PointGrid::nearest(const std::vector<GroundPoint>& points, GroundPoint centre,
                                              double radius) const {
  Extent around;
  around.include({centre.east - radius, centre.north - radius});
  around.include({centre.east + radius, centre.north + radius});
  if (extent_.empty() || around.maxEast < extent_.minEast || around.minEast > extent_.maxEast ||
      around.maxNorth < extent_.minNorth || around.minNorth > extent_.maxNorth)
    return std::nullopt;
  std::optional<std::size_t> best;
  double bestDistance = radius * radius;
  forEachNear(around, [&](std::size_t i) {
    const double de = points[i].east - centre.east;
    const double dn = points[i].north - centre.north;
    const double distance = de * de + dn * dn;
    if (distance <= bestDistance) {
      bestDistance = distance;
      best = i;
    }
  });
  return best;
}

}  // namespace quillmar::plan
