// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/point_fields.h"

#include <charconv>
#include <cmath>

#include "records/record_layout.h"
#include "records/sdr_field.h"

namespace quillmar::plan {
namespace {

std::string_view fieldAt(std::string_view line, FieldPlace place) {
  return place.exists() ? sdrField(line, place.start, place.width) : std::string_view();
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
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

std::string_view trimmedName(std::string_view field) { return trimmed(field); }

std::optional<double> fieldNumber(std::string_view field) {
  std::string_view text = trimmed(field);
  // from_chars takes no plus sign; a sign after it is no number.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace quillmar::plan
