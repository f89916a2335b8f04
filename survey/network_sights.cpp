// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "survey/network_reader.h"

namespace quillmar::survey::detail {
namespace {

using K = KindId;
using F = FieldId;

// Faces further apart than this are no pair of one instrument: a gon of
// collimation or index error is far beyond any instrument in adjustment.
constexpr double kLargestFaceError = 1.0 / 400;  // of the full circle

std::string_view fieldOf(std::string_view line, KindId kind, FieldId field, char version) {
  return FieldText(line, FieldOf(kind, field).in(version));
}

}  // namespace

void NetworkReader::observation(std::uint32_t row, std::string_view line, char version) {
  const std::string_view code = list_.derivCode(row);
  const bool byAzimuth = LayoutOf(K::ObservationByAzimuth).takes(code);
  if (!byAzimuth && !LayoutOf(K::Observation).takes(code)) return fail(row, Failure::UnknownDerivation);
  if (network_.setUps.empty()) return fail(row, Failure::NoStation);
  if (full() == 0) return fail(row, Failure::UnknownUnits);
  const Face face = code == "F1" ? Face::Left : code == "F2" ? Face::Right : Face::Single;
  const auto reading = readingOf(row, line, version, byAzimuth ? SightKind::Azimuth : SightKind::Circle, face);
  if (!reading) return;
  if (face == Face::Right) return faceRight(*reading);
  const auto sight = sightOf(*reading, reading->slope);
  const std::uint32_t index = sight ? addSight(*sight) : kNoIndex;
  if (face == Face::Left) waiting_[reading->target] = {*reading, index, false};
}

std::optional<Reading> NetworkReader::readingOf(std::uint32_t row, std::string_view line, char version, SightKind kind,
                                                Face face) {
  Reading reading;
  reading.row = row;
  reading.face = face;
  reading.kind = kind;
  const std::string_view target = TrimmedField(fieldOf(line, K::Observation, F::ToPoint, version));
  const FieldValue slope = ReadFieldValue(fieldOf(line, K::Observation, F::SlopeDistance, version));
  const FieldValue vertical = ReadFieldValue(fieldOf(line, K::Observation, F::VerticalAngle, version));
  const FieldValue horizontal = ReadFieldValue(fieldOf(line, K::Observation, F::Horizontal, version));
  // A slope distance needs its vertical angle; a direction alone needs none.
  const bool slopeGiven = slope.ok() && slope.number > 0;
  if (target.empty() || slope.state == FieldValue::Text || vertical.state == FieldValue::Text || !horizontal.ok() ||
      (slopeGiven && !vertical.ok())) {
    fail(row, Failure::NotANumber);
    return std::nullopt;
  }
  reading.target = idOf(target);
  use(reading.target, row);
  const bool turned = kind == SightKind::Circle && conventions_.counterClockwise;
  reading.horizontal = reducedAngle(turned ? -horizontal.number : horizontal.number, full());
  if (vertical.ok()) {
    // An elevation angle v is the zenith angle 90 - v, on either face.
    const double zenith =
        reducedAngle(conventions_.horizonZero ? full() / 4 - vertical.number : vertical.number, full());
    const double faceLeft = face == Face::Right ? full() - zenith : zenith;
    if (!(faceLeft > 0 && faceLeft < full() / 2)) {
      fail(row, Failure::BadAngle);
      return std::nullopt;
    }
    reading.zenith = zenith;
  }
  if (slopeGiven) reading.slope = slope.number;
  return reading;
}

// Face right: the pair of the waiting face left of its target, or a sight of its own.
void NetworkReader::faceRight(const Reading& right) {
  const auto found = waiting_.find(right.target);
  if (found == waiting_.end() || found->second.paired) {
    if (const auto sight = sightOf(right, right.slope)) addSight(*sight);
    return;
  }
  Waiting& left = found->second;
  left.paired = true;
  const Reading& first = left.reading;
  const std::uint32_t circle = static_cast<std::uint32_t>(network_.circles.size() - 1);
  const bool sameCircle = left.sight == kNoIndex || network_.sights[left.sight].circle == circle;
  FacePair pair;
  pair.point = network_.names[right.target];
  pair.station = network_.names[network_.setUps.back().station];
  pair.row1 = first.row;
  pair.row2 = right.row;
  const double turned = right.horizontal - full() / 2;
  const double difference = centredAngle(first.horizontal - turned, full());
  if (sameCircle && first.kind == right.kind) pair.collimation = difference / 2;
  if (first.zenith && right.zenith) pair.index = centredAngle(*first.zenith + *right.zenith - full(), full()) / 2;
  const double largest = kLargestFaceError * full();
  const bool disagree =
      (pair.collimation && std::fabs(*pair.collimation) > largest) || (pair.index && std::fabs(*pair.index) > largest);
  network_.pairs.push_back(pair);
  if (disagree) return fail(right.row, Failure::FacesDisagree);
  // Faces read from two zeros of the circle each keep their own zero.
  if (!sameCircle || left.sight == kNoIndex) {
    if (const auto sight = sightOf(right, right.slope)) addSight(*sight);
    return;
  }
  Reading mean = first;
  mean.horizontal = reducedAngle(turned + difference / 2, full());
  if (first.zenith && right.zenith) mean.zenith = (*first.zenith + (full() - *right.zenith)) / 2;
  std::optional<double> slope = first.slope ? first.slope : right.slope;
  if (first.slope && right.slope) slope = (*first.slope + *right.slope) / 2;
  auto sight = sightOf(mean, slope);
  if (!sight) return;
  sight->pairRow = right.row;
  network_.sights[left.sight] = *sight;
}

std::optional<Sight> NetworkReader::sightOf(const Reading& reading, std::optional<double> slope) const {
  const bool right = reading.face == Face::Right;
  const double horizontal = right && reading.kind == SightKind::Circle
                                ? reducedAngle(reading.horizontal - full() / 2, full())
                                : reading.horizontal;
  Sight sight;
  sight.target = reading.target;
  sight.setUp = static_cast<std::uint32_t>(network_.setUps.size() - 1);
  sight.circle = static_cast<std::uint32_t>(network_.circles.size() - 1);
  sight.kind = reading.kind;
  sight.row = reading.row;
  sight.direction = radiansOf(horizontal, full());
  sight.targetHeight = targetHeight_;
  sight.conventions = static_cast<std::uint32_t>(network_.conventions.size() - 1);
  if (reading.zenith) sight.zenith = radiansOf(right ? full() - *reading.zenith : *reading.zenith, full());
  if (slope && sight.zenith) {
    const double sine = std::sin(*sight.zenith);
    const double cosine = std::cos(*sight.zenith);
    double level = *slope * sine;
    double rise = *slope * cosine;
    if (conventions_.curvatureAndRefraction) {
      const double radius = conventions_.earthRadius();
      const double k = conventions_.refraction;
      level -= (1 - k / 2) * *slope * *slope * sine * cosine / radius;
      rise += (1 - k) * level * level / (2 * radius);
    }
    // Only a sight longer than the earth is wide turns the term round.
    if (level > 0) {
      sight.distance = level * scale_;
      sight.rise = rise;
    }
  }
  return sight;
}

std::uint32_t NetworkReader::addSight(Sight sight) {
  network_.sights.push_back(sight);
  ++network_.setUps.back().sights;
  return static_cast<std::uint32_t>(network_.sights.size() - 1);
}

void NetworkReader::reducedObservation(std::uint32_t row, std::string_view line, char version) {
  if (network_.setUps.empty()) return fail(row, Failure::NoStation);
  if (full() == 0) return fail(row, Failure::UnknownUnits);
  const std::string_view target = TrimmedField(fieldOf(line, K::ReducedObservation, F::ToPoint, version));
  const FieldValue distance = ReadFieldValue(fieldOf(line, K::ReducedObservation, F::HorizontalDistance, version));
  const FieldValue azimuth = ReadFieldValue(fieldOf(line, K::ReducedObservation, F::Azimuth, version));
  const FieldValue rise = ReadFieldValue(fieldOf(line, K::ReducedObservation, F::VerticalDistance, version));
  if (target.empty() || distance.state == FieldValue::Text || !azimuth.ok() || rise.state == FieldValue::Text)
    return fail(row, Failure::NotANumber);
  Sight sight;
  sight.target = idOf(target);
  use(sight.target, row);
  sight.setUp = static_cast<std::uint32_t>(network_.setUps.size() - 1);
  sight.circle = static_cast<std::uint32_t>(network_.circles.size() - 1);
  sight.kind = SightKind::Reduced;
  sight.row = row;
  sight.direction = radiansOf(reducedAngle(azimuth.number, full()), full());
  sight.targetHeight = targetHeight_;
  sight.conventions = static_cast<std::uint32_t>(network_.conventions.size() - 1);
  if (distance.ok() && distance.number > 0) {
    sight.distance = distance.number * scale_;
    if (rise.ok()) sight.rise = rise.number;
  }
  addSight(sight);
}

}  // namespace quillmar::survey::detail
