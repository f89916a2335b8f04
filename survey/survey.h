// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Coordinates from a field book's observations: set-ups, orientations, face
// pairs and polar points, read through the table of record layouts. Recorded
// points (02/08) are never replaced: observations of them become check shots.
// Every observation that gives no point says why.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/record_list.h"

namespace quillmar::survey {

enum class Method : std::uint8_t {
  Polar,    // a circle reading (F1, F2, MD) turned by the set-up's orientation
  Azimuth,  // an MC observation carries its azimuth
  Reduced,  // an 11 record: azimuth, horizontal distance, height difference
  Check,    // a polar, azimuth or reduced solution of a recorded point
};

enum class Failure : std::uint8_t {
  NoStation,             // an observation before any set-up
  NoStationCoordinates,  // the station has no coordinates anywhere in the book
  NoOrientation,         // a circle reading without a usable 07
  NoDistance,            // no distance, or one that is 0 or negative
  NotANumber,            // a field needed is empty or not a number
  UnknownUnits,          // the header's angle unit is not 1, 2 or 3
  BadAngle,              // a zenith of 0 or 180 degrees, or an angle out of range
};

// One position of a point from one set-up (a face pair counts once).
struct Solution {
  std::string point;    // trimmed name, Windows-1251 bytes
  std::string station;  // trimmed name of the set-up's station
  double north = 0;     // true northing and easting, whatever the book's order
  double east = 0;
  std::optional<double> elevation;
  Method method = Method::Polar;
  std::uint32_t row = 0;                 // the observation's row; the first of a face pair
  std::optional<std::uint32_t> pairRow;  // the face-right row of a pair
  // Check shots only: solution minus recorded value.
  std::optional<double> dNorth, dEast, dElevation;
};

// F1 and F2 of one target in one set-up, taken as one observation.
struct FacePair {
  std::string point;
  std::string station;
  std::uint32_t row1 = 0;  // face left
  std::uint32_t row2 = 0;  // face right
  // Half the difference of the two faces, in the book's angle unit:
  // (F1 - (F2 -/+ 180)) / 2 and (z1 + z2 - 360) / 2.
  double collimation = 0;
  std::optional<double> index;
};

// A point the book does not record: the mean of its solutions.
struct ComputedPoint {
  std::string point;
  double north = 0;
  double east = 0;
  std::optional<double> elevation;
  std::uint32_t solutions = 0;  // how many solutions were averaged
  // Largest horizontal distance of a solution from the mean (0 for one).
  double spread = 0;
  // The last row that observed the point: an inserted 08 goes after it.
  std::uint32_t lastRow = 0;
};

struct FailedObservation {
  std::uint32_t row = 0;
  Failure reason = Failure::NotANumber;
};

struct Results {
  std::vector<Solution> solutions;          // in row order
  std::vector<ComputedPoint> points;        // computed points, in order of first solution
  std::vector<FacePair> pairs;              // in row order
  std::vector<FailedObservation> failures;  // in row order
  std::size_t checkShots() const;
};

// The first `rows` records of `list`.
Results Compute(const RecordList& list, std::size_t rows);
inline Results Compute(const RecordList& list) { return Compute(list, list.size()); }

// "polar", "azimuth", "reduced", "check".
std::string_view MethodWord(Method method);
// The reason in Russian, Windows-1251 bytes.
std::string_view FailureText(Failure reason);
// The reason in English words, for quillmar-cli's messages.
std::string_view FailureWord(Failure reason);

}  // namespace quillmar::survey
