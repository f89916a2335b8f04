// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/detail_computation.h"

#include <cmath>
#include <utility>

namespace quillmar::survey::detail {

void Computation::observation(std::string_view line, const Places& places, std::string_view derivCode,
                              std::uint32_t row) {
  const bool byAzimuth = LayoutOf(KindId::ObservationByAzimuth).takes(derivCode);
  if (!byAzimuth && !LayoutOf(KindId::Observation).takes(derivCode)) return;
  if (!setUp_) return fail(row, Failure::NoStation);
  const double full = conventions_.fullCircle;
  if (full == 0) return fail(row, Failure::UnknownUnits);
  Sighting seen;
  seen.row = row;
  seen.target = trimmed(FieldText(line, places.observedTo));
  seen.byAzimuth = byAzimuth;
  seen.face = derivCode == "F1" ? Face::Left : derivCode == "F2" ? Face::Right : Face::Single;
  seen.targetHeight = targetHeight_;
  seen.conventions = conventions_;
  if (seen.target.empty()) return fail(row, Failure::NotANumber);
  const Value slope = valueOf(FieldText(line, places.slope));
  if (slope.state == Value::Text) return fail(row, Failure::NotANumber);
  if (!slope.ok() || slope.number <= 0) return fail(row, Failure::NoDistance);
  const Value vertical = valueOf(FieldText(line, places.vertical));
  const Value horizontal = valueOf(FieldText(line, places.horizontal));
  if (!vertical.ok() || !horizontal.ok()) return fail(row, Failure::NotANumber);
  seen.slope = slope.number;
  seen.horizontal = reduced(byAzimuth ? horizontal.number : clockwise(horizontal.number), full);
  // An elevation angle v is the zenith angle 90 - v, on either face.
  seen.zenith = reduced(conventions_.horizonZero ? full / 4 - vertical.number : vertical.number, full);
  const double faceLeft = seen.face == Face::Right ? full - seen.zenith : seen.zenith;
  if (!(faceLeft > 0 && faceLeft < full / 2)) return fail(row, Failure::BadAngle);

  if (seen.face == Face::Right) {
    Waiting* left = waiting_.find(seen.target);
    if (left != nullptr && !left->paired) {
      left->paired = true;
      return pair(*left, seen);
    }
  }
  Waiting alone{seen};
  Solution solution;
  if (const auto failure = single(seen, solution)) {
    fail(row, *failure);
    alone.failure = *failure;
  } else {
    alone.solution = static_cast<std::uint32_t>(results_.solutions.size());
    results_.solutions.push_back(std::move(solution));
  }
  if (seen.face == Face::Left) waiting_.add(std::move(alone));
}

// A face-left horizontal reading (or azimuth) and zenith angle in the book's unit.
std::optional<Failure> Computation::solve(const Sighting& seen, double horizontal, double zenith, double slope,
                                          std::optional<std::uint32_t> pairRow, Solution& solution) {
  const SetUp& setUp = *setUp_;
  const Conventions& units = seen.conventions;
  if (!setUp.at) return Failure::NoStationCoordinates;
  double azimuth = horizontal;
  if (!seen.byAzimuth) {
    if (!setUp.circleZero) return Failure::NoOrientation;
    azimuth = *setUp.circleZero + horizontal;
  }
  const double z = units.toRadians(zenith);
  const double sine = std::sin(z);
  const double cosine = std::cos(z);
  // The horizontal distance over the curved earth, refraction included;
  // the job's C&R switch governs the height difference only.
  const double level = slope * sine - (1 - units.refraction / 2) * slope * slope * sine * cosine / units.earthRadius;
  // Only a sight longer than the earth is wide turns the term round.
  if (!(level > 0)) return Failure::NoDistance;
  double rise = slope * cosine;
  if (units.curvatureAndRefraction)
    rise += (1 - units.refraction) * slope * slope * sine * sine / (2 * units.earthRadius);
  return place(seen.target, units.toRadians(azimuth), level * units.scale, rise, seen.targetHeight,
               seen.byAzimuth ? Method::Azimuth : Method::Polar, seen.row, pairRow, solution);
}

void Computation::reducedObservation(std::string_view line, const Places& places, std::uint32_t row) {
  if (!setUp_) return fail(row, Failure::NoStation);
  if (conventions_.fullCircle == 0) return fail(row, Failure::UnknownUnits);
  const std::string_view target = trimmed(FieldText(line, places.reducedTo));
  if (target.empty()) return fail(row, Failure::NotANumber);
  const Value distance = valueOf(FieldText(line, places.reducedDistance));
  if (distance.state == Value::Text) return fail(row, Failure::NotANumber);
  if (!distance.ok() || distance.number <= 0) return fail(row, Failure::NoDistance);
  const auto azimuth = numberOf(FieldText(line, places.reducedAzimuth));
  if (!azimuth) return fail(row, Failure::NotANumber);
  if (!setUp_->at) return fail(row, Failure::NoStationCoordinates);
  const auto rise = numberOf(FieldText(line, places.reducedRise));
  Solution solution;
  if (const auto failure = place(target, conventions_.toRadians(*azimuth), distance.number * conventions_.scale, rise,
                                 targetHeight_, Method::Reduced, row, std::nullopt, solution))
    return fail(row, *failure);
  results_.solutions.push_back(std::move(solution));
}

std::optional<Failure> Computation::place(std::string_view target, double azimuth, double distance,
                                          std::optional<double> rise, double targetHeight, Method method,
                                          std::uint32_t row, std::optional<std::uint32_t> pairRow, Solution& solution) {
  const SetUp& setUp = *setUp_;
  solution.north = setUp.at->north + distance * std::cos(azimuth);
  solution.east = setUp.at->east + distance * std::sin(azimuth);
  if (setUp.at->elevation && rise)
    solution.elevation = *setUp.at->elevation + setUp.instrumentHeight + *rise - targetHeight;
  if (!std::isfinite(solution.north) || !std::isfinite(solution.east) ||
      (solution.elevation && !std::isfinite(*solution.elevation)))
    return Failure::NotANumber;
  solution.point.assign(target);
  solution.station.assign(setUp.station);
  solution.method = method;
  solution.row = row;
  solution.pairRow = pairRow;
  return std::nullopt;
}

}  // namespace quillmar::survey::detail
