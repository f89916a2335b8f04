// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small field books for the computation's tests, record by record, with the
// fields at their places in either layout.

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "records/record_layout.h"
#include "records/record_list.h"
#include "survey/survey.h"

namespace quillmar::survey::test {

using F = FieldId;

struct Value {
  FieldId id;
  std::string text;
};

// A record line of `kind` in the layout `version`, each value at its place:
// names right-aligned, everything else left-aligned.
inline std::string line(KindId kind, std::string_view codes, char version, std::initializer_list<Value> values) {
  const KindLayout& layout = LayoutOf(kind);
  std::size_t length = 4;
  for (const LayoutField& field : layout.fields) length = std::max(length, field.in(version).end() - 1);
  std::string text(length, ' ');
  text.replace(0, 4, codes);
  for (const Value& value : values) {
    const FieldPlace place = PlaceOf(layout, value.id, version);
    const std::string cut = value.text.substr(0, place.width);
    const bool name = value.id == F::PointName || value.id == F::FromPoint || value.id == F::ToPoint;
    text.replace(place.start - 1 + (name ? place.width - cut.size() : 0), cut.size(), cut);
  }
  return text;
}

inline std::string header(char version, char angle = '1', char order = '1', char direction = '1') {
  return line(KindId::Header, "00NM", version,
              {{F::SoftwareVersion, version == '3' ? "SDR33" : "SDR20"},
               {F::AngleUnitCode, {angle}},
               {F::DistanceUnitCode, "1"},
               {F::PressureUnitCode, "1"},
               {F::TemperatureUnitCode, "1"},
               {F::CoordinateOrderCode, {order}},
               {F::AngleDirectionCode, {direction}}});
}
inline std::string instrument(char version, char zero) {
  return line(KindId::Instrument, "01NM", version, {{F::VerticalAngleZeroCode, {zero}}});
}
inline std::string station(char version, std::string name, std::string c1, std::string c2, std::string c3,
                           std::string height = "1.5") {
  return line(KindId::Station, "02TP", version,
              {{F::PointName, name},
               {F::Coordinate1, c1},
               {F::Coordinate2, c2},
               {F::Coordinate3, c3},
               {F::InstrumentHeight, height}});
}
inline std::string position(char version, std::string name, std::string c1, std::string c2, std::string c3) {
  return line(KindId::Position, "08KI", version,
              {{F::PointName, name}, {F::Coordinate1, c1}, {F::Coordinate2, c2}, {F::Coordinate3, c3}});
}
inline std::string target(char version, std::string height) {
  return line(KindId::Target, "03NM", version, {{F::TargetHeight, height}});
}
inline std::string backsight(char version, std::string to, std::string azimuth, std::string reading) {
  return line(KindId::Backsight, "07TP", version,
              {{F::FromPoint, "STN"}, {F::ToPoint, to}, {F::Azimuth, azimuth}, {F::HorizontalAngle, reading}});
}
inline std::string observation(char version, std::string face, std::string to, std::string slope, std::string vertical,
                               std::string horizontal, std::string from = "STN") {
  return line(face == "MC" ? KindId::ObservationByAzimuth : KindId::Observation, "09" + face, version,
              {{F::FromPoint, from},
               {F::ToPoint, to},
               {F::SlopeDistance, slope},
               {F::VerticalAngle, vertical},
               {F::Horizontal, horizontal}});
}
inline std::string reducedObservation(char version, std::string to, std::string azimuth, std::string distance,
                                      std::string rise) {
  return line(KindId::ReducedObservation, "11KI", version,
              {{F::FromPoint, "STN"},
               {F::ToPoint, to},
               {F::Azimuth, azimuth},
               {F::HorizontalDistance, distance},
               {F::VerticalDistance, rise}});
}
inline std::string scale(char version, std::string factor) {
  return line(KindId::ScaleFactor, "06NM", version, {{F::ScaleFactor, factor}});
}
inline std::string job(char cr, char refraction) {
  return line(KindId::Job, "10NM", '3',
              {{F::JobName, "JOB"}, {F::CrCorrectionCode, {cr}}, {F::RefractionConstantCode, {refraction}}});
}

inline RecordList listOf(const std::vector<std::string>& lines, char version = '3') {
  RecordList list;
  for (const std::string& text : lines) list.append({}, SurveyRecord::fromText(text, version));
  return list;
}

inline Results computed(const std::vector<std::string>& lines, char version = '3') {
  const RecordList list = listOf(lines, version);
  return Compute(list);
}

// Station STN at N 1000, E 2000, Elev 100, instrument 1.5, target 1.2,
// circle zero 0, then `after`.
inline std::vector<std::string> setUp(char version, std::vector<std::string> after, char angle = '1', char order = '1',
                                      char direction = '1', char zero = '1') {
  std::vector<std::string> lines = {
      header(version, angle, order, direction), instrument(version, zero),
      order == '1' ? station(version, "STN", "1000", "2000", "100") : station(version, "STN", "2000", "1000", "100"),
      target(version, "1.2"), backsight(version, "BS", "0", "0")};
  lines.insert(lines.end(), after.begin(), after.end());
  return lines;
}

constexpr double kTolerance = 0.00005;

}  // namespace quillmar::survey::test
