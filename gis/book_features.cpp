// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/book_features.h"

#include <algorithm>
#include <unordered_map>

#include "plan/point_fields.h"
#include "records/record_layout.h"
#include "survey/adjustment.h"
#include "survey/survey.h"

namespace quillmar::gis {

std::string_view KindWord(FeatureKind kind) {
  switch (kind) {
    case FeatureKind::Station: return "station";
    case FeatureKind::Recorded: return "recorded";
    case FeatureKind::Computed: return "computed";
    case FeatureKind::Check: return "check";
  }
  return {};
}

namespace {

// "A", or "A,B" for a point computed from several set-ups, each named once.
void addOnce(std::string& list, std::string_view word) {
  std::size_t at = 0;
  while (at <= list.size()) {
    const std::size_t comma = std::min(list.find(',', at), list.size());
    if (std::string_view(list).substr(at, comma - at) == word) return;
    at = comma + 1;
  }
  if (!list.empty()) list.push_back(',');
  list.append(word);
}

// A computed point as the survey averaged it, with the set-ups and methods
// of its solutions named once each.
struct Mean {
  DerivedPoint point;
  std::uint32_t lastRow = 0;
};

std::vector<Mean> computedMeans(const survey::Results& results) {
  std::vector<Mean> means;
  std::unordered_map<std::string_view, std::size_t> byPoint;
  for (const survey::ComputedPoint& computed : results.points) {
    byPoint.emplace(computed.point, means.size());
    means.push_back({{computed.point,
                      {},
                      {},
                      computed.east,
                      computed.north,
                      computed.elevation,
                      FeatureKind::Computed,
                      computed.lastRow},
                     computed.lastRow});
  }
  for (const survey::Solution& solution : results.solutions) {
    const auto found = byPoint.find(solution.point);
    if (solution.method == survey::Method::Check || found == byPoint.end()) continue;
    DerivedPoint& point = means[found->second].point;
    addOnce(point.station, solution.station);
    addOnce(point.method, survey::MethodWord(solution.method));
    point.row = std::min(point.row, solution.row);
  }
  return means;
}

std::vector<plan::ComputedSight> computedSights(const survey::Results& results,
                                                const std::unordered_map<std::string_view, std::uint32_t>& placeOf) {
  std::vector<plan::ComputedSight> sights;
  for (const survey::Solution& solution : results.solutions) {
    const auto place = placeOf.find(solution.point);
    if (solution.method != survey::Method::Check && place != placeOf.end())
      sights.push_back({place->second, solution.station, solution.row, std::nullopt});
  }
  return sights;
}

}  // namespace

// Computed points go on the plan with a sight line from each set-up that
// observed them, as the plan window draws them; check shots go after them.
BookFeatures BookFeatures::read(const RecordList& list, std::size_t rows) {
  BookFeatures book;
  book.list_ = &list;
  const survey::Results results = survey::Compute(list, rows);
  std::vector<Mean> means = computedMeans(results);
  std::vector<plan::ComputedPlace> places;
  std::unordered_map<std::string_view, std::uint32_t> placeOf;
  for (const Mean& mean : means) {
    placeOf.emplace(mean.point.name, static_cast<std::uint32_t>(places.size()));
    places.push_back({mean.point.name, plan::GroundPoint{mean.point.east, mean.point.north}, mean.lastRow});
  }
  book.plan_ = plan::PlanData::read(list, rows, places, computedSights(results, placeOf));
  for (std::size_t i = 0; i < book.plan_.recordedPoints(); ++i)
    if (book.plan_.points()[i].kind == plan::PointKind::Station)
      book.stations_.push_back(static_cast<std::uint32_t>(i));
  for (Mean& mean : means) book.derived_.push_back(std::move(mean.point));
  for (const survey::Solution& solution : results.solutions) {
    if (solution.method != survey::Method::Check) continue;
    book.derived_.push_back({solution.point, solution.station, std::string(survey::MethodWord(solution.method)),
                             solution.east, solution.north, solution.elevation, FeatureKind::Check, solution.row});
  }
  return book;
}

// The elevation and the description are read from the point's own record
// when asked for: a million points keep no more than the plan keeps.
PointFeature BookFeatures::point(std::size_t index) const {
  PointFeature feature;
  if (index >= recordedCount()) {
    const DerivedPoint& derived = derived_[index - recordedCount()];
    feature.name = derived.name;
    feature.east = derived.east;
    feature.north = derived.north;
    feature.elevation = derived.elevation;
    feature.kind = derived.kind;
    feature.row = derived.row;
    feature.station = derived.station;
    feature.method = derived.method;
    addDeviations(feature);
    return feature;
  }
  const plan::PointInfo& info = plan_.points()[index];
  const plan::GroundPoint at = plan_.positions()[index];
  feature.name = plan_.name(index);
  feature.east = at.east;
  feature.north = at.north;
  feature.row = info.row;
  const std::string_view line = list_->body(info.row);
  const std::string_view typeCode = list_->typeCode(info.row);
  const char version = list_->version(info.row);
  feature.kind = typeCode == LayoutOf(KindId::Station).typeCode ? FeatureKind::Station : FeatureKind::Recorded;
  if (const auto places = PointPlacesOf(typeCode, version); places && places->coordinate3.exists())
    feature.elevation = plan::fieldNumber(FieldText(line, places->coordinate3));
  if (const KindLayout* kind = FindKindLayout(typeCode, {})) {
    const FieldPlace description = PlaceOf(*kind, FieldId::Description, version);
    if (description.exists()) feature.code = plan::trimmedName(FieldText(line, description));
  }
  addDeviations(feature);
  return feature;
}

void BookFeatures::setAdjustment(const survey::Adjustment& adjustment) {
  deviations_.clear();
  const double mmPerUnit = 1000 / adjustment.unitsPerMetre;
  const auto mm = [mmPerUnit](std::optional<double> value) {
    return value ? std::optional<double>(*value * mmPerUnit) : std::nullopt;
  };
  for (const survey::AdjustedPoint& point : adjustment.points) {
    if (point.role != survey::PointRole::Adjusted || point.point >= adjustment.names.size()) continue;
    deviations_[adjustment.names[point.point]] = {mm(point.sNorth), mm(point.sEast), mm(point.sElevation)};
  }
}

void BookFeatures::addDeviations(PointFeature& feature) const {
  if (deviations_.empty() || feature.kind == FeatureKind::Check) return;
  const auto found = deviations_.find(std::string(feature.name));
  if (found == deviations_.end()) return;
  feature.sNorthMm = found->second.north;
  feature.sEastMm = found->second.east;
  feature.sElevationMm = found->second.elevation;
}

}  // namespace quillmar::gis
