// SPDX-License-Identifier: GPL-3.0-or-later
// Points and sight lines read from records: both layouts, both coordinate
// orders, values that are not numbers, and rows and points after changes.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "plan/plan_data.h"
#include "tests/support/record_fields.h"

namespace quillmar::plan {
namespace {

using testing::left;
using testing::right;

// A header whose coordinate order code (position 45) is `order`.
std::string header(char order) { return left("00NMSDR33 V04-04.02", 40) + "1111" + order; }

// A station or position record in the given layout: id, first and second
// coordinate fields, elevation.
std::string pointLine(std::string_view codes, char version, std::string_view id, std::string_view first,
                      std::string_view second) {
  const std::size_t idWidth = version == '3' ? 16 : 4;
  const std::size_t numberWidth = version == '3' ? 16 : 10;
  return std::string(codes) + right(id, idWidth) + left(first, numberWidth) + left(second, numberWidth) +
         left("100.0", numberWidth);
}

std::string observation(char version, std::string_view station, std::string_view target) {
  const std::size_t idWidth = version == '3' ? 16 : 4;
  return "09F1" + right(station, idWidth) + right(target, idWidth) + left("12.345", version == '3' ? 16 : 10);
}

RecordList listOf(const std::vector<std::string>& lines, char version) {
  RecordList list;
  for (const std::string& line : lines) list.append({}, SurveyRecord::fromText(line, version));
  return list;
}

// Name, east, north of every point.
using Coordinates = std::tuple<std::string, double, double>;

std::vector<Coordinates> coordinatesOf(const PlanData& plan) {
  std::vector<Coordinates> result;
  for (std::size_t i = 0; i < plan.size(); ++i)
    result.push_back({std::string(plan.name(i)), plan.positions()[i].east, plan.positions()[i].north});
  return result;
}

TEST(PlanData, readsCoordinatesInBothLayoutsByTheLastHeadersOrder) {
  for (const char version : {'3', '2'}) {
    SCOPED_TRACE(version);
    const PlanData plan = PlanData::read(listOf(
        {
            pointLine("08KI", version, "A", "100.5", "200.25"),          // no header yet: N-E
            header('2'), pointLine("02TP", version, "B", "300", "400"),  // E-N
            header('7'),                                                 // an unknown code keeps E-N
            pointLine("08KI", version, "C", "-5", "6"), header('1'),
            pointLine("08CO", version, "D", "7", "8"),  // N-E again
        },
        version));
    EXPECT_EQ(coordinatesOf(plan),
              (std::vector<Coordinates>{{"A", 200.25, 100.5}, {"B", 300, 400}, {"C", -5, 6}, {"D", 8, 7}}));
    EXPECT_EQ(plan.points()[1].kind, PointKind::Station);
    EXPECT_EQ(plan.points()[0].kind, PointKind::Other);
  }
}

TEST(PlanData, readsTheFieldsAtTheirLayoutsPositionsNotMoreNorLess) {
  // SDR2x: a 4-character id and 10-character numbers run into each other.
  const PlanData sdr2 = PlanData::read(listOf({"08KI100229.1755686-4.00952570.00963371FIT-TEST"}, '2'));
  EXPECT_EQ(coordinatesOf(sdr2), (std::vector<Coordinates>{{"1002", -4.0095257, 29.1755686}}));
  // A record of neither layout has no positions to read.
  const PlanData none = PlanData::read(listOf({pointLine("08KI", '3', "A", "1", "2")}, '0'));
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.skippedRecords(), 1u);
}

TEST(PlanData, skipsAndCountsCoordinatesThatAreNotNumbers) {
  struct Case {
    std::string first, second;
    bool kept;
  };
  const std::vector<Case> cases{
      {"1.5", "2", true},  {" 1.5 ", "+2", true}, {"-0.25", "1e3", true}, {"", "2", false},
      {"1", "", false},    {"abc", "2", false},   {"12,5", "2", false},   {"1.5.2", "2", false},
      {"nan", "2", false}, {"inf", "2", false},   {"+-1", "2", false},    {"1 2", "3", false},
  };
  std::vector<std::string> lines;
  std::size_t kept = 0;
  for (const Case& c : cases) {
    lines.push_back(pointLine("08KI", '3', "P", c.first, c.second));
    kept += c.kept;
  }
  lines.push_back("02TP");  // a station cut short after its codes
  const PlanData plan = PlanData::read(listOf(lines, '3'));
  EXPECT_EQ(plan.size(), kept);
  EXPECT_EQ(plan.skippedRecords(), cases.size() + 1 - kept);
  for (std::size_t i = 0, point = 0; i < cases.size(); ++i) {
    if (!cases[i].kept) continue;
    EXPECT_EQ(plan.points()[point++].row, i) << cases[i].first << " " << cases[i].second;
  }
}

TEST(PlanData, drawsSightLinesFromEachStationToObservedPointsWithCoordinates) {
  const PlanData plan = PlanData::read(listOf(
      {
          observation('3', "S1", "A"),                                          // before any station: no line
          pointLine("08KI", '3', "A", "0", "10"),                               // 0
          pointLine("02TP", '3', "S1", "0", "0"),                               // 1
          observation('3', "S1", "A"), observation('3', "S1", "A"),             // face right: the same line
          observation('3', "S1", "B"),                                          // B's coordinates come later
          observation('3', "S1", "NOWHERE"),                                    // no coordinates in the book
          pointLine("08KI", '3', "B", "5", "5"),                                // 2
          pointLine("02TP", '3', "S2", "", ""),                                 // no coordinates of its own...
          observation('3', "S2", "A"), pointLine("08KI", '3', "S2", "9", "9"),  // 3: ...but the book has them
      },
      '3'));
  std::vector<std::pair<std::uint32_t, std::uint32_t>> lines;
  for (const SightLine& line : plan.sightLines()) lines.emplace_back(line.station, line.target);
  EXPECT_EQ(lines, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 0}, {1, 2}, {3, 0}}));
  EXPECT_EQ(plan.skippedRecords(), 1u);
  EXPECT_EQ(plan.points()[3].kind, PointKind::Station) << "S2 is drawn as a station";
  EXPECT_EQ(plan.points()[2].kind, PointKind::Other);
  // Rows that name a point lead to it too.
  EXPECT_EQ(plan.pointNamedByRow(5), 2u);
  EXPECT_EQ(plan.pointNamedByRow(8), 3u);
  EXPECT_EQ(plan.pointNamedByRow(6), std::nullopt);
  EXPECT_EQ(plan.pointNamedByRow(2), 1u);
}

TEST(PlanData, mapsRowsAndPointsBothWaysAfterEditsAndDeletes) {
  RecordList list = listOf(
      {
          header('1'),
          pointLine("08KI", '3', "A", "10", "20"),
          "13NMnote",
          pointLine("02TP", '3', "S", "30", "40"),
          pointLine("08KI", '3', "B", "50", "60"),
      },
      '3');
  const auto mapping = [](const PlanData& plan, std::size_t rows) {
    std::string text;
    for (std::size_t row = 0; row < rows; ++row) {
      const auto point = plan.pointOfRow(row);
      text += point ? std::string(plan.name(*point)) : "-";
      if (point) {
        EXPECT_EQ(plan.points()[*point].row, row);
      }
    }
    return text;
  };
  EXPECT_EQ(mapping(PlanData::read(list), list.size()), "-A-SB");

  list.remove(2);
  EXPECT_EQ(mapping(PlanData::read(list), list.size()), "-ASB");

  CaptionState captions;
  list.replace(1, SurveyRecord::fromText(pointLine("08KI", '3', "A", "", "20"), '3'), captions);
  list.insert(0, {}, SurveyRecord::fromText(pointLine("08KI", '3', "N", "1", "2"), '3'));
  const PlanData edited = PlanData::read(list);
  EXPECT_EQ(mapping(edited, list.size()), "N--SB");
  // A click near B's ground position finds B's row.
  const auto picked = edited.nearestPoint({60.2, 49.9}, 1);
  ASSERT_TRUE(picked);
  EXPECT_EQ(edited.points()[*picked].row, 4u);
  EXPECT_FALSE(edited.nearestPoint({55, 55}, 1));
}

TEST(PlanData, addsComputedPointsAfterTheRecordedOnesWithTheirSightLines) {
  const RecordList list = listOf(
      {header('1'), pointLine("02TS", '3', "ST1", "1000", "2000"), observation('3', "ST1", "C1"),
       observation('3', "ST1", "C1"), observation('3', "ST9", "C2"), pointLine("08KI", '3', "P1", "1010", "2010")},
      '3');
  const std::vector<ComputedPlace> places = {{"C1", {2005, 1005}, 3}, {"C2", {2007, 1007}, 4}};
  // C1 by a face pair from ST1; C2 from a station the plan has no point of.
  const std::vector<ComputedSight> sights = {{0, "ST1", 2, 3}, {1, "ST9", 4, std::nullopt}};
  const PlanData plan = PlanData::read(list, list.size(), places, sights);

  ASSERT_EQ(plan.recordedPoints(), 2u);
  ASSERT_EQ(plan.computedPoints(), 2u);
  EXPECT_EQ(coordinatesOf(plan)[2], Coordinates("C1", 2005, 1005));
  EXPECT_EQ(plan.points()[2].kind, PointKind::Computed);
  EXPECT_EQ(plan.pointOfRow(5), 1u) << "a recorded point keeps its row";
  EXPECT_FALSE(plan.pointOfRow(3)) << "a computed point has no record of its own";
  for (const std::size_t row : {2, 3}) EXPECT_EQ(plan.pointNamedByRow(row), 2u) << row;
  EXPECT_EQ(plan.pointNamedByRow(4), 3u);
  ASSERT_EQ(plan.computedLines().size(), 1u) << "no line from a station without a point";
  EXPECT_EQ(plan.computedLines()[0].station, 0u);
  EXPECT_EQ(plan.computedLines()[0].target, 2u);
  EXPECT_TRUE(plan.sightLines().empty()) << "the book's own lines are unchanged";
  EXPECT_EQ(plan.nearestPoint({2007, 1007}, 0.5), 3u);
}

// ST1 keyed in as 0,0 and placed at 1000,2000 from its sights: drawn at both,
// but the whole book fits around what the observations agree with.
TEST(PlanData, setAsidePointsAreDrawnButLeftOutOfTheExtentAndTheirLinesStartWhereTheyWerePlaced) {
  const RecordList list = listOf({header('1'), pointLine("02TS", '3', "ST1", "0", "0"),
                                  pointLine("08KI", '3', "G1", "1010", "2010"), observation('3', "ST1", "G1")},
                                 '3');
  const std::vector<ComputedPlace> places = {{"ST1", {2000, 1000}, 3, true}};
  const PlanData plan = PlanData::read(list, list.size(), places, {}, {"ST1"});
  ASSERT_EQ(plan.size(), 3u);
  EXPECT_EQ(coordinatesOf(plan)[0], Coordinates("ST1", 0, 0));
  EXPECT_DOUBLE_EQ(plan.extent().minEast, 2000);
  EXPECT_DOUBLE_EQ(plan.extent().minNorth, 1000);
  EXPECT_DOUBLE_EQ(plan.extent().maxEast, 2010);
  ASSERT_EQ(plan.sightLines().size(), 1u);
  EXPECT_EQ(plan.sightLines()[0].station, 2u) << "the line starts at the placed station";
  EXPECT_EQ(plan.sightLines()[0].target, 1u);
  const PlanData onlySetAside =
      PlanData::read(listOf({pointLine("08KI", '3', "ST1", "0", "0")}, '3'), 1, {}, {}, {"ST1"});
  EXPECT_FALSE(onlySetAside.extent().empty()) << "nothing else to fit: the set-aside point is kept";
}

TEST(PlanData, findsTheNearestPointThroughTheGridAsASearchOfAllWould) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> east(1320000, 1330000), north(480000, 480300);
  std::vector<std::string> lines;
  for (int i = 0; i < 3000; ++i)
    lines.push_back(
        pointLine("08KI", '3', std::to_string(i), std::to_string(north(random)), std::to_string(east(random))));
  const PlanData plan = PlanData::read(listOf(lines, '3'));
  for (int probe = 0; probe < 500; ++probe) {
    const GroundPoint at{east(random), north(random)};
    const double radius = 40;
    std::optional<std::size_t> expected;
    double best = radius * radius;
    for (std::size_t i = 0; i < plan.size(); ++i) {
      const double de = plan.positions()[i].east - at.east, dn = plan.positions()[i].north - at.north;
      if (de * de + dn * dn <= best) {
        best = de * de + dn * dn;
        expected = i;
      }
    }
    ASSERT_EQ(plan.nearestPoint(at, radius), expected) << probe;
  }
}

}  // namespace
}  // namespace quillmar::plan
