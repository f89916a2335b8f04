// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/coordinate_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "survey/solution_table.h"
#include "tests/support/string_sink.h"
#include "tests/survey/survey_books.h"

namespace quillmar::survey {
namespace {

using namespace test;

struct Fitting {
  const char* what;
  char version, order;
  const char* north;
  const char* elevation;
  const char* expected;  // the record's fields after the codes, without CR LF
};

TEST(MakeCoordinateRecords, fitsPointsIntoTheBooksLayoutAndOrder) {
  const Fitting cases[] = {
      {"SDR3x", '3', '1', "1000", "100",
       "              P11000.0000       2010.0000       101.5000                        "},
      {"SDR3x east first", '3', '2', "1000", "100",
       "              P12010.0000       1000.0000       101.5000                        "},
      {"SDR3x no elevation", '3', '1', "1000", "",
       "              P11000.0000       2010.0000                                       "},
      {"SDR2x", '2', '1', "1000", "100", "  P11000.0000 2010.0000 101.5000                  "},
      {"SDR2x fewer decimals", '2', '1', "123456.789", "100", "  P1123456.7892010.0000 101.5000                  "},
      {"SDR2x one decimal", '2', '1', "-1234567.8", "100", "  P1-1234567.82010.0000 101.5000                  "},
      {"SDR2x whole number", '2', '1', "123456789", "100", "  P1123456789 2010.0000 101.5000                  "},
  };
  for (const Fitting& c : cases) {
    SCOPED_TRACE(c.what);
    const char v = c.version;
    const RecordList list = listOf({header(v, '1', c.order),
                                    c.order == '1' ? station(v, "STN", c.north, "2000", c.elevation)
                                                   : station(v, "STN", "2000", c.north, c.elevation),
                                    backsight(v, "BS", "0", "0"), observation(v, "F1", "P1", "10", "90", "90"),
                                    observation(v, "F1", "P1", "10", "90", "90")},
                                   v);
    const CoordinateRecords made = MakeCoordinateRecords(list, list.size(), Compute(list));
    EXPECT_TRUE(made.notFitted.empty());
    ASSERT_EQ(made.records.size(), 1u);
    EXPECT_EQ(made.records[0].afterRow, 4u);
    const SurveyRecord& record = made.records[0].record;
    EXPECT_EQ(record.typeCode.view(), "08");
    EXPECT_EQ(record.version, v);
    EXPECT_EQ(record.body.view(), "08XD" + std::string(c.expected) + "\r\n");
  }
}

TEST(MakeCoordinateRecords, takesTheAdjustedCoordinatesOfAdjustedPointsOnly) {
  const RecordList list =
      listOf({header('3'), station('3', "STN", "1000", "2000", "100"), backsight('3', "BS", "0", "0"),
              observation('3', "F1", "P1", "10", "90", "90"), observation('3', "F1", "P2", "10", "90", "0")},
             '3');
  Adjustment adjustment;
  adjustment.names = {"STN", "P1", "P2"};
  AdjustedPoint fixed;
  fixed.north = fixed.east = 5;
  fixed.elevation = 5;
  fixed.role = PointRole::Fixed;
  AdjustedPoint moved;
  moved.point = 1;
  moved.north = 1000.1234;
  moved.east = 2010.5678;
  moved.elevation = 101.25;
  adjustment.points = {fixed, moved};
  const CoordinateRecords made = MakeCoordinateRecords(list, list.size(), Compute(list), &adjustment);
  ASSERT_EQ(made.records.size(), 2u);
  EXPECT_EQ(made.records[0].record.body.view(),
            "08XD              P11000.1234       2010.5678       101.2500                        \r\n");
  EXPECT_EQ(made.records[1].record.body.view(),
            "08XD              P21010.0000       2000.0000       101.5000                        \r\n");
}

TEST(MakeCoordinateRecords, namesPointsTooLargeForTheFieldsAndLeavesCheckShots) {
  const RecordList list = listOf({header('2'), station('2', "STN", "9999999999", "2000", "1"),
                                  backsight('2', "BS", "0", "0"), observation('2', "F1", "P1", "10", "90", "0"),
                                  observation('2', "F1", "P2", "10", "90", "90"), position('2', "P2", "1", "2", "3")},
                                 '2');
  const CoordinateRecords made = MakeCoordinateRecords(list, list.size(), Compute(list));
  EXPECT_TRUE(made.records.empty());
  EXPECT_EQ(made.notFitted, std::vector<std::string>{"P1"});
}

TEST(SolutionTable, writesOneRowPerSolutionWithItsPairAndCheckColumns) {
  const Results results =
      computed(setUp('3', {observation('3', "F1", "P1", "10.000", "89.98", "90.01"),
                           observation('3', "F2", "P1", "10.002", "270", "270.03"),
                           reducedObservation('3', "K", "90", "10", ""), position('3', "K", "1000.01", "2010", "7")}));
  StringSink out;
  WriteSolutionTable(out, results);
  EXPECT_EQ(out.text,
            "point;N;E;Elev;station;method;dN;dE;dElev;collimation;index;row;pairRow\r\n"
            "P1;999.9965;2010.0010;100.3017;STN;polar;;;;-0.0100;-0.0100;6;7\r\n"
            "K;1000.0000;2010.0000;;STN;check;-0.0100;0.0000;;;;8;\r\n");
}

}  // namespace
}  // namespace quillmar::survey
