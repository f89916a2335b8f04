// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_conventions.h"

#include <charconv>
#include <cmath>

#include "records/record_layout.h"

namespace quillmar {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char codeOf(KindId kind, FieldId field, char version, std::string_view line) {
  const FieldPlace place = FieldOf(kind, field).in(version);
  return place.exists() ? sdrCode(line, place.start) : '\0';
}

// A blank code (or a line too short for it) leaves the setting alone.
template <typename Apply>
CodeReading readCode(char code, Apply apply) {
  if (code == '\0' || code == ' ') return CodeReading::Absent;
  return apply(code) ? CodeReading::Set : CodeReading::Unknown;
}

ConventionCodes applyHeader(BookConventions& to, char version, std::string_view line) {
  ConventionCodes codes;
  // A header always states its angle unit: without one no angle can be read.
  const char unit = codeOf(KindId::Header, FieldId::AngleUnitCode, version, line);
  to.fullCircle = unit == '1' ? 360.0 : unit == '2' ? 400.0 : unit == '3' ? 6400.0 : 0.0;
  codes.angleUnit = to.fullCircle != 0 ? CodeReading::Set : CodeReading::Unknown;
  codes.distanceUnit = readCode(codeOf(KindId::Header, FieldId::DistanceUnitCode, version, line), [&](char c) {
    if (c != '1' && c != '2') return false;
    to.feet = c == '2';
    return true;
  });
  codes.order = readCode(codeOf(KindId::Header, FieldId::CoordinateOrderCode, version, line), [&](char c) {
    if (c != '1' && c != '2') return false;
    to.order = c == '1' ? CoordinateOrder::NorthEast : CoordinateOrder::EastNorth;
    return true;
  });
  codes.direction = readCode(codeOf(KindId::Header, FieldId::AngleDirectionCode, version, line), [&](char c) {
    if (c != '1' && c != '2') return false;
    to.counterClockwise = c == '2';
    return true;
  });
  return codes;
}

ConventionCodes applyInstrument(BookConventions& to, char version, std::string_view line) {
  ConventionCodes codes;
  codes.verticalZero = readCode(codeOf(KindId::Instrument, FieldId::VerticalAngleZeroCode, version, line), [&](char c) {
    if (c != '1' && c != '2') return false;
    to.horizonZero = c == '2';
    return true;
  });
  return codes;
}

ConventionCodes applyJob(BookConventions& to, char version, std::string_view line) {
  ConventionCodes codes;
  if (!FieldOf(KindId::Job, FieldId::CrCorrectionCode).in(version).exists()) return codes;
  codes.curvature = readCode(codeOf(KindId::Job, FieldId::CrCorrectionCode, version, line), [&](char c) {
    if (c != '1' && c != '2') return false;
    to.curvatureAndRefraction = c == '2';
    return true;
  });
  codes.refraction = readCode(codeOf(KindId::Job, FieldId::RefractionConstantCode, version, line), [&](char c) {
    if (c != '1' && c != '2') return false;
    to.refraction = c == '1' ? 0.14 : 0.20;
    return true;
  });
  return codes;
}

}  // namespace

std::string_view TrimmedField(std::string_view field) {
  while (!field.empty() && isBlank(field.front())) field.remove_prefix(1);
  while (!field.empty() && isBlank(field.back())) field.remove_suffix(1);
  return field;
}

FieldValue ReadFieldValue(std::string_view field) {
  std::string_view text = TrimmedField(field);
  if (text.empty()) return {FieldValue::Empty, 0};
  // from_chars takes no plus sign; a sign after it is no number.
  if (text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || text.front() == '-') return {FieldValue::Text, 0};
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
      std::fabs(value) > kLargestFieldValue)
    return {FieldValue::Text, 0};
  return {FieldValue::Number, value};
}

std::optional<double> FieldNumber(std::string_view field) {
  const FieldValue value = ReadFieldValue(field);
  return value.ok() ? std::optional<double>(value.number) : std::nullopt;
}

bool ConventionCodes::anyUnknown() const {
  for (CodeReading code : {angleUnit, distanceUnit, order, direction, verticalZero, curvature, refraction})
    if (code == CodeReading::Unknown) return true;
  return false;
}

ConventionCodes ApplyConventions(BookConventions& conventions, std::string_view typeCode, char version,
                                 std::string_view line) {
  if (version != kVersionSdr3 && version != kVersionSdr2) return {};
  if (typeCode == LayoutOf(KindId::Header).typeCode) return applyHeader(conventions, version, line);
  if (typeCode == LayoutOf(KindId::Instrument).typeCode) return applyInstrument(conventions, version, line);
  if (typeCode == LayoutOf(KindId::Job).typeCode) return applyJob(conventions, version, line);
  return {};
}

std::optional<CoordinateOrder> HeaderCoordinateOrder(std::string_view typeCode, char version, std::string_view line) {
  if (typeCode != LayoutOf(KindId::Header).typeCode) return std::nullopt;
  BookConventions conventions;
  if (applyHeader(conventions, version, line).order != CodeReading::Set) return std::nullopt;
  return conventions.order;
}

}  // namespace quillmar
