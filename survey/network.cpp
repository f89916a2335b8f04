// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/network.h"

#include <cmath>
#include <numbers>

#include "survey/network_reader.h"

namespace quillmar::survey {
namespace detail {
namespace {

using K = KindId;
using F = FieldId;

std::string_view fieldOf(std::string_view line, KindId kind, FieldId field, char version) {
  return FieldText(line, FieldOf(kind, field).in(version));
}

// The coordinates of a 02 or 08 in true north and east; nothing unless both
// plane coordinates are numbers.
std::optional<Coordinates> coordinatesOf(std::string_view line, KindId kind, char version, CoordinateOrder order) {
  const auto one = FieldNumber(fieldOf(line, kind, F::Coordinate1, version));
  const auto two = FieldNumber(fieldOf(line, kind, F::Coordinate2, version));
  if (!one || !two) return std::nullopt;
  const bool northFirst = order == CoordinateOrder::NorthEast;
  return Coordinates{northFirst ? *one : *two, northFirst ? *two : *one,
                     FieldNumber(fieldOf(line, kind, F::Coordinate3, version))};
}

bool is(std::string_view typeCode, KindId kind) { return typeCode == LayoutOf(kind).typeCode; }

}  // namespace

double radiansOf(double angle, double fullCircle) { return angle * (2 * std::numbers::pi / fullCircle); }

double reducedAngle(double x, double full) {
  if (x >= 0 && x < full) return x;
  double r = std::fmod(x, full);
  if (r < 0) r += full;
  return r >= full ? 0.0 : r;
}

double centredAngle(double x, double full) {
  const double r = reducedAngle(x, full);
  return r > full / 2 ? r - full : r;
}

Network NetworkReader::read() {
  // Sized once for a book of observations: growing copies everything read so far.
  network_.sights.reserve(rows_);
  network_.names.reserve(rows_ / 2);
  network_.ids.reserve(rows_ / 2);
  lastUse_.reserve(rows_ / 2);
  newConventions();
  for (std::uint32_t row = 0; row < rows_; ++row) take(row);
  if (!sdr_ && rows_ > 0) fail(0, Failure::NotSdr);
  markInserted();
  network_.known.resize(network_.names.size());
  network_.inserted.resize(network_.names.size());
  std::stable_sort(network_.failures.begin(), network_.failures.end(),
                   [](const FailedObservation& a, const FailedObservation& b) { return a.row < b.row; });
  std::stable_sort(network_.pairs.begin(), network_.pairs.end(),
                   [](const FacePair& a, const FacePair& b) { return a.row1 < b.row1; });
  network_.fullCircle = conventions_.fullCircle != 0 ? conventions_.fullCircle : 360.0;
  return std::move(network_);
}

void NetworkReader::take(std::uint32_t row) {
  const char version = list_.version(row);
  if (version != kVersionSdr3 && version != kVersionSdr2) return;
  const std::string_view type = list_.typeCode(row);
  const std::string_view line = list_.body(row);
  if (is(type, K::Header)) sdr_ = true;
  if (is(type, K::Header) || is(type, K::Instrument) || is(type, K::Job)) return conventionsRecord(row, line);
  if (is(type, K::ScaleFactor)) return scale(row, line, version);
  if (is(type, K::Target)) {
    targetHeight_ = FieldNumber(fieldOf(line, K::Target, F::TargetHeight, version)).value_or(0.0);
    return;
  }
  if (is(type, K::Station)) return station(row, line, version);
  if (is(type, K::Backsight)) return backsight(row, line, version);
  if (is(type, K::Position)) return position(row, line, version, false);
  if (is(type, K::Observation)) return observation(row, line, version);
  if (is(type, K::ReducedObservation)) return reducedObservation(row, line, version);
}

void NetworkReader::conventionsRecord(std::uint32_t row, std::string_view line) {
  const BookConventions before = conventions_;
  const ConventionCodes codes = ApplyConventions(conventions_, list_.typeCode(row), list_.version(row), line);
  // An unknown angle unit fails every observation that follows, each with its row.
  ConventionCodes others = codes;
  others.angleUnit = CodeReading::Absent;
  if (others.anyUnknown()) fail(row, Failure::UnknownCode);
  const bool changed = before.fullCircle != conventions_.fullCircle || before.feet != conventions_.feet ||
                       before.order != conventions_.order || before.counterClockwise != conventions_.counterClockwise ||
                       before.horizonZero != conventions_.horizonZero ||
                       before.curvatureAndRefraction != conventions_.curvatureAndRefraction ||
                       before.refraction != conventions_.refraction;
  if (changed) newConventions();
}

void NetworkReader::scale(std::uint32_t row, std::string_view line, char version) {
  // A factor that is no positive number would wipe out or turn every distance.
  const FieldValue factor = ReadFieldValue(fieldOf(line, K::ScaleFactor, F::ScaleFactor, version));
  if (factor.ok() && factor.number > 0)
    scale_ = factor.number;
  else
    fail(row, Failure::BadScale);
}

PointId NetworkReader::idOf(std::string_view name) {
  const auto [at, added] = network_.ids.try_emplace(name, static_cast<PointId>(network_.names.size()));
  if (added) {
    network_.names.push_back(name);
    lastUse_.push_back(0);
  }
  return at->second;
}

void NetworkReader::use(PointId point, std::uint32_t row) { lastUse_[point] = row; }

void NetworkReader::station(std::uint32_t row, std::string_view line, char version) {
  waiting_.clear();  // a face left never pairs with a face right of another set-up
  SetUp setUp;
  setUp.station = idOf(TrimmedField(fieldOf(line, K::Station, F::PointName, version)));
  use(setUp.station, row);
  setUp.row = row;
  setUp.instrumentHeight = FieldNumber(fieldOf(line, K::Station, F::InstrumentHeight, version)).value_or(0.0);
  setUp.own = coordinatesOf(line, K::Station, version, conventions_.order);
  setUp.firstCircle = static_cast<std::uint32_t>(network_.circles.size());
  setUp.firstSight = static_cast<std::uint32_t>(network_.sights.size());
  network_.setUps.push_back(setUp);
  network_.circles.push_back({static_cast<std::uint32_t>(network_.setUps.size() - 1), row, std::nullopt});
  ++network_.setUps.back().circles;
  position(row, line, version, true);
}

void NetworkReader::backsight(std::uint32_t row, std::string_view line, char version) {
  if (network_.setUps.empty()) return;
  Circle circle;
  circle.setUp = static_cast<std::uint32_t>(network_.setUps.size() - 1);
  circle.row = row;
  Circle::Backsight seen;
  seen.row = row;
  const std::string_view target = TrimmedField(fieldOf(line, K::Backsight, F::ToPoint, version));
  if (!target.empty()) {
    seen.target = idOf(target);
    use(*seen.target, row);
  }
  if (full() != 0) {
    if (const auto azimuth = FieldNumber(fieldOf(line, K::Backsight, F::Azimuth, version)))
      seen.azimuth = radiansOf(reducedAngle(*azimuth, full()), full());
    if (const auto reading = FieldNumber(fieldOf(line, K::Backsight, F::HorizontalAngle, version)))
      seen.reading = radiansOf(reducedAngle(conventions_.counterClockwise ? -*reading : *reading, full()), full());
  }
  circle.backsight = seen;
  network_.circles.push_back(circle);
  ++network_.setUps.back().circles;
}

void NetworkReader::position(std::uint32_t row, std::string_view line, char version, bool station) {
  const KindId kind = station ? K::Station : K::Position;
  const std::string_view name = TrimmedField(fieldOf(line, kind, F::PointName, version));
  const auto at = coordinatesOf(line, kind, version, conventions_.order);
  if (name.empty() || !at) return;
  const PointId point = idOf(name);
  const Recorded recorded{*at, row, station};
  if (!station && list_.derivCode(row) == "XD") {
    inserted_.push_back(recorded);
    insertedPoints_.push_back(point);
    return;
  }
  if (network_.known.size() <= point) network_.known.resize(network_.names.size());
  network_.known[point] = recorded;
}

void NetworkReader::markInserted() {
  network_.known.resize(network_.names.size());
  network_.inserted.resize(network_.names.size());
  for (std::size_t k = 0; k < inserted_.size(); ++k) {
    const PointId point = insertedPoints_[k];
    const Recorded& record = inserted_[k];
    if (record.row > lastUse_[point]) {
      network_.inserted[point] = record;
    } else if (!network_.known[point] || network_.known[point]->row < record.row) {
      network_.known[point] = record;  // typed in before it was used: a control point
    }
  }
}

}  // namespace detail

double Network::toBook(double radians) const { return radians * fullCircle / (2 * std::numbers::pi); }

Network ReadNetwork(const RecordList& list, std::size_t rows) {
  return detail::NetworkReader(list, std::min(rows, list.size())).read();
}

}  // namespace quillmar::survey
