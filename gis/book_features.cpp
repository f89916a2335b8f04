#include "gis/book_features.h"

#include "plan/point_fields.h"
#include "records/record_layout.h"

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

BookFeatures BookFeatures::read(const RecordList& list, std::size_t rows) {
  BookFeatures book;
  book.list_ = &list;
  book.plan_ = plan::PlanData::read(list, rows);
  const auto& points = book.plan_.points();
  for (std::size_t i = 0; i < points.size(); ++i)
    if (points[i].kind == plan::PointKind::Station) book.stations_.push_back(static_cast<std::uint32_t>(i));
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
