#include "plan/plan_data.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "plan/point_fields.h"

namespace quillmar::plan {

// One pass over the records; observations are joined to their targets at the
// end, since a target's coordinates often follow its observation.
class PlanData::Reader {
 public:
  explicit Reader(PlanData& plan) : plan_(plan) {}

  void record(const SurveyRecord& record, std::size_t row) {
    if (const auto order = headerCoordinateOrder(record)) order_ = *order;
    if (const auto fields = pointFields(record)) point(record, *fields, row);
    if (const auto target = observedPointName(record)) observation(trimmedName(*target));
  }

  void finish() {
    for (const Observation& seen : observations_) {
      const auto station = seen.station >= 0 ? std::optional<std::uint32_t>(seen.station)
                                             : pointNamed(seen.stationName);
      const auto target = pointNamed(seen.target);
      if (station && target && *station != *target) plan_.sightLines_.push_back({*station, *target});
    }
  }

 private:
  struct Observation {
    std::int64_t station;  // -1: the station's own record has no coordinates
    std::string_view stationName;
    std::string_view target;
  };

  void point(const SurveyRecord& record, const PointFields& fields, std::size_t row) {
    const std::string_view name = trimmedName(fields.name);
    const bool station = isStation(record);
    const auto first = fieldNumber(fields.first);
    const auto second = fieldNumber(fields.second);
    std::int64_t index = -1;
    if (first && second) {
      index = static_cast<std::int64_t>(plan_.positions_.size());
      const GroundPoint at = order_ == CoordinateOrder::NorthEast ? GroundPoint{*second, *first}
                                                                   : GroundPoint{*first, *second};
      add(at, name, row, station ? PointKind::Station : PointKind::Other);
      byName_.insert_or_assign(name, static_cast<std::uint32_t>(index));
    } else {
      ++plan_.skipped_;
    }
    if (station) {
      station_ = index;
      stationName_ = name;
      observed_.clear();
      inSetup_ = true;
    }
  }

  void add(GroundPoint at, std::string_view name, std::size_t row, PointKind kind) {
    plan_.positions_.push_back(at);
    plan_.extent_.include(at);
    plan_.points_.push_back({static_cast<std::uint32_t>(row),
                             static_cast<std::uint32_t>(plan_.names_.size()),
                             static_cast<std::uint8_t>(name.size()), kind});
    plan_.names_.append(name);
  }

  void observation(std::string_view target) {
    // Face left, face right and a mean of the same target make one line.
    if (!inSetup_ || target.empty() || !observed_.insert(target).second) return;
    observations_.push_back({station_, stationName_, target});
  }

  std::optional<std::uint32_t> pointNamed(std::string_view name) const {
    const auto found = byName_.find(name);
    if (found == byName_.end()) return std::nullopt;
    return found->second;
  }

  PlanData& plan_;
  CoordinateOrder order_ = CoordinateOrder::NorthEast;
  bool inSetup_ = false;
  std::int64_t station_ = -1;
  std::string_view stationName_;
  std::unordered_set<std::string_view> observed_;
  std::vector<Observation> observations_;
  // A name stands for the last point of that name in the book.
  std::unordered_map<std::string_view, std::uint32_t> byName_;
};

PlanData PlanData::read(const RecordList& list, std::size_t rows) {
  PlanData plan;
  rows = std::min(rows, list.size());
  Reader reader(plan);
  for (std::size_t row = 0; row < rows; ++row) reader.record(list.record(row), row);
  reader.finish();
  plan.grid_ = PointGrid(plan.positions_);
  return plan;
}

std::string_view PlanData::name(std::size_t point) const {
  const PointInfo& info = points_[point];
  return std::string_view(names_).substr(info.nameStart, info.nameLength);
}

std::optional<std::size_t> PlanData::pointOfRow(std::size_t row) const {
  const auto found = std::lower_bound(points_.begin(), points_.end(), row,
                                      [](const PointInfo& p, std::size_t r) { return p.row < r; });
  if (found == points_.end() || found->row != row) return std::nullopt;
  return static_cast<std::size_t>(found - points_.begin());
}

std::optional<std::size_t> PlanData::nearestPoint(GroundPoint at, double radius) const {
  return grid_.nearest(positions_, at, radius);
}

}  // namespace quillmar::plan
