// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/detail_computation.h"

#include <cmath>
#include <numbers>

namespace quillmar::survey::detail {

void Computation::take(Kind kind, std::string_view line, char version, std::uint32_t row) {
  const Places& places = placesOf(version);
  switch (kind) {
    case Kind::Header: {
      conventions_.fullCircle = fullCircleOf(codeAt(line, places.angleUnit));
      if (const auto order = orderOf(codeAt(line, places.order))) conventions_.order = *order;
      conventions_.counterClockwise = codeAt(line, places.direction) == '2';
      conventions_.earthRadius =
          codeAt(line, places.distanceUnit) == '2' ? kEarthRadiusMetres / kFootInMetres : kEarthRadiusMetres;
      break;
    }
    case Kind::Instrument: conventions_.horizonZero = codeAt(line, places.verticalZero) == '2'; break;
    case Kind::Job:
      if (const char cr = codeAt(line, places.crCorrection); cr == '1' || cr == '2')
        conventions_.curvatureAndRefraction = cr == '2';
      if (const char k = codeAt(line, places.refraction); k == '1' || k == '2')
        conventions_.refraction = k == '1' ? 0.14 : 0.20;
      break;
    case Kind::Scale:
      // A factor that is no positive number would wipe out every distance.
      if (const auto scale = numberOf(FieldText(line, places.scale)); scale && *scale > 0) conventions_.scale = *scale;
      break;
    case Kind::Target: targetHeight_ = numberOf(FieldText(line, places.targetHeight)).value_or(0.0); break;
    case Kind::Station: station(line, places); break;
    case Kind::Backsight: backsight(line, places); break;
    case Kind::Observation: observation(line, places, list_.derivCode(row), row); break;
    case Kind::Reduced: reducedObservation(line, places, row); break;
    case Kind::Position:
    case Kind::Other: break;
  }
}

void Computation::station(std::string_view line, const Places& places) {
  waiting_.clear();
  setUp_.emplace();
  SetUp& setUp = *setUp_;
  setUp.station = trimmed(FieldText(line, places.stationName));
  setUp.at = coordinatesOf(line, places.station1, places.station2, places.station3, conventions_.order);
  if (const Coordinates* found = recorded_.find(setUp.station)) {
    if (!setUp.at)
      setUp.at = *found;
    else if (!setUp.at->elevation)
      setUp.at->elevation = found->elevation;
  }
  setUp.instrumentHeight = numberOf(FieldText(line, places.instrumentHeight)).value_or(0.0);
}

void Computation::backsight(std::string_view line, const Places& places) {
  if (!setUp_) return;
  SetUp& setUp = *setUp_;
  setUp.circleZero.reset();
  const double full = conventions_.fullCircle;
  const auto reading = numberOf(FieldText(line, places.backsightReading));
  if (full == 0 || !reading) return;
  std::optional<double> azimuth = numberOf(FieldText(line, places.backsightAzimuth));
  if (!azimuth && setUp.at) {
    if (const Coordinates* target = recorded_.find(trimmed(FieldText(line, places.backsightTo)))) {
      const double dN = target->north - setUp.at->north;
      const double dE = target->east - setUp.at->east;
      if (dN != 0 || dE != 0) azimuth = std::atan2(dE, dN) * (full / (2 * std::numbers::pi));
    }
  }
  if (!azimuth) return;
  setUp.circleZero = reduced(*azimuth - clockwise(*reading), full);
}

}  // namespace quillmar::survey::detail
