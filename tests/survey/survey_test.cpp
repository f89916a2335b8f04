// SPDX-License-Identifier: GPL-3.0-or-later
// Coordinates from observations: units, coordinate orders, circle direction,
// vertical zero, faces, azimuths, reduced observations, scale, C&R, check
// shots, several set-ups, and one case for every way an observation fails.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "records/record_layout.h"
#include "survey/coordinate_records.h"
#include "survey/solution_table.h"
#include "survey/survey.h"
#include "tests/survey/survey_books.h"

namespace quillmar::survey {
namespace {

using namespace test;

struct Polar {
  const char* what;
  char angle, order, direction, zero;
  const char* vertical;
  const char* horizontal;
  double north, east, elevation;
};

TEST(Compute, readsUnitsOrdersDirectionAndVerticalZeroInBothLayouts) {
  const Polar cases[] = {
      {"degrees", '1', '1', '1', '1', "90", "90", 1000, 2010, 100.3},
      {"gons", '2', '1', '1', '1', "100", "100", 1000, 2010, 100.3},
      {"mils", '3', '1', '1', '1', "1600", "1600", 1000, 2010, 100.3},
      {"east-north order", '1', '2', '1', '1', "90", "90", 1000, 2010, 100.3},
      {"counter-clockwise", '1', '1', '2', '1', "90", "90", 1000, 1990, 100.3},
      {"counter-clockwise gons", '2', '1', '2', '1', "100", "300", 1000, 2010, 100.3},
      {"zenith 60", '1', '1', '1', '1', "60", "0", 1008.66025, 2000, 105.3},
      {"zenith 50 gons", '2', '1', '1', '1', "50", "0", 1007.07106, 2000, 107.37107},
      {"horizon zero", '1', '1', '1', '2', "0", "180", 990, 2000, 100.3},
      {"horizon 30", '1', '1', '1', '2', "30", "0", 1008.66025, 2000, 105.3},
  };
  for (const char version : {'3', '2'}) {
    for (const Polar& c : cases) {
      SCOPED_TRACE(std::string(c.what) + " v" + version);
      const Results results =
          computed(setUp(version, {observation(version, "F1", "P1", "10", c.vertical, c.horizontal)}, c.angle, c.order,
                         c.direction, c.zero),
                   version);
      ASSERT_EQ(results.solutions.size(), 1u);
      ASSERT_TRUE(results.failures.empty());
      const Solution& s = results.solutions[0];
      EXPECT_EQ(s.point, "P1");
      EXPECT_EQ(s.station, "STN");
      EXPECT_EQ(s.method, Method::Polar);
      EXPECT_EQ(s.row, 5u);
      EXPECT_NEAR(s.north, c.north, kTolerance);
      EXPECT_NEAR(s.east, c.east, kTolerance);
      ASSERT_TRUE(s.elevation);
      EXPECT_NEAR(*s.elevation, c.elevation, kTolerance);
      ASSERT_EQ(results.points.size(), 1u);
      EXPECT_NEAR(results.points[0].east, c.east, kTolerance);
    }
  }
}

TEST(Compute, turnsTheBacksightReadingOfACounterClockwiseCircle) {
  // Zero = azimuth 30 - clockwise(10): 20 clockwise, 40 counter-clockwise.
  for (const auto& [direction, reading] : {std::pair{'1', "70"}, std::pair{'2', "310"}}) {
    std::vector<std::string> lines = setUp('3', {}, '1', '1', direction);
    lines.back() = backsight('3', "BS", "30", "10");
    lines.push_back(observation('3', "F1", "P1", "10", "90", reading));
    const Results results = computed(lines);
    ASSERT_EQ(results.solutions.size(), 1u);
    EXPECT_NEAR(results.solutions[0].north, 1000, kTolerance);
    EXPECT_NEAR(results.solutions[0].east, 2010, kTolerance);
  }
}

TEST(Compute, takesFaceLeftAndFaceRightAsOnePairWithItsErrors) {
  for (const char zero : {'1', '2'}) {
    SCOPED_TRACE(zero);
    const bool horizon = zero == '2';
    const Results results = computed(setUp('3',
                                           {observation('3', "F1", "P1", "10.000", horizon ? "0.02" : "89.98", "90.01"),
                                            observation('3', "F2", "P1", "10.002", horizon ? "180" : "270", "270.03")},
                                           '1', '1', '1', zero));
    ASSERT_EQ(results.solutions.size(), 1u);
    const Solution& s = results.solutions[0];
    EXPECT_EQ(s.row, 5u);
    EXPECT_EQ(s.pairRow, 6u);
    EXPECT_NEAR(s.north, 999.99651, kTolerance);
    EXPECT_NEAR(s.east, 2010.00100, kTolerance);
    EXPECT_NEAR(*s.elevation, 100.30175, kTolerance);
    ASSERT_EQ(results.pairs.size(), 1u);
    EXPECT_EQ(results.pairs[0].row1, 5u);
    EXPECT_EQ(results.pairs[0].row2, 6u);
    EXPECT_NEAR(results.pairs[0].collimation.value_or(0), -0.01, 1e-9);
    ASSERT_TRUE(results.pairs[0].index);
    EXPECT_NEAR(*results.pairs[0].index, -0.01, 1e-9);
  }
}

TEST(Compute, takesALoneFaceRightAsFaceLeftAndKeepsFacesOfOtherTargetsApart) {
  const Results results = computed(
      setUp('3', {observation('3', "F1", "P1", "10", "90", "90"), observation('3', "F2", "P2", "10", "270", "180")}));
  ASSERT_EQ(results.solutions.size(), 2u);
  EXPECT_TRUE(results.pairs.empty());
  EXPECT_EQ(results.solutions[0].point, "P1");
  EXPECT_EQ(results.solutions[1].point, "P2");
  EXPECT_NEAR(results.solutions[1].north, 1010, kTolerance);
  EXPECT_NEAR(results.solutions[1].east, 2000, kTolerance);
}

struct Other {
  const char* what;
  std::vector<std::string> after;
  Method method;
  double north, east;
  std::optional<double> elevation;
};

TEST(Compute, placesAzimuthReducedScaledAndCorrectedObservations) {
  const Other cases[] = {
      {"MC needs no orientation",
       {observation('3', "MC", "P1", "10", "90", "45")},
       Method::Azimuth,
       1007.07107,
       2007.07107,
       100.3},
      {"MC is never turned",
       {observation('3', "MC", "P1", "10", "90", "45")},
       Method::Azimuth,
       1007.07107,
       2007.07107,
       100.3},
      {"reduced", {reducedObservation('3', "P1", "90", "10", "2")}, Method::Reduced, 1000, 2010, 102.3},
      {"reduced without height",
       {reducedObservation('3', "P1", "90", "10", "")},
       Method::Reduced,
       1000,
       2010,
       std::nullopt},
      {"scale", {scale('3', "0.5"), observation('3', "F1", "P1", "10", "90", "90")}, Method::Polar, 1000, 2005, 100.3},
      {"scaled reduced",
       {scale('3', "2"), reducedObservation('3', "P1", "90", "10", "2")},
       Method::Reduced,
       1000,
       2020,
       102.3},
      {"C&R 0.14",
       {job('2', '1'), observation('3', "F1", "P1", "1000", "90", "90")},
       Method::Polar,
       1000,
       3000,
       100.367493},
      {"C&R 0.20",
       {job('2', '2'), observation('3', "F1", "P1", "1000", "90", "90")},
       Method::Polar,
       1000,
       3000,
       100.362784},
      {"no C&R", {job('1', '2'), observation('3', "F1", "P1", "1000", "90", "90")}, Method::Polar, 1000, 3000, 100.3},
  };
  for (const Other& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> lines =
        setUp('3', c.after, '1', '1', c.what == std::string("MC is never turned") ? '2' : '1');
    if (c.method == Method::Azimuth) lines.erase(lines.begin() + 4);  // no 07
    const Results results = computed(lines);
    ASSERT_TRUE(results.failures.empty());
    ASSERT_EQ(results.solutions.size(), 1u);
    const Solution& s = results.solutions[0];
    EXPECT_EQ(s.method, c.method);
    EXPECT_NEAR(s.north, c.north, kTolerance);
    EXPECT_NEAR(s.east, c.east, kTolerance);
    EXPECT_EQ(s.elevation.has_value(), c.elevation.has_value());
    if (s.elevation && c.elevation) {
      EXPECT_NEAR(*s.elevation, *c.elevation, 0.000005);
    }
  }
}

TEST(Compute, findsStationAndBacksightCoordinatesElsewhereInTheBook) {
  const Results results = computed({
      header('3'),
      station('3', "STN", "", "", ""),
      backsight('3', "BS", "", "0"),
      observation('3', "F1", "P1", "10", "90", "90"),
      position('3', "STN", "1000", "2000", "100"),
      position('3', "BS", "1000", "2010", "100"),
  });
  ASSERT_TRUE(results.failures.empty());
  ASSERT_EQ(results.solutions.size(), 1u);
  EXPECT_NEAR(results.solutions[0].north, 990, kTolerance);
  EXPECT_NEAR(results.solutions[0].east, 2000, kTolerance);
  EXPECT_NEAR(*results.solutions[0].elevation, 101.5, kTolerance);
}

TEST(Compute, leavesTheElevationOutWhereTheStationHasNone) {
  std::vector<std::string> lines = setUp('3', {observation('3', "F1", "P1", "10", "90", "90")});
  lines[2] = station('3', "STN", "1000", "2000", "");
  const Results results = computed(lines);
  ASSERT_EQ(results.solutions.size(), 1u);
  EXPECT_FALSE(results.solutions[0].elevation);
  EXPECT_FALSE(results.points[0].elevation);
}

TEST(Compute, makesCheckShotsOfRecordedPointsWithTheirDifferences) {
  for (const char order : {'1', '2'}) {
    const Results results = computed(setUp('3',
                                           {observation('3', "F1", "P1", "10", "90", "90"),
                                            order == '1' ? position('3', "P1", "1000", "2010.01", "100.29")
                                                         : position('3', "P1", "2010.01", "1000", "100.29")},
                                           '1', order));
    ASSERT_EQ(results.solutions.size(), 1u);
    const Solution& s = results.solutions[0];
    EXPECT_EQ(s.method, Method::Check);
    EXPECT_NEAR(*s.dNorth, 0, kTolerance);
    EXPECT_NEAR(*s.dEast, -0.01, kTolerance);
    EXPECT_NEAR(*s.dElevation, 0.01, kTolerance);
    EXPECT_TRUE(results.points.empty());
    EXPECT_EQ(results.checkShots(), 1u);
  }
}

TEST(Compute, averagesAPointSeenFromSeveralSetUps) {
  const Results results = computed(setUp('3', {
                                                  observation('3', "F1", "P1", "10", "90", "90"),
                                                  station('3', "TWO", "1000", "2020", "100"),
                                                  backsight('3', "BS", "0", "0"),
                                                  observation('3', "F1", "P1", "9.98", "90", "270", "TWO"),
                                                  observation('3', "F1", "P2", "5", "90", "0", "TWO"),
                                              }));
  ASSERT_EQ(results.solutions.size(), 3u);
  ASSERT_EQ(results.points.size(), 2u);
  const ComputedPoint& p = results.points[0];
  EXPECT_EQ(p.point, "P1");
  EXPECT_EQ(p.solutions, 2u);
  EXPECT_NEAR(p.north, 1000, kTolerance);
  EXPECT_NEAR(p.east, 2010.01, kTolerance);
  EXPECT_NEAR(p.spread, 0.01, kTolerance);
  EXPECT_EQ(p.lastRow, 8u);
  EXPECT_EQ(results.points[1].point, "P2");
  EXPECT_EQ(results.points[1].spread, 0);
}

struct Failing {
  const char* what;
  std::vector<std::string> lines;
  Failure reason;
};

TEST(Compute, saysWhyEachObservationGaveNothing) {
  auto with = [](std::vector<std::string> after, char angle = '1', char zero = '1') {
    return setUp('3', std::move(after), angle, '1', '1', zero);
  };
  auto withoutBacksight = [](std::vector<std::string> lines) {
    lines.erase(lines.begin() + 4);
    return lines;
  };
  const Failing cases[] = {
      {"before any station", {header('3'), observation('3', "F1", "P1", "10", "90", "90")}, Failure::NoStation},
      {"station never given coordinates",
       {header('3'), station('3', "STN", "", "", ""), observation('3', "MC", "P1", "10", "90", "90")},
       Failure::NoStationCoordinates},
      {"no backsight", withoutBacksight(with({observation('3', "F1", "P1", "10", "90", "90")})),
       Failure::NoOrientation},
      {"backsight without azimuth to an unknown point",
       {header('3'), station('3', "STN", "1", "2", "3"), backsight('3', "BS", "", "0"),
        observation('3', "F1", "P1", "10", "90", "90")},
       Failure::NoOrientation},
      {"zero distance", with({observation('3', "F1", "P1", "0", "90", "90")}), Failure::NoDistance},
      {"negative distance", with({observation('3', "F1", "P1", "-5", "90", "90")}), Failure::NoDistance},
      {"no distance", with({observation('3', "F1", "P1", "", "90", "90")}), Failure::NoDistance},
      {"distance that is text", with({observation('3', "F1", "P1", "abc", "90", "90")}), Failure::NotANumber},
      {"distance too large to be one", with({observation('3', "F1", "P1", "1e300", "90", "90")}), Failure::NotANumber},
      {"no vertical angle", with({observation('3', "F1", "P1", "10", "", "90")}), Failure::NotANumber},
      {"horizontal that is text", with({observation('3', "F1", "P1", "10", "90", "x")}), Failure::NotANumber},
      {"no target name", with({observation('3', "F1", "", "10", "90", "90")}), Failure::NotANumber},
      {"zenith 0", with({observation('3', "F1", "P1", "10", "0", "90")}), Failure::BadAngle},
      {"zenith 180", with({observation('3', "F1", "P1", "10", "180", "90")}), Failure::BadAngle},
      {"zenith 200 gons", with({observation('3', "F1", "P1", "10", "200", "90")}, '2'), Failure::BadAngle},
      {"elevation angle 90", with({observation('3', "F1", "P1", "10", "90", "90")}, '1', '2'), Failure::BadAngle},
      {"face right with a face left zenith", with({observation('3', "F2", "P1", "10", "90", "90")}), Failure::BadAngle},
      {"unknown angle unit", with({observation('3', "F1", "P1", "10", "90", "90")}, '7'), Failure::UnknownUnits},
      {"reduced zero distance", with({reducedObservation('3', "P1", "90", "0", "1")}), Failure::NoDistance},
      {"reduced without azimuth", with({reducedObservation('3', "P1", "", "10", "1")}), Failure::NotANumber},
      {"reduced under an unknown unit", with({reducedObservation('3', "P1", "90", "10", "1")}, '0'),
       Failure::UnknownUnits},
  };
  for (const Failing& c : cases) {
    SCOPED_TRACE(c.what);
    const Results results = computed(c.lines);
    EXPECT_TRUE(results.solutions.empty());
    EXPECT_TRUE(results.points.empty());
    ASSERT_EQ(results.failures.size(), 1u);
    EXPECT_EQ(results.failures[0].reason, c.reason);
    EXPECT_EQ(results.failures[0].row, c.lines.size() - 1);
    EXPECT_FALSE(FailureText(c.reason).empty());
  }
}

TEST(Compute, readsEveryWayOfWritingANumberAsTheSameNumber) {
  auto north = [](const char* slope, const char* vertical) {
    const Results results = computed(setUp('3', {observation('3', "F1", "P1", slope, vertical, "0")}));
    EXPECT_TRUE(results.failures.empty());
    return results.solutions.empty() ? 0.0 : results.solutions[0].north;
  };
  const double expected = north("12.5", "60");
  const struct {
    const char* slope;
    const char* vertical;
  } cases[] = {{"+12.5", "60"},   {"12.50000", "60.0"},         {"  12.5", "060"},
               {"1.25e1", "6e1"}, {"12.500000000000000", "60"}, {"012.5", "+60."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.slope) + " " + c.vertical);
    EXPECT_EQ(north(c.slope, c.vertical), expected);
  }
}

TEST(Compute, readsOnlyTheRowsItIsGiven) {
  const RecordList list = listOf(
      setUp('3', {observation('3', "F1", "P1", "10", "90", "90"), observation('3', "F1", "P2", "10", "90", "90")}));
  EXPECT_EQ(Compute(list, 6).solutions.size(), 1u);
  EXPECT_EQ(Compute(list, 100).solutions.size(), 2u);
}

}  // namespace
}  // namespace quillmar::survey
