// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/book_features.h"

#include <algorithm>
#include <unordered_map>

#include "plan/point_fields.h"
#include "records/record_layout.h"
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

void addSurvey(BookFeatures& book, const survey::Results& results) {
  std::unordered_map<std::string_view, std::vector<const survey::Solution*>> byPoint;
  for (const survey::Solution& solution : results.solutions)
    if (solution.method != survey::Method::Check) byPoint[solution.point].push_back(&solution);
  for (const survey::ComputedPoint& computed : results.points) {
    DerivedPoint point{
        computed.point,  {}, {}, computed.east, computed.north, computed.elevation, FeatureKind::Computed,
        computed.lastRow};
    const auto found = byPoint.find(computed.point);
    if (found != byPoint.end() && !found->second.empty()) {
      point.row = found->second.front()->row;
      for (const survey::Solution* solution : found->second) {
        addOnce(point.station, solution->station);
        addOnce(point.method, survey::MethodWord(solution->method));
      }
    }
    book.addDerived(std::move(point));
  }
  for (const survey::Solution& solution : results.solutions) {
    if (solution.method != survey::Method::Check) continue;
    book.addDerived({solution.point, solution.station, std::string(survey::MethodWord(solution.method)), solution.east,
                     solution.north, solution.elevation, FeatureKind::Check, solution.row});
  }
}

}  // namespace

BookFeatures BookFeatures::read(const RecordList& list, std::size_t rows) {
  BookFeatures book;
  book.list_ = &list;
  book.plan_ = plan::PlanData::read(list, rows);
  const auto& points = book.plan_.points();
  for (std::size_t i = 0; i < points.size(); ++i)
    if (points[i].kind == plan::PointKind::Station) book.stations_.push_back(static_cast<std::uint32_t>(i));
  addSurvey(book, survey::Compute(list, rows));
  return book;
}

// The elevation and the description are read from the point's own record
// when asked for: a million points keep no more than the plan keeps.
PointFeature BookFeatures::point(std::size_t index) const {
  PointFeature feature;
  if (index >= plan_.size()) {
    const DerivedPoint& derived = derived_[index - plan_.size()];
    feature.name = derived.name;
    feature.east = derived.east;
    feature.north = derived.north;
    feature.elevation = derived.elevation;
    feature.kind = derived.kind;
    feature.row = derived.row;
    feature.station = derived.station;
    feature.method = derived.method;
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
  return feature;
}

}  // namespace quillmar::gis
