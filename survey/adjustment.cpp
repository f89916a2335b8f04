// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/adjustment.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "records/cp1251.h"
#include "records/table_text.h"
#include "survey/adjust_model.h"

namespace quillmar::survey {
namespace {

using detail::kFixed;

// Semi-axes and the bearing of a of the ellipse of the covariance
// [nn ne; ne ee]; the bearing clockwise from north (north is the first axis).
void fillEllipse(AdjustedPoint& point, double nn, double ne, double ee, double m0) {
  const double mean = (nn + ee) / 2;
  const double half = std::hypot((nn - ee) / 2, ne);
  point.a = m0 * std::sqrt(std::max(0.0, mean + half));
  point.b = m0 * std::sqrt(std::max(0.0, mean - half));
  double bearing = half > 0 ? 0.5 * std::atan2(2 * ne, nn - ee) : 0.0;
  if (bearing < 0) bearing += std::numbers::pi;
  point.bearing = bearing;
  point.sNorth = m0 * std::sqrt(std::max(0.0, nn));
  point.sEast = m0 * std::sqrt(std::max(0.0, ee));
  // A network that went astray can overflow them: better none than infinity.
  if (!std::isfinite(*point.a) || !std::isfinite(*point.sNorth) || !std::isfinite(*point.sEast))
    point.a.reset(), point.b.reset(), point.bearing.reset(), point.sNorth.reset(), point.sEast.reset();
}

// Standard deviations come with m0'; without redundancy, with the a priori m0.
double m0Of(const AdjustmentStatistics& statistics) { return statistics.redundancy > 0 ? statistics.m0 : 1.0; }

// By PointId: the first row that names the point, where the list shows it.
std::vector<std::uint32_t> firstRows(const Network& network) {
  std::vector<std::uint32_t> rows(network.names.size(), kNoIndex);
  const auto see = [&](PointId point, std::uint32_t row) { rows[point] = std::min(rows[point], row); };
  for (PointId p = 0; p < network.names.size(); ++p)
    if (network.known[p]) see(p, network.known[p]->row);
  for (const SetUp& setUp : network.setUps) see(setUp.station, setUp.row);
  for (const Sight& sight : network.sights) see(sight.target, sight.row);
  for (const Circle& circle : network.circles)
    if (circle.backsight && circle.backsight->target) see(*circle.backsight->target, circle.backsight->row);
  for (std::uint32_t& row : rows)
    if (row == kNoIndex) row = 0;
  return rows;
}

class Assembler {
 public:
  Assembler(const Network& network, const Placement& placement, detail::PlaneSolution& plane,
            detail::HeightSolution& heights, Adjustment& out)
      : network_(network), placement_(placement), plane_(plane), heights_(heights), out_(out) {}

  void points() {
    for (PointId p = 0; p < network_.names.size(); ++p) {
      if (!plane_.at[p]) continue;
      const bool control = placement_.points[p].control;
      const std::uint32_t u = plane_.unknown[p];
      if (!control && u == kFixed) {
        out_.unadjusted.push_back({false, p, 0, UnadjustedReason::TooFewObservations});
        continue;
      }
      AdjustedPoint point;
      point.point = p;
      point.north = plane_.at[p]->north;
      point.east = plane_.at[p]->east;
      point.role = control ? PointRole::Fixed : PointRole::Adjusted;
      if (!control) {
        const detail::NormalEquations& q = plane_.solved.normal;
        fillEllipse(point, q.inverse(u, u), q.inverse(u, u + 1), q.inverse(u + 1, u + 1), m0Of(out_.plane));
      }
      elevation(point);
      out_.points.push_back(point);
    }
  }

  void observations() {
    auto& all = out_.observations;
    all = std::move(plane_.solved.observations);
    all.insert(all.end(), heights_.solved.observations.begin(), heights_.solved.observations.end());
    std::stable_sort(all.begin(), all.end(),
                     [](const AdjustedObservation& a, const AdjustedObservation& b) { return a.row < b.row; });
    for (const bool heights : {false, true}) {
      std::optional<std::size_t> suspect;
      double largest = out_.criticalValue;
      for (std::size_t k = 0; k < all.size(); ++k) {
        const bool height = all[k].kind == ObservationKind::HeightDifference;
        if (height == heights && all[k].standardized && std::fabs(*all[k].standardized) > largest) {
          largest = std::fabs(*all[k].standardized);
          suspect = k;
        }
      }
      if (!suspect) continue;
      if (!out_.suspectText.empty()) out_.suspectText += '\n';
      out_.suspectText += SuspectText(out_, all[*suspect]);
      out_.suspects.push_back(*suspect);
    }
  }

 private:
  void elevation(AdjustedPoint& point) {
    const PointId p = point.point;
    point.elevation = heights_.elevation[p];
    point.fixedElevation = heights_.fixed[p];
    const std::uint32_t u = heights_.unknown[p];
    if (point.elevation && u != kFixed)
      point.sElevation = m0Of(out_.heights) * std::sqrt(std::max(0.0, heights_.solved.normal.inverse(u, u)));
    if (point.sElevation && !std::isfinite(*point.sElevation)) point.sElevation.reset();
  }

  const Network& network_;
  const Placement& placement_;
  detail::PlaneSolution& plane_;
  detail::HeightSolution& heights_;
  Adjustment& out_;
};

}  // namespace

Adjustment Adjust(const Network& network, const Placement& placement, const AdjustmentOptions& options,
                  const std::function<bool(double done)>& progress) {
  Adjustment out;
  out.names.assign(network.names.begin(), network.names.end());
  out.fullCircle = network.fullCircle;
  out.unitsPerMetre = network.conventions.empty() ? 1.0 : network.conventions.back().metre();
  out.criticalValue = options.criticalValue;
  detail::PlaneSolution plane = detail::AdjustPlane(network, placement, options, detail::Part(progress, 0, 0.3));
  if (plane.cancelled || !detail::FillStatistics(plane.solved, detail::Part(progress, 0.3, 0.85))) {
    out.cancelled = true;
    return out;
  }
  detail::HeightSolution heights = detail::AdjustHeights(network, placement, plane, options);
  if (!detail::FillStatistics(heights.solved, detail::Part(progress, 0.85, 1))) {
    out.cancelled = true;
    return out;
  }
  out.plane = plane.solved.statistics;
  out.heights = heights.solved.statistics;
  out.orientations = plane.orientation;
  out.unadjusted = std::move(plane.unadjusted);
  out.unadjusted.insert(out.unadjusted.end(), heights.unadjusted.begin(), heights.unadjusted.end());
  Assembler assembler(network, placement, plane, heights, out);
  assembler.points();
  assembler.observations();
  if (!out.unadjusted.empty()) {
    const std::vector<std::uint32_t> rows = firstRows(network);
    for (Unadjusted& left : out.unadjusted)
      if (!left.circle) left.row = rows[left.index];
  }
  std::stable_sort(out.unadjusted.begin(), out.unadjusted.end(),
                   [](const Unadjusted& a, const Unadjusted& b) { return a.row < b.row; });
  return out;
}

double SmallAngle(double radians, double fullCircle) {
  const double book = radians * fullCircle / (2 * std::numbers::pi);
  if (fullCircle == 360) return book * 3600;
  if (fullCircle == 400) return book * 10000;
  return book;
}

std::string_view ObservationKindText(ObservationKind kind) {
  switch (kind) {
    case ObservationKind::Direction: return "направление"_w;
    case ObservationKind::Azimuth: return "азимут"_w;
    case ObservationKind::Distance: return "расстояние"_w;
    case ObservationKind::HeightDifference: return "превышение"_w;
  }
  return {};
}

std::string_view ObservationKindWord(ObservationKind kind) {
  switch (kind) {
    case ObservationKind::Direction: return "direction";
    case ObservationKind::Azimuth: return "azimuth";
    case ObservationKind::Distance: return "distance";
    case ObservationKind::HeightDifference: return "height";
  }
  return {};
}

std::string_view UnadjustedText(UnadjustedReason reason) {
  switch (reason) {
    case UnadjustedReason::NotPlaced: return "не связан с исходными пунктами"_w;
    case UnadjustedReason::TooFewObservations: return "измерений недостаточно для определения"_w;
    case UnadjustedReason::NoReference: return "нет направлений на пункты с координатами"_w;
    case UnadjustedReason::NoHeightDifference: return "нет превышений, связанных с исходными высотами"_w;
  }
  return {};
}

std::string_view UnadjustedWord(UnadjustedReason reason) {
  switch (reason) {
    case UnadjustedReason::NotPlaced: return "not connected to the control";
    case UnadjustedReason::TooFewObservations: return "too few observations to fix it";
    case UnadjustedReason::NoReference: return "no direction to a point with coordinates";
    case UnadjustedReason::NoHeightDifference: return "no height difference to a control elevation";
  }
  return {};
}

std::string ResidualText(const Adjustment& adjustment, const AdjustedObservation& o, std::string_view millimetre) {
  std::string text;
  if (o.kind == ObservationKind::Direction || o.kind == ObservationKind::Azimuth) {
    const bool mils = adjustment.fullCircle != 360 && adjustment.fullCircle != 400;
    AppendFixed(text, SmallAngle(o.residual, adjustment.fullCircle), mils ? 3 : 0);
    text += adjustment.fullCircle == 360 ? "\"" : adjustment.fullCircle == 400 ? "cc" : " mil";
  } else {
    AppendFixed(text, o.residual / adjustment.unitsPerMetre * 1000, 1);
    text.append(" ").append(millimetre);
  }
  return text;
}

std::string SuspectText(const Adjustment& adjustment, const AdjustedObservation& o) {
  // Named first: clang 14 crashes on the literal inside the constructor's parentheses.
  const std::string_view lead = "Вероятно, грубая ошибка: строка "_w;
  std::string text(lead);
  text += std::to_string(std::uint64_t{o.row} + 1);
  text += ", ";
  text += ObservationKindText(o.kind);
  text += ' ';
  text += adjustment.names[o.station];
  if (o.hasTarget) text += " -> " + adjustment.names[o.target];
  text += ", ";
  text += "поправка "_w;
  text += ResidualText(adjustment, o, "мм"_w);
  return text;
}

Adjustment AdjustBook(const RecordList& list, std::size_t rows, const ControlChoice& control,
                      const AdjustmentOptions& options, const std::function<bool(double done)>& progress) {
  const Network network = ReadNetwork(list, rows);
  const Placement placement = Place(network, control);
  return Adjust(network, placement, options, progress);
}

}  // namespace quillmar::survey
