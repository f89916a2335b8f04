// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tests/survey/network_book.h"

namespace quillmar::survey::test {
namespace {

const std::map<std::string, Truth> kTruth = {
    {"C1", {5000.0, 5000.0, 100.0}}, {"C2", {5180.0, 5120.0, 102.5}}, {"C3", {4890.0, 5230.0, 98.2}},
    {"F", {5060.0, 5150.0, 101.0}},  {"R", {4950.0, 5320.0, 99.0}},   {"P1", {5100.0, 4900.0, 101.2}},
    {"P2", {5230.0, 4950.0, 103.0}}, {"T1", {5110.3, 5205.7, 100.4}}, {"T2", {4900.1, 5400.2, 97.3}},
    {"T4", {5260.0, 5050.0, 104.1}}, {"T5", {5150.0, 4990.0, 102.2}}, {"T6", {5070.0, 5080.0, 99.9}},
};

// Every way of placing a point: a free station over two control points
// (keyed in as 0,0), a resection from directions alone, a control point
// oriented on another, a traverse (one 07 without azimuth), an intersection.
NetworkBook everyKind(BookStyle style) {
  NetworkBook book(style, kTruth);
  for (const char* name : {"C1", "C2", "C3"}) book.known(name);
  book.placeholder("F");
  book.setUp("F", false, 17.25);
  book.sight("C1", true, true);
  book.sight("C2", true);
  book.sight("T1", true, true);
  book.setUp("R", false, 211.5);
  for (const char* name : {"C1", "C2", "C3"}) book.sight(name, false);
  book.sight("T2", true);
  book.setUp("C1", true, 95.0);
  book.sight("C2", true);
  book.sight("P1", true, true);
  book.sight("T5", false);
  book.setUp("P1", false, 300.75);
  book.sight("C1", true);
  book.sight("P2", true);
  book.sight("T5", false);
  book.setUp("P2", false, 45.5);
  book.backsight("P1", false);
  book.sight("T4", true);
  book.sight("T6", true);
  return book;
}

class EveryKind : public ::testing::TestWithParam<BookStyle> {};

TEST_P(EveryKind, placesEveryPointWithinATenthOfAMillimetre) {
  const NetworkBook book = everyKind(GetParam());
  const Results results = computed(book.lines(), GetParam().version);
  const char* expected[] = {"F", "T1", "R", "T2", "P1", "P2", "T5", "T4", "T6"};
  ASSERT_EQ(results.points.size(), std::size(expected)) << ::testing::PrintToString(results.failures.size());
  for (const char* name : expected) {
    const auto point = std::find_if(results.points.begin(), results.points.end(),
                                    [&](const ComputedPoint& p) { return p.point == name; });
    ASSERT_NE(point, results.points.end()) << name;
    const Truth& truth = book.truth(name);
    EXPECT_NEAR(point->north, truth.north, 1e-4) << name;
    EXPECT_NEAR(point->east, truth.east, 1e-4) << name;
    ASSERT_TRUE(point->elevation) << name;
    EXPECT_NEAR(*point->elevation, truth.elevation, 1e-4) << name;
  }
  for (const Solution& check : results.solutions) {
    if (check.method != Method::Check) continue;
    EXPECT_NEAR(std::hypot(*check.dNorth, *check.dEast), 0, 1e-4) << check.point << " from " << check.station;
  }
  EXPECT_TRUE(results.failures.empty());
  ASSERT_EQ(results.setAside.size(), 1u);
  EXPECT_EQ(results.setAside[0].point, "F");
}

std::vector<BookStyle> everyStyle() {
  std::vector<BookStyle> styles;
  for (char version : {'3', '2'})
    for (char angle : {'1', '2', '3'})
      for (char order : {'1', '2'})
        for (char direction : {'1', '2'}) styles.push_back({version, angle, order, direction, direction});
  return styles;
}

INSTANTIATE_TEST_SUITE_P(Styles, EveryKind, ::testing::ValuesIn(everyStyle()), [](const auto& info) {
  const BookStyle& s = info.param;
  return std::string("sdr") + s.version + "_angle" + s.angle + "_order" + s.order + "_direction" + s.direction;
});

TEST(Placing, namesHowEachStationWasPlacedAndTheIntersectionsSetUps) {
  const Results results = computed(everyKind({}).lines());
  const auto placing = [&](const char* name) {
    for (const StationResult& station : results.stations)
      if (station.station == name) return station.placing;
    return Placing::Unplaced;
  };
  EXPECT_EQ(placing("F"), Placing::FreeStation);
  EXPECT_EQ(placing("R"), Placing::Resection);
  EXPECT_EQ(placing("C1"), Placing::Control);
  EXPECT_EQ(placing("P1"), Placing::Polar);
  const auto crossing = std::find_if(results.solutions.begin(), results.solutions.end(),
                                     [](const Solution& s) { return s.method == Method::Intersection; });
  ASSERT_NE(crossing, results.solutions.end());
  EXPECT_EQ(crossing->point, "T5");
  EXPECT_EQ(crossing->station, "C1+P1");
}

}  // namespace
}  // namespace quillmar::survey::test
