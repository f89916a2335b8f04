// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/adjustment_table.h"

#include <numbers>
#include <optional>

#include "records/table_text.h"

namespace quillmar::survey {
namespace {

constexpr std::string_view kPointsHeader = "point;N;E;Elev;sN;sE;sElev;a;b;bearing;role\r\n";
constexpr std::string_view kObservationsHeader =
    "row;station;target;kind;observed;residual;standardized;redundancy\r\n";

void appendField(std::string& line, const std::optional<double>& value, int decimals) {
  if (value) AppendFixed(line, *value, decimals);
  line.push_back(';');
}

std::optional<double> millimetres(const std::optional<double>& length, double unitsPerMetre) {
  if (!length) return std::nullopt;
  return *length / unitsPerMetre * 1000;
}

bool isAngle(ObservationKind kind) { return kind == ObservationKind::Direction || kind == ObservationKind::Azimuth; }

std::string_view verdictWord(ChiSquareVerdict verdict) {
  switch (verdict) {
    case ChiSquareVerdict::Passed: return "passed";
    case ChiSquareVerdict::TooSmall: return "failed (too small)";
    case ChiSquareVerdict::TooLarge: return "failed (too large)";
    case ChiSquareVerdict::NoRedundancy: return "not made (no redundancy)";
  }
  return {};
}

void appendStatistics(std::string& line, std::string_view what, const AdjustmentStatistics& s) {
  line.append(what).append(": m0' = ");
  AppendFixed(line, s.m0, 4);
  line.append(", redundancy ").append(std::to_string(s.redundancy));
  line.append(", chi-square test at 95 % ").append(verdictWord(s.verdict));
  if (s.verdict != ChiSquareVerdict::NoRedundancy) {
    line.append(" (");
    AppendFixed(line, s.chiSquare, 2);
    line.append(" against ");
    AppendFixed(line, s.lower, 2);
    line.append("..");
    AppendFixed(line, s.upper, 2);
    line.append(")");
  }
  if (!s.converged) line.append(", not converged");
}

}  // namespace

void WriteAdjustedPoints(ByteSink& out, const Adjustment& adjustment) {
  out.write(kPointsHeader);
  const double units = adjustment.unitsPerMetre;
  std::string line;
  for (const AdjustedPoint& point : adjustment.points) {
    line.clear();
    AppendTableField(line, adjustment.names[point.point]);
    line.push_back(';');
    appendField(line, point.north, 4);
    appendField(line, point.east, 4);
    appendField(line, point.elevation, 4);
    for (const auto& length : {point.sNorth, point.sEast, point.sElevation, point.a, point.b})
      appendField(line, millimetres(length, units), 1);
    std::optional<double> bearing;
    if (point.bearing) bearing = *point.bearing * adjustment.fullCircle / (2 * std::numbers::pi);
    appendField(line, bearing, 4);
    line.append(point.role == PointRole::Fixed ? "fixed" : "adjusted").append("\r\n");
    out.write(line);
  }
}

void WriteAdjustedObservations(ByteSink& out, const Adjustment& adjustment) {
  out.write(kObservationsHeader);
  const double units = adjustment.unitsPerMetre;
  const bool mils = adjustment.fullCircle != 360 && adjustment.fullCircle != 400;
  std::string line;
  for (const AdjustedObservation& o : adjustment.observations) {
    line.clear();
    line.append(std::to_string(std::uint64_t{o.row} + 1)).push_back(';');
    AppendTableField(line, adjustment.names[o.station]);
    line.push_back(';');
    if (o.hasTarget) AppendTableField(line, adjustment.names[o.target]);
    line.push_back(';');
    line.append(ObservationKindWord(o.kind)).push_back(';');
    if (isAngle(o.kind)) {
      appendField(line, o.observed * adjustment.fullCircle / (2 * std::numbers::pi), 6);
      appendField(line, SmallAngle(o.residual, adjustment.fullCircle), mils ? 4 : 1);
    } else {
      appendField(line, o.observed, 4);
      appendField(line, millimetres(o.residual, units), 1);
    }
    appendField(line, o.standardized, 2);
    AppendFixed(line, o.redundancy, 3);
    line.append("\r\n");
    out.write(line);
  }
}

std::string AdjustmentSummaryLine(const Adjustment& adjustment) {
  std::string line;
  appendStatistics(line, "plane", adjustment.plane);
  line.append("; ");
  appendStatistics(line, "heights", adjustment.heights);
  line.append("; ");
  if (adjustment.suspects.empty()) return line.append("no suspected blunder");
  for (const std::size_t k : adjustment.suspects) {
    const AdjustedObservation& o = adjustment.observations[k];
    if (k != adjustment.suspects.front()) line.append("; ");
    line.append("suspected blunder: row ").append(std::to_string(std::uint64_t{o.row} + 1)).append(", ");
    line.append(ObservationKindWord(o.kind)).append(" ").append(adjustment.names[o.station]);
    if (o.hasTarget) line.append(" -> ").append(adjustment.names[o.target]);
    line.append(", residual ").append(ResidualText(adjustment, o, "mm")).append(", standardized ");
    AppendFixed(line, *o.standardized, 2);
  }
  return line;
}

}  // namespace quillmar::survey
