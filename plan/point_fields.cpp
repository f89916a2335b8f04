// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/point_fields.h"

#include "records/record_layout.h"
#include "records/sdr_field.h"

namespace quillmar::plan {
namespace {

std::string_view fieldAt(std::string_view line, FieldPlace place) {
  return place.exists() ? sdrField(line, place.start, place.width) : std::string_view();
}

}  // namespace

bool isStation(const SurveyRecord& record) { return record.typeCode == LayoutOf(KindId::Station).typeCode; }

bool isPointRecord(const SurveyRecord& record) {
  return isStation(record) || record.typeCode == LayoutOf(KindId::Position).typeCode;
}

std::optional<PointFields> pointFields(const SurveyRecord& record) {
  if (!isPointRecord(record)) return std::nullopt;
  const auto places = PointPlacesOf(record.typeCode.view(), record.version);
  if (!places) return std::nullopt;
  const std::string_view line = record.body.view();
  return PointFields{fieldAt(line, places->name), fieldAt(line, places->coordinate1),
                     fieldAt(line, places->coordinate2)};
}

// Every observation names its target at the same place, whatever its
// derivation code.
std::optional<std::string_view> observedPointName(const SurveyRecord& record) {
  const KindLayout& observation = LayoutOf(KindId::Observation);
  if (record.typeCode != observation.typeCode) return std::nullopt;
  const FieldPlace target = PlaceOf(observation, FieldId::ToPoint, record.version);
  if (!target.exists()) return std::nullopt;
  return fieldAt(record.body.view(), target);
}

}  // namespace quillmar::plan
