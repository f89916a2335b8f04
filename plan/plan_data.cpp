// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/plan_data.h"

#include <algorithm>
#include <cmath>

#include "plan/name_index.h"
#include "plan/point_fields.h"

namespace quillmar::plan {

// One pass over the records; observations are joined to their targets at the
// end, since a target's coordinates often follow its observation.
class PlanData::Reader {
 public:
  explicit Reader(PlanData& plan) : plan_(plan) {}

  // `record` is a copy of the row's; the names kept are views into the
  // list's own bytes of it, `storedBody`, which live as long as the list.
  void record(const SurveyRecord& record, std::string_view storedBody, std::size_t row) {
    copied_ = record.body.chars;
    stored_ = storedBody;
    if (const auto order = headerCoordinateOrder(record)) order_ = *order;
    if (const auto fields = pointFields(record))
      point(record, *fields, row);
    else if (isPointRecord(record))
      ++plan_.skipped_;  // a layout the plan cannot read
    if (const auto target = observedPointName(record)) observation(stable(trimmedName(*target)), row);
  }

  void finish() {
    const NameIndex byName(names_);
    // A station whose record has no coordinates is drawn where the book puts its point.
    for (const std::string_view name : stationsWithoutCoordinates_)
      if (const auto point = byName.find(name)) plan_.points_[*point].kind = PointKind::Station;
    // Face left and face right of one target follow each other: one lookup.
    std::string_view lastName;
    std::optional<std::uint32_t> lastPoint;
    for (const Reference& reference : references_) {
      if (reference.name != lastName || lastName.empty()) {
        lastName = reference.name;
        lastPoint = byName.find(lastName);
      }
      if (lastPoint) plan_.namedPoints_.push_back({reference.row, *lastPoint});
    }
    for (const Observation& seen : observations_) {
      const auto station =
          seen.station >= 0 ? std::optional<std::uint32_t>(seen.station) : byName.find(seen.stationName);
      const auto target = byName.find(seen.target);
      if (station && target && *station != *target) plan_.sightLines_.push_back({*station, *target});
    }
  }

 private:
  static constexpr std::size_t kRecentTargets = 32;

  std::string_view stable(std::string_view inCopy) const {
    if (inCopy.empty()) return {};
    return stored_.substr(static_cast<std::size_t>(inCopy.data() - copied_), inCopy.size());
  }

  struct Observation {
    std::int64_t station;  // -1: the station's own record has no coordinates
    std::string_view stationName;
    std::string_view target;
  };

  void point(const SurveyRecord& record, const PointFields& fields, std::size_t row) {
    const std::string_view name = stable(trimmedName(fields.name));
    const bool station = isStation(record);
    const auto first = fieldNumber(fields.first);
    const auto second = fieldNumber(fields.second);
    std::int64_t index = -1;
    if (first && second) {
      index = static_cast<std::int64_t>(plan_.positions_.size());
      const GroundPoint at =
          order_ == CoordinateOrder::NorthEast ? GroundPoint{*second, *first} : GroundPoint{*first, *second};
      add(at, name, row, station ? PointKind::Station : PointKind::Other);
    } else {
      ++plan_.skipped_;
    }
    if (station) {
      if (index < 0) {
        stationsWithoutCoordinates_.push_back(name);
        references_.push_back({static_cast<std::uint32_t>(row), name});
      }
      station_ = index;
      stationName_ = name;
      setupStart_ = observations_.size();
      inSetup_ = true;
    }
  }

  void add(GroundPoint at, std::string_view name, std::size_t row, PointKind kind) {
    plan_.positions_.push_back(at);
    plan_.extent_.include(at);
    plan_.points_.push_back({static_cast<std::uint32_t>(row), static_cast<std::uint32_t>(plan_.names_.size()),
                             static_cast<std::uint8_t>(name.size()), kind});
    plan_.names_.append(name);
    names_.push_back(name);
  }

  void observation(std::string_view target, std::size_t row) {
    references_.push_back({static_cast<std::uint32_t>(row), target});
    if (!inSetup_ || target.empty() || observedLately(target)) return;
    observations_.push_back({station_, stationName_, target});
  }

  // Face left, face right and a mean of one target follow each other and
  // make one line; a target observed again much later is drawn twice.
  bool observedLately(std::string_view target) const {
    const std::size_t recent = std::min<std::size_t>(observations_.size() - setupStart_, kRecentTargets);
    for (std::size_t i = observations_.size() - recent; i < observations_.size(); ++i)
      if (observations_[i].target == target) return true;
    return false;
  }

  PlanData& plan_;
  const char* copied_ = nullptr;
  std::string_view stored_;
  CoordinateOrder order_ = CoordinateOrder::NorthEast;
  bool inSetup_ = false;
  std::int64_t station_ = -1;
  std::string_view stationName_;
  std::size_t setupStart_ = 0;
  std::vector<Observation> observations_;
  std::vector<std::string_view> stationsWithoutCoordinates_;
  // Rows that name a point without placing it, in row order.
  struct Reference {
    std::uint32_t row;
    std::string_view name;
  };
  std::vector<Reference> references_;
  // The name of every point, as the records spell it.
  std::vector<std::string_view> names_;
};

PlanData PlanData::readRecords(const RecordList& list, std::size_t rows) {
  PlanData plan;
  rows = std::min(rows, list.size());
  Reader reader(plan);
  for (std::size_t row = 0; row < rows; ++row) reader.record(list.record(row), list.body(row), row);
  reader.finish();
  plan.recorded_ = plan.positions_.size();
  return plan;
}

PlanData PlanData::read(const RecordList& list, std::size_t rows) {
  PlanData plan = readRecords(list, rows);
  plan.grid_ = PointGrid(plan.positions_);
  return plan;
}

PlanData PlanData::read(const RecordList& list, std::size_t rows, const std::vector<ComputedPlace>& places,
                        const std::vector<ComputedSight>& sights, const std::vector<std::string_view>& setAside) {
  PlanData plan = readRecords(list, rows);
  plan.addComputed(places, sights);
  plan.setAsideRecordedPoints(setAside);
  plan.grid_ = PointGrid(plan.positions_);
  return plan;
}

// Recorded points of those names are left out of the extent (all of them
// when nothing else is left), and the book's sight lines from such a
// station start where the observations placed it, as its computed ones do.
void PlanData::setAsideRecordedPoints(const std::vector<std::string_view>& setAside) {
  if (setAside.empty()) return;
  const NameIndex isSetAside(setAside);
  Extent kept;
  for (std::size_t point = 0; point < positions_.size(); ++point)
    if (point >= recorded_ || !isSetAside.find(name(point))) kept.include(positions_[point]);
  if (!kept.empty()) extent_ = kept;

  std::vector<std::string_view> placedStations(positions_.size() - recorded_);
  for (std::size_t point = recorded_; point < positions_.size(); ++point)
    if (points_[point].kind == PointKind::ComputedStation) placedStations[point - recorded_] = name(point);
  const NameIndex placedStation(placedStations);
  for (SightLine& line : sightLines_) {
    const std::string_view station = name(line.station);
    if (!isSetAside.find(station)) continue;
    if (const auto placed = placedStation.find(station)) line.station = static_cast<std::uint32_t>(recorded_ + *placed);
  }
}

void PlanData::addComputed(const std::vector<ComputedPlace>& places, const std::vector<ComputedSight>& sights) {
  std::vector<std::string_view> names;
  names.reserve(recorded_);
  for (std::size_t point = 0; point < recorded_; ++point) names.push_back(name(point));
  const NameIndex byName(names);
  std::vector<std::string_view> computedNames;
  computedNames.reserve(places.size());
  for (const ComputedPlace& place : places) computedNames.push_back(place.name);
  const NameIndex byComputedName(computedNames);
  // A station placed from its observations draws its lines from there, not
  // from the coordinates its records give it.
  const auto stationPoint = [&](std::string_view station) -> std::optional<std::uint32_t> {
    if (const auto computed = byComputedName.find(station); computed && places[*computed].station)
      return static_cast<std::uint32_t>(recorded_ + *computed);
    return byName.find(station);
  };
  std::vector<RowPoint> observed;
  for (const ComputedSight& sight : sights) {
    if (sight.place >= places.size()) continue;
    const auto target = static_cast<std::uint32_t>(recorded_ + sight.place);
    observed.push_back({sight.row, target});
    if (sight.pairRow) observed.push_back({*sight.pairRow, target});
    const auto station = stationPoint(sight.station);
    if (station && *station != target) computedLines_.push_back({*station, target});
  }
  for (const ComputedPlace& place : places) {
    const std::string_view shown = place.name.substr(0, 255);
    positions_.push_back(place.at);
    extent_.include(place.at);
    points_.push_back({place.lastRow, static_cast<std::uint32_t>(names_.size()),
                       static_cast<std::uint8_t>(shown.size()),
                       place.station ? PointKind::ComputedStation : PointKind::Computed});
    names_.append(shown);
  }
  // An observation of a computed point names it, as one of a recorded point does.
  const auto byRow = [](const RowPoint& a, const RowPoint& b) { return a.row < b.row; };
  std::sort(observed.begin(), observed.end(), byRow);
  const std::size_t before = namedPoints_.size();
  namedPoints_.insert(namedPoints_.end(), observed.begin(), observed.end());
  std::inplace_merge(namedPoints_.begin(), namedPoints_.begin() + static_cast<std::ptrdiff_t>(before),
                     namedPoints_.end(), byRow);
}

std::string_view PlanData::name(std::size_t point) const {
  const PointInfo& info = points_[point];
  return std::string_view(names_).substr(info.nameStart, info.nameLength);
}

// Only the points of records are in row order.
std::optional<std::size_t> PlanData::pointOfRow(std::size_t row) const {
  const auto end = points_.begin() + static_cast<std::ptrdiff_t>(recorded_);
  const auto found =
      std::lower_bound(points_.begin(), end, row, [](const PointInfo& p, std::size_t r) { return p.row < r; });
  if (found == end || found->row != row) return std::nullopt;
  return static_cast<std::size_t>(found - points_.begin());
}

std::optional<std::size_t> PlanData::pointNamedByRow(std::size_t row) const {
  if (const auto own = pointOfRow(row)) return own;
  const auto found = std::lower_bound(namedPoints_.begin(), namedPoints_.end(), row,
                                      [](const RowPoint& p, std::size_t r) { return p.row < r; });
  if (found == namedPoints_.end() || found->row != row) return std::nullopt;
  return found->point;
}

std::optional<std::size_t> PlanData::nearestPoint(GroundPoint at, double radius) const {
  return grid_.nearest(positions_, at, radius);
}

double EllipseMagnification(const std::vector<ErrorEllipse>& ellipses, double pixelsPerUnit, double pixels) {
  double largest = 0;
  for (const ErrorEllipse& ellipse : ellipses) largest = std::max({largest, ellipse.a, ellipse.b});
  const double rough = pixels / (largest * pixelsPerUnit);
  if (!(largest > 0) || !std::isfinite(rough)) return 0;
  if (rough <= 1) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double magnification = power;
  for (const double m : {2.0, 5.0})
    if (m * power <= rough) magnification = m * power;
  return magnification;
}

}  // namespace quillmar::plan
