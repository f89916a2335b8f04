// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A uniform grid over the points, so that finding the point under the mouse
// and the points inside the view costs the cells looked at, not the book.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "plan/extent.h"

namespace quillmar::plan {

class PointGrid {
 public:
  PointGrid() = default;
  explicit PointGrid(const std::vector<GroundPoint>& points);

  // The points within `radius` of `centre`, the nearest one.
  std::optional<std::size_t> nearest(const std::vector<GroundPoint>& points, GroundPoint centre, double radius) const;

  // Calls visit(index) for every point in the cells that meet `area`, which
  // may include a few points just outside it.
  template <typename Visit>
  void forEachNear(const Extent& area, Visit&& visit) const {
    if (cellStart_.empty() || area.empty()) return;
    const CellRange range = cellsMeeting(area);
    for (std::size_t row = range.firstRow; row <= range.lastRow; ++row) {
      const std::size_t base = row * columns_;
      const std::uint32_t begin = cellStart_[base + range.firstColumn];
      const std::uint32_t end = cellStart_[base + range.lastColumn + 1];
      for (std::uint32_t i = begin; i < end; ++i) visit(static_cast<std::size_t>(entries_[i]));
    }
  }

 private:
  struct CellRange {
    std::size_t firstColumn, lastColumn, firstRow, lastRow;
  };
  CellRange cellsMeeting(const Extent& area) const;
  std::size_t column(double east) const;
  std::size_t row(double north) const;

  Extent extent_;
  double cellSize_ = 1;
  std::size_t columns_ = 0;
  std::size_t rows_ = 0;
  // Points of cell c are entries_[cellStart_[c] .. cellStart_[c + 1]).
  std::vector<std::uint32_t> cellStart_;
  std::vector<std::uint32_t> entries_;
};

}  // namespace quillmar::plan
