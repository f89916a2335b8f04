// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/coordinate_records.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "editing/field_rows.h"
#include "editing/number_fit.h"
#include "records/book_conventions.h"
#include "records/record_layout.h"
#include "records/table_text.h"

namespace quillmar::survey {
namespace {

// The derivation code the add dialog gives a position.
constexpr std::string_view kPositionCode = "XD";
constexpr int kDecimals = 4;

// The value with as many of four decimals as `width` holds, by the dialogs'
// rule for numbers (rounded once, from the value's own digits); nothing when
// not even the whole number fits.
std::optional<std::string> fitted(double value, std::size_t width) {
  std::string text = FixedText(value, kDecimals);
  if (text.size() <= width) return text;
  FittedNumber fit = FitNumber(FixedText(value, 12), width);
  if (fit.fit == NumberFit::TooLong) return std::nullopt;
  return std::move(fit.text);
}

// The computed points with the adjusted coordinates of those the adjustment moved.
std::vector<ComputedPoint> withAdjusted(const std::vector<ComputedPoint>& computed, const Adjustment& adjustment) {
  std::unordered_map<std::string_view, const AdjustedPoint*> adjusted;
  for (const AdjustedPoint& point : adjustment.points)
    if (point.role == PointRole::Adjusted && point.point < adjustment.names.size())
      adjusted.emplace(adjustment.names[point.point], &point);
  std::vector<ComputedPoint> points = computed;
  for (ComputedPoint& point : points) {
    const auto found = adjusted.find(point.point);
    if (found == adjusted.end()) continue;
    point.north = found->second->north;
    point.east = found->second->east;
    if (found->second->elevation && !found->second->fixedElevation) point.elevation = found->second->elevation;
  }
  return points;
}

}  // namespace

CoordinateRecords MakeCoordinateRecords(const RecordList& list, std::size_t rows, const Results& results,
                                        const Adjustment* adjustment) {
  CoordinateRecords made;
  const std::vector<ComputedPoint> adjusted =
      adjustment ? withAdjusted(results.points, *adjustment) : std::vector<ComputedPoint>();
  const std::vector<ComputedPoint>& all = adjustment ? adjusted : results.points;
  std::vector<const ComputedPoint*> points;
  points.reserve(all.size());
  rows = std::min(rows, list.size());
  for (const ComputedPoint& point : all) {
    // A point the book holds already from an earlier insert is not put in twice.
    if (point.lastRow < rows && !point.inserted) points.push_back(&point);
  }
  std::stable_sort(points.begin(), points.end(),
                   [](const ComputedPoint* a, const ComputedPoint* b) { return a->lastRow < b->lastRow; });
  const std::string_view headerCode = LayoutOf(KindId::Header).typeCode;
  const std::string_view positionCode = LayoutOf(KindId::Position).typeCode;
  CoordinateOrder order = CoordinateOrder::NorthEast;
  std::size_t row = 0;
  for (const ComputedPoint* point : points) {
    // The order of the header in force where the record goes.
    for (; row <= point->lastRow; ++row) {
      if (list.typeCode(row) != headerCode) continue;
      if (const auto code = HeaderCoordinateOrder(headerCode, list.version(row), list.body(row))) order = *code;
    }
    const char version = list.version(point->lastRow);
    const auto fieldRows = FieldRows(positionCode, version, kPositionCode);
    if (fieldRows.size() != 5) {
      made.notFitted.push_back(point->point);
      continue;
    }
    const bool northFirst = order == CoordinateOrder::NorthEast;
    const auto first = fitted(northFirst ? point->north : point->east, fieldRows[1].width);
    const auto second = fitted(northFirst ? point->east : point->north, fieldRows[2].width);
    std::optional<std::string> third = std::string();
    if (point->elevation) third = fitted(*point->elevation, fieldRows[3].width);
    if (!first || !second || !third || point->point.size() > fieldRows[0].width) {
      made.notFitted.push_back(point->point);
      continue;
    }
    const std::string values[] = {point->point, *first, *second, *third, std::string()};
    const std::string line = AssembleLine(positionCode, kPositionCode, fieldRows, values);
    made.records.push_back({point->lastRow, SurveyRecord::fromLine(line, version)});
  }
  return made;
}

}  // namespace quillmar::survey
