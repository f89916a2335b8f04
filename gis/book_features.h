// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a CAD or GIS export of a field book holds: the points of the book
// (every station and position record whose coordinates are numbers, then the
// points the survey computes from the observations, and its check shots of
// recorded points), the set-ups, and the sight lines as the plan
// draws them. Read through the plan's reading of the records, so that the
// header's coordinate order counts the same way; texts stay Windows-1251.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "plan/plan_data.h"
#include "records/record_list.h"

namespace quillmar::survey {
struct Adjustment;
}

namespace quillmar::gis {

enum class FeatureKind : std::uint8_t { Station, Recorded, Computed, Check };

// "station", "recorded", "computed", "check".
std::string_view KindWord(FeatureKind kind);

struct PointFeature {
  std::string_view name;  // trimmed, Windows-1251
  std::string_view code;  // the record's description, trimmed
  double east = 0;
  double north = 0;
  std::optional<double> elevation;
  FeatureKind kind = FeatureKind::Recorded;
  std::uint32_t row = 0;     // the record's row, counting from 0
  std::string_view station;  // computed points and check shots: the set-up(s)
  std::string_view method;   // and how they were computed
  // An adjusted point's standard deviations, in millimetres; nothing for
  // the others and without an adjustment.
  std::optional<double> sNorthMm, sEastMm, sElevationMm;
};

// A point the survey computed, with the texts it owns.
struct DerivedPoint {
  std::string name;
  std::string station;
  std::string method;
  double east = 0;
  double north = 0;
  std::optional<double> elevation;
  FeatureKind kind = FeatureKind::Computed;
  std::uint32_t row = 0;
};

class BookFeatures {
 public:
  // The first `rows` records of `list`, and what the survey computes from
  // them; the list must outlive the result.
  static BookFeatures read(const RecordList& list, std::size_t rows);
  static BookFeatures read(const RecordList& list) { return read(list, list.size()); }

  std::size_t recordedCount() const { return plan_.recordedPoints(); }
  // Computed points and check shots go after the recorded points.
  std::size_t pointCount() const { return recordedCount() + derived_.size(); }
  PointFeature point(std::size_t index) const;
  // Indexes of the points that are set-ups.
  const std::vector<std::uint32_t>& stations() const { return stations_; }
  // The plan's sight lines: to recorded points, then to computed ones.
  std::size_t sightLineCount() const { return plan_.sightLines().size() + plan_.computedLines().size(); }
  // The two ends of a sight line, as indexes of points.
  std::pair<std::uint32_t, std::uint32_t> sightLine(std::size_t index) const {
    const std::size_t recorded = plan_.sightLines().size();
    const plan::SightLine& line =
        index < recorded ? plan_.sightLines()[index] : plan_.computedLines()[index - recorded];
    return {line.station, line.target};
  }
  // Station and position records whose coordinates are not numbers.
  std::size_t skippedRecords() const { return plan_.skippedRecords(); }
  // The standard deviations of the points the adjustment moved go with
  // the points of their names (not with check shots).
  void setAdjustment(const survey::Adjustment& adjustment);

 private:
  struct Deviations {
    std::optional<double> north, east, elevation;  // millimetres
  };
  void addDeviations(PointFeature& feature) const;
  std::unordered_map<std::string, Deviations> deviations_;
  plan::PlanData plan_;
  const RecordList* list_ = nullptr;
  std::vector<std::uint32_t> stations_;
  std::vector<DerivedPoint> derived_;
};

}  // namespace quillmar::gis
