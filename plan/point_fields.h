// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few fields of an SDR record that the plan needs, read at the places
// the table of record layouts gives: a point's name and its two coordinates,
// the point an observation aims at, and the coordinate order a header sets.

#include <optional>
#include <string_view>

#include "records/coordinate_order.h"
#include "records/survey_record.h"

namespace quillmar::plan {

struct PointFields {
  std::string_view name;
  std::string_view first;   // the first coordinate in the line
  std::string_view second;  // the second
};

// A station ("02") or a position ("08") record.
bool isPointRecord(const SurveyRecord& record);
// The fields of a point record of either layout; nothing for a record of
// neither layout or of another kind.
std::optional<PointFields> pointFields(const SurveyRecord& record);

// The target point of an observation ("09") record of either layout.
std::optional<std::string_view> observedPointName(const SurveyRecord& record);

using quillmar::CoordinateOrder;

// What a header ("00") says about the order of the coordinate fields; nothing
// for another record, or for a header whose code leaves the order as it was.
inline std::optional<CoordinateOrder> headerCoordinateOrder(const SurveyRecord& record) {
  return HeaderCoordinateOrder(record);
}

bool isStation(const SurveyRecord& record);

// A point name without the blanks that right-align it in its field.
inline std::string_view trimmedName(std::string_view field) { return TrimmedField(field); }

// The number a field holds, blanks around it allowed; nothing for an empty
// field, text, or a value beyond any a field book holds.
inline std::optional<double> fieldNumber(std::string_view field) { return FieldNumber(field); }

}  // namespace quillmar::plan
