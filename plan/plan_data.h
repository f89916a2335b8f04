// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the plan of a field book shows, read from its records: every station
// ("02") and position ("08") whose coordinates are numbers, and a sight line
// from each station to every point observed ("09") from it whose coordinates
// the book holds. Read again whenever the records change. Points computed
// from the observations come after the book's own, with their sight lines.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plan/extent.h"
#include "plan/point_grid.h"
#include "records/record_list.h"

namespace quillmar::plan {

// A computed station is a set-up's station placed from its observations.
enum class PointKind : std::uint8_t { Station, Other, Computed, ComputedStation };

struct PointInfo {
  std::uint32_t row = 0;
  std::uint32_t nameStart = 0;
  std::uint8_t nameLength = 0;
  PointKind kind = PointKind::Other;
};

struct SightLine {
  std::uint32_t station = 0;  // point indexes
  std::uint32_t target = 0;
};

// A point computed from the book's observations, and each observation that gave it.
struct ComputedPlace {
  std::string_view name;
  GroundPoint at;
  std::uint32_t lastRow = 0;  // the row the plan gives it
  bool station = false;       // a set-up stood on it
};
struct ComputedSight {
  std::uint32_t place = 0;  // index of its ComputedPlace
  std::string_view station;
  std::uint32_t row = 0;
  std::optional<std::uint32_t> pairRow;  // the other face of the same observation
};

// An adjusted point's standard error ellipse: semi-axes in ground units, the
// bearing of a in radians clockwise from north.
struct ErrorEllipse {
  GroundPoint centre;
  double a = 0, b = 0, bearing = 0;
};

// How many times the ellipses are drawn enlarged so that the largest
// semi-axis takes about `pixels` (1, 2 or 5 times a power of ten, at least
// 1); 0 when there is none to draw.
double EllipseMagnification(const std::vector<ErrorEllipse>& ellipses, double pixelsPerUnit, double pixels);

class PlanData {
 public:
  PlanData() = default;
  // The first `rows` records of `list` (the rows the list's views know of).
  static PlanData read(const RecordList& list, std::size_t rows);
  static PlanData read(const RecordList& list) { return read(list, list.size()); }
  // The same and the points computed from those records, with a sight line
  // from the station of every observation that gave one. Points named in
  // `setAside` (coordinates the observations contradict, placeholders as a
  // rule) are drawn but left out of the extent, so the whole book still fits,
  // and the sight lines of such a station start where it was placed.
  static PlanData read(const RecordList& list, std::size_t rows, const std::vector<ComputedPlace>& places,
                       const std::vector<ComputedSight>& sights, const std::vector<std::string_view>& setAside = {});

  std::size_t size() const { return positions_.size(); }
  bool empty() const { return positions_.empty(); }
  // Points in row order.
  const std::vector<GroundPoint>& positions() const { return positions_; }
  const std::vector<PointInfo>& points() const { return points_; }
  std::string_view name(std::size_t point) const;
  const std::vector<SightLine>& sightLines() const { return sightLines_; }
  const std::vector<SightLine>& computedLines() const { return computedLines_; }
  // The points that records put on the plan; the computed ones follow them.
  std::size_t recordedPoints() const { return recorded_; }
  std::size_t computedPoints() const { return positions_.size() - recorded_; }
  // Station and position records whose coordinates are not numbers.
  std::size_t skippedRecords() const { return skipped_; }
  const Extent& extent() const { return extent_; }
  // The error ellipses of an adjustment, if the user has made one.
  const std::vector<ErrorEllipse>& ellipses() const { return ellipses_; }
  void setEllipses(std::vector<ErrorEllipse> ellipses) { ellipses_ = std::move(ellipses); }
  const PointGrid& grid() const { return grid_; }

  // The point a row's record put on the plan, if any.
  std::optional<std::size_t> pointOfRow(std::size_t row) const;
  // The same, or else the point the row names: an observation's target, the
  // point of a station whose record has no coordinates.
  std::optional<std::size_t> pointNamedByRow(std::size_t row) const;
  std::optional<std::size_t> nearestPoint(GroundPoint at, double radius) const;

 private:
  class Reader;
  static PlanData readRecords(const RecordList& list, std::size_t rows);
  void addComputed(const std::vector<ComputedPlace>& places, const std::vector<ComputedSight>& sights);
  void setAsideRecordedPoints(const std::vector<std::string_view>& setAside);

  std::vector<GroundPoint> positions_;
  std::vector<PointInfo> points_;
  std::string names_;
  std::vector<SightLine> sightLines_;
  std::vector<SightLine> computedLines_;
  std::size_t recorded_ = 0;
  struct RowPoint {
    std::uint32_t row;
    std::uint32_t point;
  };
  std::vector<RowPoint> namedPoints_;  // in row order
  std::size_t skipped_ = 0;
  std::vector<ErrorEllipse> ellipses_;
  Extent extent_;
  PointGrid grid_;
};

}  // namespace quillmar::plan
