// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Coordinates from a field book's observations, in three stages: the book
// read as a network (network.h), its stations and points placed one from
// another until nothing more can be placed (placing.h), and these results.
// Control points (02/08 with coordinates) are never replaced: observations
// of them become check shots, unless the observations contradict them
// grossly. Every observation that gives no point says why.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/record_list.h"

namespace quillmar::survey {

enum class Method : std::uint8_t {
  Polar,         // a circle reading (F1, F2, MD) turned by the set-up's orientation
  Azimuth,       // an MC observation carries its azimuth
  Reduced,       // an 11 record: azimuth, horizontal distance, height difference
  Check,         // a polar, azimuth or reduced solution of a control point
  FreeStation,   // a station fitted to two or more placed points with distances
  Resection,     // a station from directions to three or more placed points
  Intersection,  // a target from directions of two or more placed set-ups
};

enum class Failure : std::uint8_t {
  NoStation,             // an observation before any set-up
  NoStationCoordinates,  // the station has no coordinates anywhere in the book
  NoOrientation,         // a circle reading without a usable 07
  NoDistance,            // no distance, or one that is 0 or negative
  NotANumber,            // a field needed is empty or not a number
  UnknownUnits,          // the header's angle unit is not 1, 2 or 3
  BadAngle,              // a zenith of 0 or 180 degrees, or an angle out of range
  NotEnoughKnown,        // a station that sees too few placed points to be placed
  SmallAngle,            // the lines of sight to a target cross at too small an angle
  NotReached,            // the network of placed points does not reach the set-up
  WeakGeometry,          // the known points cannot fix the station (on one line, a danger circle)
  BadScale,              // an 06 scale factor that is no positive number
  UnknownCode,           // a distance unit, coordinate order, circle or vertical code the format lacks
  UnknownDerivation,     // an 09 whose derivation code is none of F1, F2, MD, MC
  FacesDisagree,         // a face right beyond an instrument's errors from its face left
  NotSdr,                // no SDR header: the book is not in an SDR layout
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
  // (F1 - (F2 -/+ 180)) / 2 and (z1 + z2 - 360) / 2. Faces read from two
  // zeros of the circle (a 07 between them) give no collimation.
  std::optional<double> collimation;
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
  // Its coordinates are in the book already, inserted from the computation:
  // the difference of the book's values from these.
  bool inserted = false;
  std::optional<double> dNorth, dEast, dElevation;
};

// How a set-up's station came to its coordinates.
enum class Placing : std::uint8_t { Control, Polar, FreeStation, Resection, Intersection, Unplaced };

// A point a set-up sighted while it was placed or oriented, and how far off
// it came out: orientation in the book's angle unit, distance in its unit.
struct Reference {
  std::string point;
  std::uint32_t row = 0;
  std::optional<double> orientationResidual;
  std::optional<double> distanceResidual;
};

struct StationResult {
  std::string station;
  std::uint32_t row = 0;  // the 02
  Placing placing = Placing::Unplaced;
  std::optional<Failure> failure;  // why it was not placed or not oriented
  std::optional<double> north, east, elevation;
  // The zero of the first oriented circle: the azimuth of reading 0, in the book's unit.
  std::optional<double> orientation;
  std::optional<double> scale;  // a free station's fitted scale
  std::vector<Reference> references;
};

// Recorded coordinates the observations contradict, placed from them instead.
struct SetAside {
  std::string point;
  std::uint32_t row = 0;     // the record that gave the coordinates
  double contradiction = 0;  // how far the observations put the point, in the book's unit
};

// A point the book gives coordinates for, and whether it is control.
struct RecordedPoint {
  std::string point;
  std::uint32_t row = 0;  // the last 02/08 that gives them
  double north = 0;
  double east = 0;
  std::optional<double> elevation;
  bool control = false;  // kept as the book gives it
  // Set aside: how far the observations put it from the book's coordinates.
  std::optional<double> contradiction;
};

// The user's word on control points, over what the book and the observations say.
struct ControlChoice {
  std::vector<std::string> free;   // recorded, but placed from the observations
  std::vector<std::string> fixed;  // recorded and kept, whatever the observations say
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
  std::vector<StationResult> stations;      // every set-up, in row order
  std::vector<SetAside> setAside;
  std::vector<RecordedPoint> recorded;  // in row order
  double fullCircle = 360.0;            // the book's angle unit, as a full circle
  bool feet = false;                    // the book's distance unit
  std::size_t checkShots() const;
};

// The first `rows` records of `list`.
Results Compute(const RecordList& list, std::size_t rows, const ControlChoice& control = {});
inline Results Compute(const RecordList& list) { return Compute(list, list.size()); }

// "polar", "azimuth", "reduced", "check", "free-station", "resection", "intersection".
std::string_view MethodWord(Method method);
// The same in Russian, Windows-1251 bytes.
std::string_view MethodText(Method method);
std::string_view PlacingText(Placing placing);
// "Координаты ST1 из книги не согласуются с измерениями (1 406 310 м): станция вычислена заново".
std::string SetAsideText(const SetAside& point, bool feet);
// The reason in Russian, Windows-1251 bytes.
std::string_view FailureText(Failure reason);
// The reason in English words, for quillmar-cli's messages.
std::string_view FailureWord(Failure reason);

}  // namespace quillmar::survey
