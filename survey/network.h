// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first stage of the computation: the book read as a network. Set-ups
// with their circles (a 07 starts a new one: the readings after it are
// taken from a new zero), observations reduced to face left (a face pair is
// one sight, the mean of its faces), horizontal distances and height
// differences, and every point the book gives coordinates for. Nothing here
// is placed yet.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/book_conventions.h"
#include "records/record_list.h"
#include "survey/survey.h"

namespace quillmar::survey {

using PointId = std::uint32_t;
inline constexpr std::uint32_t kNoIndex = 0xFFFFFFFF;

struct Coordinates {
  double north = 0;
  double east = 0;
  std::optional<double> elevation;
};

// The coordinates a 02 or 08 record gives a point.
struct Recorded {
  Coordinates at;
  std::uint32_t row = 0;
  bool station = false;  // a 02 record
};

enum class SightKind : std::uint8_t {
  Circle,   // F1, F2, MD: a horizontal circle reading
  Azimuth,  // MC: the horizontal value is an azimuth
  Reduced,  // 11: azimuth, horizontal distance and height difference
};

struct Sight {
  PointId target = 0;
  std::uint32_t setUp = 0;
  std::uint32_t circle = 0;  // index into Network::circles
  SightKind kind = SightKind::Circle;
  std::uint32_t row = 0;                 // the face left's row, or the only one
  std::optional<std::uint32_t> pairRow;  // the face right's row of a pair
  // Radians, clockwise: the circle reading as face left (Circle) or the azimuth.
  double direction = 0;
  std::optional<double> zenith;  // radians from the zenith, as face left
  // Horizontal distance in the book's unit, with the 06 scale and, where the
  // job asks for it, the earth's curvature and refraction.
  std::optional<double> distance;
  // From the instrument's axis to the target, without either height: from
  // the slope distance, or the 11 record's own value.
  std::optional<double> rise;
  double targetHeight = 0;
  std::uint32_t conventions = 0;  // index into Network::conventions
};

// The readings of one set-up from one zero of the circle: from its 02, and
// from each 07 after it.
struct Circle {
  std::uint32_t setUp = 0;
  std::uint32_t row = 0;  // the 02 or 07 that started it
  // The 07: the point sighted, the azimuth it gives (radians), the reading.
  struct Backsight {
    std::optional<PointId> target;
    std::optional<double> azimuth;
    std::optional<double> reading;
    std::uint32_t row = 0;
  };
  std::optional<Backsight> backsight;
};

struct SetUp {
  PointId station = 0;
  std::uint32_t row = 0;
  double instrumentHeight = 0;
  std::optional<Coordinates> own;  // the 02's own coordinates
  std::uint32_t firstCircle = 0, circles = 0;
  std::uint32_t firstSight = 0, sights = 0;
};

struct Network {
  std::vector<std::string_view> names;         // by PointId; views into the list's bytes
  std::vector<std::optional<Recorded>> known;  // by PointId: the last 02/08 with coordinates
  // By PointId: an 08 of the add dialog's kind (XD) after every row that
  // uses its point. "Вставить координаты" put it there: it is no control.
  std::vector<std::optional<Recorded>> inserted;
  std::vector<SetUp> setUps;                 // in row order
  std::vector<Circle> circles;               // grouped by set-up, in row order
  std::vector<Sight> sights;                 // grouped by set-up, in row order
  std::vector<FacePair> pairs;               // in row order
  std::vector<BookConventions> conventions;  // as they changed along the book
  std::vector<FailedObservation> failures;   // what the reading itself refused
  double fullCircle = 360.0;                 // the unit the book shows angles in
  std::unordered_map<std::string_view, PointId> ids;

  std::optional<PointId> find(std::string_view name) const {
    const auto at = ids.find(name);
    return at == ids.end() ? std::nullopt : std::optional<PointId>(at->second);
  }
  double toBook(double radians) const;  // an angle in the book's unit
};

// The first `rows` records of `list`; the network keeps views into it.
Network ReadNetwork(const RecordList& list, std::size_t rows);

}  // namespace quillmar::survey
