// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a field book is read as numbers: fields as numbers, and the
// conventions its header, instrument and job records set (angle unit,
// distance unit, coordinate order, circle direction, vertical zero,
// curvature and refraction). The plan, the computation and the CAD/GIS
// export all read them here.

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillmar {

// A field without the blanks that pad it (names are right-aligned).
std::string_view TrimmedField(std::string_view field);

// Field books hold at most 16 characters a number: anything beyond this is a
// typing error, and keeping it out keeps every product of numbers finite.
inline constexpr double kLargestFieldValue = 1e15;

// A field as the computation reads it: a number, nothing at all, or text.
struct FieldValue {
  enum State : std::uint8_t { Number, Empty, Text };
  State state = Empty;
  double number = 0;

  bool ok() const { return state == Number; }
};

// Blanks around the number allowed, a leading '+' too; a number beyond
// kLargestFieldValue or not finite is text.
FieldValue ReadFieldValue(std::string_view field);
std::optional<double> FieldNumber(std::string_view field);

enum class CoordinateOrder : std::uint8_t { NorthEast, EastNorth };

// What one of the book's setting codes says; Unknown for a code the format
// does not define, which the book's readers report.
enum class CodeReading : std::uint8_t { Set, Unknown, Absent };

inline constexpr double kEarthRadiusMetres = 6371000.0;
inline constexpr double kFootInMetres = 0.3048;

struct BookConventions {
  double fullCircle = 360.0;  // 0: the header's angle unit is unknown
  bool feet = false;
  CoordinateOrder order = CoordinateOrder::NorthEast;
  bool counterClockwise = false;
  bool horizonZero = false;  // vertical angles from the horizon
  bool curvatureAndRefraction = false;
  double refraction = 0.14;

  double earthRadius() const { return feet ? kEarthRadiusMetres / kFootInMetres : kEarthRadiusMetres; }
  // One metre in the book's distance unit.
  double metre() const { return feet ? 1 / kFootInMetres : 1.0; }
};

// The codes a record changes, each as it was read. A header that leaves a
// code blank keeps what was in force.
struct ConventionCodes {
  CodeReading angleUnit = CodeReading::Absent;
  CodeReading distanceUnit = CodeReading::Absent;
  CodeReading order = CodeReading::Absent;
  CodeReading direction = CodeReading::Absent;
  CodeReading verticalZero = CodeReading::Absent;
  CodeReading curvature = CodeReading::Absent;
  CodeReading refraction = CodeReading::Absent;

  bool anyUnknown() const;
};

// Applies a header ("00"), instrument ("01") or job ("10") record of the
// given layout version to `conventions`; other records change nothing.
ConventionCodes ApplyConventions(BookConventions& conventions, std::string_view typeCode, char version,
                                 std::string_view line);

// The coordinate order a header sets, nothing for another record or a
// header that leaves it as it was.
std::optional<CoordinateOrder> HeaderCoordinateOrder(std::string_view typeCode, char version, std::string_view line);

}  // namespace quillmar
