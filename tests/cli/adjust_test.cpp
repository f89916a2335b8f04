// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/cli_run.h"
#include "tests/support/temp_dir.h"
#include "tests/survey/adjust_book.h"

// quillmar-cli adjust on a book made from true coordinates: the tables, the
// summary on stderr, and the usage errors.

namespace quillmar {
namespace {

using namespace testing;
using survey::test::TrueBook;

// Control A (a station too) and B, a free station S2, targets P1 and P2.
TrueBook book(double blunder = 0) {
  std::vector<survey::test::TruePoint> points = {{"A", 1000, 1000, 100, true},
                                                 {"B", 1000, 1400, 102, true},
                                                 {"S2", 1200, 1300, 101},
                                                 {"P1", 1250, 1150, 130},
                                                 {"P2", 1100, 1250, 97}};
  std::vector<survey::test::TrueSetUp> setUps = {{"A", 0.3, {{"B"}, {"P1"}, {"P2"}, {"S2"}}},
                                                 {"S2", 3.5, {{"A"}, {"B", true}, {"P1"}, {"P2"}}}};
  setUps[1].shots[3].distanceError = blunder;
  return TrueBook(points, setUps);
}

std::string bookText(TrueBook& made) {
  std::string text;
  for (const std::string& line : made.lines()) text += line + "\r\n";
  return text;
}

TEST(CliAdjust, writesPointsAndResidualsAndNamesTheBlunder) {
  TempDir dir;
  TrueBook made = book(0.5);
  writeBytes(dir.file("book.sdr"), bookText(made));
  const CliRun run = runCli("adjust book.sdr out.csv --residuals res.csv --sigma-distance 2,2", dir);
  ASSERT_EQ(run.status, 0) << run.errors;
  const std::string points = readBytes(dir.file("out.csv"));
  EXPECT_EQ(points.substr(0, points.find("P1;")),
            "point;N;E;Elev;sN;sE;sElev;a;b;bearing;role\r\n"
            "B;1000.0000;1400.0000;102.0000;;;;;;;fixed\r\n"
            "A;1000.0000;1000.0000;100.0000;;;;;;;fixed\r\n");
  EXPECT_NE(points.find(";adjusted\r\nS2;"), std::string::npos);
  const std::string residuals = readBytes(dir.file("res.csv"));
  EXPECT_EQ(residuals.substr(0, residuals.find("\r\n") + 2),
            "row;station;target;kind;observed;residual;standardized;redundancy\r\n");
  const std::uint32_t row = made.written()[2 * 7 + 1].row + 1;
  EXPECT_NE(residuals.find("\r\n" + std::to_string(row) + ";S2;P2;distance;"), std::string::npos);
  EXPECT_NE(run.errors.find("plane: m0' = "), std::string::npos);
  EXPECT_NE(run.errors.find("suspected blunder: row " + std::to_string(row) + ", distance S2 -> P2, residual -"),
            std::string::npos)
      << run.errors;
}

TEST(CliAdjust, refusesRepeatedOrUnknownOptionsBadValuesAndItsOwnInput) {
  TempDir dir;
  TrueBook made = book();
  writeBytes(dir.file("book.sdr"), bookText(made));
  const struct {
    std::string args, named;
  } cases[] = {
      {"adjust book.sdr out.csv --free A --free B", "repeated option --free"},
      {"adjust book.sdr out.csv --sigma", "unknown option --sigma"},
      {"adjust book.sdr out.csv --sigma-direction x", "--sigma-direction: not a positive number of seconds: x"},
      {"adjust book.sdr out.csv --sigma-distance 2", "--sigma-distance: not MM,PPM: 2"},
      {"adjust book.sdr ./book.sdr", "./book.sdr is the input file"},
      {"adjust book.sdr out.csv --residuals book.sdr", "book.sdr is the input file"},
      {"adjust book.sdr", "needs IN and OUT"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli(c.args, dir);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_NE(run.errors.find(c.named), std::string::npos) << c.args << ": " << run.errors;
  }
  EXPECT_EQ(readBytes(dir.file("book.sdr")), bookText(made));
}

}  // namespace
}  // namespace quillmar
