// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the computation reads a field book: fields as numbers, the header's
// conventions, and where each field stands in either layout.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <optional>
#include <string_view>

#include "plan/point_fields.h"
#include "records/record_layout.h"
#include "records/sdr_field.h"

namespace quillmar::survey::detail {

using plan::CoordinateOrder;

// Field books hold at most 16 characters a number; anything larger is a
// typing error, and keeping it out keeps every product below finite.
constexpr double kLargestValue = 1e15;
constexpr double kEarthRadiusMetres = 6371000.0;
constexpr double kFootInMetres = 0.3048;

// One comparison for the usual character, which is no blank.
inline bool isBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ' && (c == ' ' || c == '\t' || c == '\r' || c == '\n');
}

template <typename Word>
bool endsInSpaces(std::string_view text) {
  Word last;
  std::memcpy(&last, text.data() + text.size() - sizeof last, sizeof last);
  return last == static_cast<Word>(0x2020202020202020);
}

// Fields are padded with spaces to their width: the padding goes eight or
// four at a time.
inline std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (text.size() >= 8 && endsInSpaces<std::uint64_t>(text)) text.remove_suffix(8);
  if (text.size() >= 4 && endsInSpaces<std::uint32_t>(text)) text.remove_suffix(4);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A field as the rules read it: a number, nothing at all, or text.
struct Value {
  enum State : std::uint8_t { Number, Empty, Text };
  State state = Empty;
  double number = 0;

  bool ok() const { return state == Number; }
};

inline constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Any number a field may hold, the slow way.
Value valueOfText(std::string_view text);

// The digits from `at` on, added to `value`; how many there were.
inline std::size_t readDigits(std::string_view text, std::size_t at, std::uint64_t& value) {
  const char* const start = text.data() + at;
  const char* const end = text.data() + text.size();
  const char* next = start;
  for (unsigned digit; next != end && (digit = static_cast<unsigned char>(*next) - unsigned{'0'}) <= 9; ++next)
    value = value * 10 + digit;
  return static_cast<std::size_t>(next - start);
}

// The common field, at most 15 digits with or without a point, in one walk
// over its characters: the same double valueOfText() gives, nullopt for
// anything else.
inline std::optional<Value> plainDecimal(std::string_view text) {
  const bool negative = text[0] == '-';
  std::size_t at = negative || text[0] == '+' ? 1 : 0;
  std::uint64_t mantissa = 0;
  const std::size_t whole = readDigits(text, at, mantissa);
  at += whole;
  std::size_t decimals = 0;
  if (at < text.size() && text[at] == '.') {
    decimals = readDigits(text, ++at, mantissa);
    if (decimals == 0) return std::nullopt;
    at += decimals;
  }
  if (at != text.size() || whole + decimals == 0 || whole + decimals > 15) return std::nullopt;
  const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  return Value{Value::Number, negative ? -value : value};
}

// Every field the computation reads goes through here: inline, so that it
// stays one walk in the loops over the rows.
inline Value valueOf(std::string_view field) {
  const std::string_view text = trimmed(field);
  if (text.empty()) return {Value::Empty, 0};
  if (const auto plain = plainDecimal(text)) return *plain;
  return valueOfText(text);
}

inline std::optional<double> numberOf(std::string_view field) {
  const Value value = valueOf(field);
  return value.ok() ? std::optional<double>(value.number) : std::nullopt;
}

// The angle unit of a header: the full circle in that unit, 0 when unknown.
double fullCircleOf(char code);

// x reduced to [0, full).
inline double reduced(double x, double full) {
  // Most readings are in range already, and fmod would give them back unchanged.
  if (x >= 0 && x < full) return x;
  double r = std::fmod(x, full);
  if (r < 0) r += full;
  return r >= full ? 0.0 : r;
}

// x reduced to (-full/2, full/2].
inline double centred(double x, double full) {
  double r = reduced(x, full);
  return r > full / 2 ? r - full : r;
}

struct Conventions {
  double fullCircle = 360.0;  // 0: the header's angle unit is unknown
  CoordinateOrder order = CoordinateOrder::NorthEast;
  bool counterClockwise = false;
  bool horizonZero = false;
  double earthRadius = kEarthRadiusMetres;
  bool curvatureAndRefraction = false;
  double refraction = 0.14;
  double scale = 1.0;

  double toRadians(double angle) const { return angle * (2 * std::numbers::pi / fullCircle); }
};

struct Coordinates {
  double north = 0;
  double east = 0;
  std::optional<double> elevation;
};

// Every place the computation reads, for one layout, from the layout table.
struct Places {
  FieldPlace angleUnit, distanceUnit, order, direction, verticalZero, crCorrection, refraction;
  FieldPlace stationName, station1, station2, station3, instrumentHeight;
  FieldPlace positionName, position1, position2, position3;
  FieldPlace targetHeight, scale;
  FieldPlace backsightTo, backsightAzimuth, backsightReading;
  FieldPlace observedTo, slope, vertical, horizontal;
  FieldPlace reducedTo, reducedAzimuth, reducedDistance, reducedRise;
};

constexpr Places placesIn(char version) {
  auto at = [version](KindId kind, FieldId id) { return FieldOf(kind, id).in(version); };
  using K = KindId;
  using F = FieldId;
  return {at(K::Header, F::AngleUnitCode),
          at(K::Header, F::DistanceUnitCode),
          at(K::Header, F::CoordinateOrderCode),
          at(K::Header, F::AngleDirectionCode),
          at(K::Instrument, F::VerticalAngleZeroCode),
          at(K::Job, F::CrCorrectionCode),
          at(K::Job, F::RefractionConstantCode),
          at(K::Station, F::PointName),
          at(K::Station, F::Coordinate1),
          at(K::Station, F::Coordinate2),
          at(K::Station, F::Coordinate3),
          at(K::Station, F::InstrumentHeight),
          at(K::Position, F::PointName),
          at(K::Position, F::Coordinate1),
          at(K::Position, F::Coordinate2),
          at(K::Position, F::Coordinate3),
          at(K::Target, F::TargetHeight),
          at(K::ScaleFactor, F::ScaleFactor),
          at(K::Backsight, F::ToPoint),
          at(K::Backsight, F::Azimuth),
          at(K::Backsight, F::HorizontalAngle),
          at(K::Observation, F::ToPoint),
          at(K::Observation, F::SlopeDistance),
          at(K::Observation, F::VerticalAngle),
          at(K::Observation, F::Horizontal),
          at(K::ReducedObservation, F::ToPoint),
          at(K::ReducedObservation, F::Azimuth),
          at(K::ReducedObservation, F::HorizontalDistance),
          at(K::ReducedObservation, F::VerticalDistance)};
}

constexpr Places kPlaces3 = placesIn(kVersionSdr3);
constexpr Places kPlaces2 = placesIn(kVersionSdr2);
constexpr Places kNoPlaces{};

inline const Places& placesOf(char version) {
  if (version == kVersionSdr3) return kPlaces3;
  if (version == kVersionSdr2) return kPlaces2;
  return kNoPlaces;
}

inline char codeAt(std::string_view line, FieldPlace place) {
  return place.exists() ? sdrCode(line, place.start) : '\0';
}

// The record kinds the computation reads, told by their type code.
enum class Kind : std::uint8_t {
  Other,
  Header,
  Instrument,
  Station,
  Target,
  Scale,
  Backsight,
  Position,
  Observation,
  Job,
  Reduced
};

Kind kindOf(std::string_view code);
std::optional<CoordinateOrder> orderOf(char code);

// The coordinates a station or position record gives, in true north and east.
std::optional<Coordinates> coordinatesOf(std::string_view line, FieldPlace first, FieldPlace second, FieldPlace third,
                                         CoordinateOrder order);

}  // namespace quillmar::survey::detail
