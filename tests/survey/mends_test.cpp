// SPDX-License-Identifier: GPL-3.0-or-later
// Wrong and silent results the computation once gave.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/survey/survey_books.h"

namespace quillmar::survey::test {
namespace {

// One point 1 km away at a zenith angle of 80 degrees, azimuth 0.
Results kilometreAt80(std::vector<std::string> before) {
  before.push_back(observation('3', "F1", "P1", "1000", "80", "0"));
  return computed(setUp('3', before));
}

TEST(Mends, curvatureShortensTheDistanceOnlyWhenTheJobAsksForIt) {
  const double level = 1000 * std::sin(80 * std::numbers::pi / 180);
  const double rise = 1000 * std::cos(80 * std::numbers::pi / 180);
  const double shortened =
      level - 0.93 * 1e6 * std::sin(80 * std::numbers::pi / 180) * std::cos(80 * std::numbers::pi / 180) / 6371000;
  const struct {
    const char* what;
    std::vector<std::string> before;
    double north, elevation;
  } cases[] = {
      {"no job record", {}, 1000 + level, 100.3 + rise},
      {"C&R off", {job('1', '1')}, 1000 + level, 100.3 + rise},
      {"C&R on", {job('2', '1')}, 1000 + shortened, 100.3 + rise + 0.86 * shortened * shortened / (2 * 6371000)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Results results = kilometreAt80(c.before);
    ASSERT_EQ(results.solutions.size(), 1u);
    EXPECT_NEAR(results.solutions[0].north, c.north, 1e-5);
    EXPECT_NEAR(*results.solutions[0].elevation, c.elevation, 1e-5);
  }
}

TEST(Mends, eachFaceKeepsTheOrientationInForceWhenItWasRead) {
  // The second 07 turns the circle by 30 degrees between the faces.
  const Results results =
      computed(setUp('3', {observation('3', "F1", "P1", "10", "90", "90"), backsight('3', "BS", "0", "30"),
                           observation('3', "F2", "P1", "10", "270", "300")}));
  ASSERT_EQ(results.points.size(), 1u);
  EXPECT_NEAR(results.points[0].north, 1000, 1e-6);
  EXPECT_NEAR(results.points[0].east, 2010, 1e-6);
  ASSERT_EQ(results.pairs.size(), 1u);
  EXPECT_FALSE(results.pairs[0].collimation) << "no collimation across two zeros of the circle";
}

TEST(Mends, facesOfTwoSetUpsNeverPair) {
  const Results results =
      computed(setUp('3', {observation('3', "F1", "P1", "10", "90", "90"), station('3', "STN", "1000", "2000", "100"),
                           backsight('3', "BS", "0", "0"), observation('3', "F2", "P1", "10", "270", "270")}));
  EXPECT_TRUE(results.pairs.empty());
  EXPECT_EQ(results.solutions.size(), 2u);
}

std::string headerWithDistanceUnit(char code) {
  std::string line = header('3');
  line[41] = code;  // position 42
  return line;
}

TEST(Mends, reportsEveryBadValueWithItsRow) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    std::size_t row;
    Failure reason;
  } cases[] = {
      {"reduced at a station without coordinates",
       {header('3'), station('3', "STN", "", "", ""), reducedObservation('3', "P1", "90", "10", "1")},
       2,
       Failure::NoStationCoordinates},
      {"scale 0", setUp('3', {scale('3', "0")}), 5, Failure::BadScale},
      {"scale -5", setUp('3', {scale('3', "-5")}), 5, Failure::BadScale},
      {"scale nan", setUp('3', {scale('3', "nan")}), 5, Failure::BadScale},
      {"scale 1,5", setUp('3', {scale('3', "1,5")}), 5, Failure::BadScale},
      {"distance unit 9", {headerWithDistanceUnit('9')}, 0, Failure::UnknownCode},
      {"coordinate order 9", {header('3', '1', '9', '1')}, 0, Failure::UnknownCode},
      {"circle direction 9", {header('3', '1', '1', '9')}, 0, Failure::UnknownCode},
      {"observation code XX", setUp('3', {observation('3', "XX", "P1", "10", "90", "90")}), 5,
       Failure::UnknownDerivation},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Results results = computed(c.lines);
    ASSERT_EQ(results.failures.size(), 1u);
    EXPECT_EQ(results.failures[0].row, c.row);
    EXPECT_EQ(results.failures[0].reason, c.reason);
  }
}

TEST(Mends, facesFurtherApartThanAnInstrumentAreNotAveraged) {
  const Results results = computed(
      setUp('3', {observation('3', "F1", "P1", "100", "90", "0"), observation('3', "F2", "P1", "100", "270", "270")}));
  ASSERT_EQ(results.failures.size(), 1u);
  EXPECT_EQ(results.failures[0].reason, Failure::FacesDisagree);
  EXPECT_EQ(results.failures[0].row, 6u);
  ASSERT_EQ(results.points.size(), 1u);
  EXPECT_NEAR(results.points[0].north, 1100, 1e-6) << "the face left alone";
}

TEST(Mends, aBookOfNoSdrLayoutSaysSo) {
  RecordList list;
  for (const char* text : {"\xEF\xBB\xBF"
                           "00NMSDR33",
                           "13NMnote", "09F1 junk"})
    list.append({}, SurveyRecord::fromText(text, kVersionNone));
  const Results results = Compute(list);
  ASSERT_EQ(results.failures.size(), 1u);
  EXPECT_EQ(results.failures[0].reason, Failure::NotSdr);
}

}  // namespace
}  // namespace quillmar::survey::test
