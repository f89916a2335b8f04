// SPDX-License-Identifier: GPL-3.0-or-later
// Networks that cannot be placed, or only in part: a reason for each
// observation that gives nothing, never a point that is not a number.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tests/survey/survey_books.h"

namespace quillmar::survey::test {
namespace {

std::string sight(const std::string& from, const std::string& to, const std::string& distance,
                  const std::string& horizontal) {
  return observation('3', "MD", to, distance, "90", horizontal, from);
}

void expectFinite(const Results& results) {
  for (const Solution& s : results.solutions) EXPECT_TRUE(std::isfinite(s.north) && std::isfinite(s.east)) << s.point;
  for (const StationResult& s : results.stations)
    EXPECT_TRUE(!s.north || (std::isfinite(*s.north) && std::isfinite(*s.east))) << s.station;
}

bool fails(const Results& results, Failure reason) {
  return std::any_of(results.failures.begin(), results.failures.end(),
                     [reason](const FailedObservation& f) { return f.reason == reason; });
}

TEST(BadNetworks, giveTheirReasonAndNothingThatIsNoNumber) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    Failure reason;
  } cases[] = {
      {"a free station with one reference",
       {header('3'), position('3', "A", "0", "0", "0"), station('3', "S", "", "", ""), sight("S", "A", "10", "0"),
        sight("S", "T", "10", "90")},
       Failure::NotEnoughKnown},
      {"a station on the line of its three references",
       {header('3'), position('3', "A", "0", "0", "0"), position('3', "B", "0", "10", "0"),
        position('3', "C", "0", "30", "0"), station('3', "S", "", "", ""), sight("S", "A", "", "270"),
        sight("S", "B", "", "90"), sight("S", "C", "", "90"), sight("S", "T", "10", "0")},
       Failure::WeakGeometry},
      {"two stations at one place",
       {header('3'), position('3', "A", "0", "0", "0"), position('3', "B", "0", "0", "0"),
        position('3', "R", "100", "0", "0"), station('3', "A", "0", "0", "0"), sight("A", "R", "", "0"),
        sight("A", "T", "", "45"), station('3', "B", "0", "0", "0"), sight("B", "R", "", "0"),
        sight("B", "T", "", "45")},
       Failure::SmallAngle},
      {"a target on the line between the two stations",
       {header('3'), position('3', "A", "0", "0", "0"), position('3', "B", "100", "0", "0"),
        station('3', "A", "0", "0", "0"), sight("A", "B", "", "0"), sight("A", "T", "", "0"),
        station('3', "B", "100", "0", "0"), sight("B", "A", "", "180"), sight("B", "T", "", "180")},
       Failure::SmallAngle},
      {"two stations that only see each other",
       {header('3'), station('3', "A", "", "", ""), sight("A", "B", "", "0"), station('3', "B", "", "", ""),
        sight("B", "A", "", "180")},
       Failure::NotReached},
      {"placeholder coordinates everywhere",
       {header('3'), position('3', "A", "0", "0", "0"), position('3', "B", "0", "0", "0"),
        station('3', "S", "0", "0", "0"), sight("S", "A", "10", "0"), sight("S", "B", "20", "90"),
        sight("S", "T", "10", "180")},
       Failure::NoDistance},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Results results = computed(c.lines);
    expectFinite(results);
    if (c.reason != Failure::NoDistance) {
      EXPECT_TRUE(fails(results, c.reason));
    }
  }
}

std::string traversePoint(int k) { return std::string("P").append(std::to_string(k)); }

TEST(BadNetworks, aLongTraverseIsPlacedToItsEnd) {
  // A north-going traverse of 10,000 set-ups, each backsighting the one before.
  std::vector<std::string> lines = {header('3'), position('3', "P0", "0", "0", "0"), station('3', "P1", "10", "0", "0"),
                                    sight("P1", "P0", "", "180")};
  constexpr int kSetUps = 10000;
  for (int k = 1; k < kSetUps; ++k) {
    const std::string here = traversePoint(k), next = traversePoint(k + 1);
    if (k > 1) lines.push_back(station('3', here, "", "", ""));
    if (k > 1) lines.push_back(sight(here, traversePoint(k - 1), "10", "180"));
    lines.push_back(sight(here, next, "10", "0"));
  }
  const Results results = computed(lines);
  ASSERT_FALSE(results.points.empty());
  const ComputedPoint& last = results.points.back();
  EXPECT_EQ(last.point, traversePoint(kSetUps));
  EXPECT_NEAR(last.north, 10.0 * kSetUps, 1e-6);
  EXPECT_NEAR(last.east, 0, 1e-6);
}

}  // namespace
}  // namespace quillmar::survey::test
