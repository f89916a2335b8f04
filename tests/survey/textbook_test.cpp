// SPDX-License-Identifier: GPL-3.0-or-later
// Published adjustments of small plane networks, written here as field books
// and adjusted again: the coordinates and their standard deviations (with
// m0') must come out to the digits the sources print: coordinates to 0.1 mm,
// standard deviations to 0.01 mm. Data and results are those of F. Krumm,
// Geodetic Network Adjustment Examples, Geodetic Institute, University of
// Stuttgart, Rev. 3.5 (2020), as GNU Gama carries them in tests/krumm/input/2D
// (each network's .dat and the .adj of its published coordinates); each
// example names the textbook it comes from. Their x is the easting and y the
// northing, angles clockwise; 1 gon is 3240".

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "survey/adjustment.h"
#include "survey/placing.h"
#include "tests/survey/survey_books.h"

namespace quillmar::survey::test {
namespace {

struct Known {
  const char* name;
  double x, y;
};

// A circle reading in the example's unit and, where one was measured, a
// distance (m); or, with an azimuth, the reading of a 07 to a point without
// coordinates.
struct Sight {
  const char* to;
  double reading;
  std::optional<double> distance;
  std::optional<double> azimuth = {};
};

// One circle: an angle of the source is a set-up of its own.
struct SetUp {
  const char* station;
  std::vector<Sight> sights;
};

constexpr double dms(double degrees, double minutes, double seconds) { return degrees + minutes / 60 + seconds / 3600; }

// Adjusted coordinates (m), their standard deviations (m, with m0') and the
// point's, sqrt(sx^2 + sy^2): the size of the standard ellipse, sqrt(a^2 + b^2).
struct Published {
  const char* name;
  double x, y, sx, sy, sp;
};

struct Example {
  const char* source;
  char angle;              // the book's unit: 1 degrees, 2 gons
  double sigmaDirection;   // arc seconds
  double sigmaDistanceMm;  // every example's distances weigh alike
  std::vector<Known> control;
  std::vector<SetUp> setUps;
  std::vector<Published> published;
};

std::string text(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.12g", value);
  return buffer;
}

std::vector<std::string> bookOf(const Example& example) {
  std::vector<std::string> lines = {header('3', example.angle), instrument('3', '1')};
  const std::string level = example.angle == '1' ? "90" : "100";
  for (const Known& k : example.control) lines.push_back(position('3', k.name, text(k.y), text(k.x), ""));
  for (const SetUp& setUp : example.setUps) {
    lines.push_back(station('3', setUp.station, "", "", ""));
    lines.push_back(target('3', "1.5"));
    for (const Sight& s : setUp.sights) {
      const std::string distance = s.distance ? text(*s.distance) : "";
      lines.push_back(s.azimuth ? backsight('3', s.to, text(*s.azimuth), text(s.reading))
                                : observation('3', "F1", s.to, distance, level, text(s.reading), setUp.station));
    }
  }
  return lines;
}

const AdjustedPoint* pointNamed(const Adjustment& adjustment, const std::string& name) {
  for (const AdjustedPoint& p : adjustment.points)
    if (adjustment.names[p.point] == name) return &p;
  return nullptr;
}

const std::vector<Example>& examples() {
  static const std::vector<Example> all = {
      // W. Niemeier, Ausgleichungsrechnung, 2nd ed. (2008), pp. 156-162, 278-281:
      // two free stations, 0.0005 gon and 5 mm.
      {"Niemeier",
       '2',
       0.0005 * 3240,
       5,
       {{"104", 40686.792, 26816.143},
        {"106", 41932.838, 28872.552},
        {"113", 42242.231, 27492.007},
        {"280", 40350.846, 28835.979}},
       {{"Z108", {{"280", 370.6444, 1098.643}, {"104", 199.5131, 1002.598}, {"113", 108.5994, 1517.862}}},
        {"Z110",
         {{"106", 35.4146, 1118.689},
          {"Z108", 292.9943, 619.905},
          {"104", 237.8763, 1286.215},
          {"113", 130.2278, 961.911}}}},
       {{"Z108", 40759.3769, 27816.1166, 0.00313, 0.00301, 0.00434},
        {"Z110", 41373.0193, 27904.0042, 0.00312, 0.00289, 0.00425}}},
      // W. Grossmann, Grundzuege der Ausgleichungsrechnung, 3rd ed. (1969), p. 170:
      // a point cut in from three control stations and resected from four, 0.0025 gon.
      {"Grossmann",
       '2',
       0.0025 * 3240,
       0,
       {{"A", 9498.26, 78594.91},
        {"B", 10367.59, 75913.25},
        {"C", 9300.43, 75306.80},
        {"D", 7115.09, 75723.68},
        {"E", 7206.65, 78907.88},
        {"F", 6633.27, 76701.57}},
       {{"A", {{"B", 0, {}}, {"P", 52.0596, {}}, {"E", 128.6019, {}}}},
        {"C", {{"B", 0, {}}, {"D", 244.8923, {}}, {"P", 294.4157, {}}}},
        {"D", {{"E", 0, {}}, {"P", 59.8493, {}}, {"C", 110.1815, {}}, {"F", 369.0330, {}}}},
        {"P", {{"A", 0, {}}, {"B", 89.5219, {}}, {"C", 129.4256, {}}, {"E", 337.3908, {}}}}},
       {{"P", 8401.8637, 76607.8593, 0.06422, 0.08345, 0.10530}}},
      // C. D. Ghilani, Adjustment Computations, 5th ed. (2010), example 15.4, p. 271:
      // U cut in by four angles of 0.001 gon from three control stations, each
      // angle a circle of two directions of 0.001 gon / sqrt 2.
      {"Ghilani 15.4",
       '2',
       0.001 * 3240 / std::numbers::sqrt2,
       0,
       {{"R", 865.40, 4527.15}, {"S", 2432.55, 2047.25}, {"T", 2865.22, 27.15}},
       {{"R", {{"U", 0, {}}, {"S", 55.6820987654321, {}}}},
        {"S", {{"R", 0, {}}, {"U", 112.792283950617, {}}}},
        {"S", {{"U", 0, {}}, {"T", 109.653395061728, {}}}},
        {"T", {{"S", 0, {}}, {"U", 65.8706790123457, {}}}}},
       {{"U", 6860.7260, 3727.4751, 0.37817, 0.17809, 0.41801}}},
      // Krumm's own traverse B-C-D-E between two fixed azimuths to points without
      // coordinates (07s without a name): one angle of 10" at every set-up, that
      // is two directions of 10"/sqrt 2 (a 07's azimuth and reading being such a
      // pair too: its circle's orientation is unknown); distances 16 mm.
      {"Krumm traverse",
       '1',
       10 / std::numbers::sqrt2,
       16,
       {{"B", 8478.139, 2483.826}, {"E", 7709.336, 2263.411}},
       {{"B", {{"", 0, {}, dms(68, 15, 20.7)}, {"C", dms(172, 53, 34), 281.832}}},
        {"C", {{"B", 0, {}}, {"D", dms(185, 22, 14), 271.300}}},
        {"D", {{"C", 0, {}}, {"E", dms(208, 26, 19), 274.100}}},
        {"E", {{"", dms(205, 13, 51), {}, dms(300, 11, 30.5)}, {"D", 0, {}}}}},
       {{"C", 8231.2745, 2347.8218, 0.01403, 0.00999, 0.01722},
        {"D", 7982.4237, 2239.7178, 0.01503, 0.00860, 0.01731}}},
  };
  return all;
}

TEST(Textbook, adjustedCoordinatesAndDeviationsAreThePublishedOnes) {
  for (const Example& example : examples()) {
    const RecordList list = listOf(bookOf(example));
    const Network network = ReadNetwork(list, list.size());
    AdjustmentOptions options;
    options.sigmaDirection = example.sigmaDirection;
    options.sigmaDistanceMm = example.sigmaDistanceMm;
    options.sigmaDistancePpm = 0;
    const Adjustment result = Adjust(network, Place(network, {}), options);
    EXPECT_TRUE(result.unadjusted.empty()) << example.source;
    for (const Published& p : example.published) {
      const AdjustedPoint* point = pointNamed(result, p.name);
      ASSERT_NE(point, nullptr) << example.source << " " << p.name;
      EXPECT_NEAR(point->east, p.x, 0.05e-3) << example.source << " " << p.name;
      EXPECT_NEAR(point->north, p.y, 0.05e-3) << example.source << " " << p.name;
      EXPECT_NEAR(*point->sEast, p.sx, 0.005e-3) << example.source << " " << p.name;
      EXPECT_NEAR(*point->sNorth, p.sy, 0.005e-3) << example.source << " " << p.name;
      EXPECT_NEAR(std::hypot(*point->a, *point->b), p.sp, 0.005e-3) << example.source << " " << p.name;
    }
  }
}

}  // namespace
}  // namespace quillmar::survey::test
