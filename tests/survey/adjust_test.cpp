// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <map>

#include "records/cp1251.h"
#include "records/import.h"
#include "survey/adjustment.h"
#include "survey/placing.h"
#include "tests/survey/adjust_book.h"

namespace quillmar::survey::test {
namespace {

constexpr double kSecond = std::numbers::pi / 648000;

// Three control points (A also a station), two free stations, two targets,
// one of them high above the others: sights inclined by up to 10 degrees.
// S2 reads both faces.
TrueBook network(BookOptions options = {}, bool noise = false, double blunder = 0, double riseBlunder = 0) {
  std::vector<TruePoint> points = {
      {"A", 1000, 1000, 100, true}, {"B", 1000, 1400, 102, true}, {"C", 1350, 1200, 98, true}, {"S2", 1200, 1300, 101},
      {"S3", 1150, 1050, 99.5},     {"P1", 1250, 1150, 130},      {"P2", 1100, 1250, 97}};
  std::vector<TrueSetUp> setUps = {{"A", 0.3, {{"B"}, {"C"}, {"P1"}, {"P2"}, {"S3"}}},
                                   {"S2", 3.5, {{"B", true}, {"C", true}, {"P1", true}, {"P2", true}, {"S3", true}}},
                                   {"S3", 5.8, {{"A"}, {"C"}, {"P1"}, {"P2"}, {"S2"}}}};
  int k = 0;
  for (TrueSetUp& setUp : setUps) {
    for (Shot& shot : setUp.shots) {
      if (noise) {
        shot.directionError = ((k * 7) % 5 - 2) * 1.2 * kSecond;
        shot.distanceError = ((k * 5) % 3 - 1) * 0.0015;
      }
      ++k;
    }
  }
  setUps[2].shots[3].distanceError += blunder;
  setUps[0].shots[2].riseError += riseBlunder;
  return TrueBook(points, setUps, options);
}

struct Adjusted {
  RecordList list;
  Network network;
  Adjustment adjustment;
};

std::unique_ptr<Adjusted> adjust(TrueBook& book, const AdjustmentOptions& options = {}) {
  auto out = std::make_unique<Adjusted>();
  out->list = listOf(book.lines());
  out->network = ReadNetwork(out->list, out->list.size());
  out->adjustment = Adjust(out->network, Place(out->network, {}), options);
  return out;
}

const AdjustedPoint* pointNamed(const Adjustment& adjustment, const std::string& name) {
  for (const AdjustedPoint& p : adjustment.points)
    if (adjustment.names[p.point] == name) return &p;
  return nullptr;
}

// The horizontal network solved densely with the textbook formulas:
// x = (AᵀPA)⁻¹AᵀPl iterated, Q = (AᵀPA)⁻¹, r_i = 1 - p_i (A Q Aᵀ)_ii.
struct Dense {
  std::map<std::string, std::array<double, 2>> at;
  std::map<std::string, std::array<double, 2>> sigma;
  std::map<std::pair<std::uint32_t, bool>, double> redundancy;
  double m0 = 0;
};

Dense denseSolution(const TrueBook& book) {
  const auto& points = book.points();
  std::vector<int> column(points.size(), -1);
  int unknowns = 0;
  for (std::size_t k = 0; k < points.size(); ++k)
    if (!points[k].control) column[k] = unknowns, unknowns += 2;
  const int firstZero = unknowns;
  unknowns += static_cast<int>(book.setUps().size());
  Eigen::VectorXd x(unknowns);
  for (std::size_t k = 0; k < points.size(); ++k)
    if (column[k] >= 0) x[column[k]] = points[k].north, x[column[k] + 1] = points[k].east;
  for (std::size_t s = 0; s < book.setUps().size(); ++s) x[firstZero + static_cast<int>(s)] = book.setUps()[s].zero;
  const auto& obs = book.written();
  const auto m = static_cast<int>(obs.size());
  Eigen::MatrixXd a(m, unknowns);
  Eigen::VectorXd l(m), p(m);
  for (int iteration = 0; iteration < 8; ++iteration) {
    a.setZero();
    for (int i = 0; i < m; ++i) {
      const Written& o = obs[static_cast<std::size_t>(i)];
      const auto coordinate = [&](std::size_t k, int axis) {
        return column[k] >= 0 ? x[column[k] + axis] : (axis == 0 ? points[k].north : points[k].east);
      };
      const double dn = coordinate(o.target, 0) - coordinate(o.station, 0);
      const double de = coordinate(o.target, 1) - coordinate(o.station, 1);
      const double d2 = dn * dn + de * de, d = std::sqrt(d2);
      const double gn = o.distance ? dn / d : -de / d2, ge = o.distance ? de / d : dn / d2;
      if (column[o.target] >= 0) a(i, column[o.target]) = gn, a(i, column[o.target] + 1) = ge;
      if (column[o.station] >= 0) a(i, column[o.station]) = -gn, a(i, column[o.station] + 1) = -ge;
      if (o.distance) {
        l[i] = o.value - d;
        p[i] = 1 / std::pow(0.002 + 2e-6 * o.value, 2);
      } else {
        const int zero = firstZero + static_cast<int>(o.setUp);
        a(i, zero) = -1;
        l[i] = std::remainder(o.value - (std::atan2(de, dn) - x[zero]), 2 * std::numbers::pi);
        p[i] = 1 / std::pow(3 * kSecond, 2);
      }
    }
    const Eigen::MatrixXd normal = a.transpose() * p.asDiagonal() * a;
    x += normal.ldlt().solve(a.transpose() * p.asDiagonal() * l);
  }
  // l holds the misclosures at the solution: v = -l.
  const Eigen::MatrixXd q = (a.transpose() * p.asDiagonal() * a).inverse();
  Dense dense;
  dense.m0 = std::sqrt(l.dot(p.asDiagonal() * l) / (m - unknowns));
  for (std::size_t k = 0; k < points.size(); ++k) {
    if (column[k] < 0) continue;
    dense.at[points[k].name] = {x[column[k]], x[column[k] + 1]};
    dense.sigma[points[k].name] = {dense.m0 * std::sqrt(q(column[k], column[k])),
                                   dense.m0 * std::sqrt(q(column[k] + 1, column[k] + 1))};
  }
  const Eigen::MatrixXd aqa = a * q * a.transpose();
  for (int i = 0; i < m; ++i)
    dense.redundancy[{obs[static_cast<std::size_t>(i)].row, obs[static_cast<std::size_t>(i)].distance}] =
        1 - p[i] * aqa(i, i);
  return dense;
}

TEST(Adjust, agreesWithADenseLeastSquaresSolution) {
  TrueBook book = network({}, true);
  const auto adjusted = adjust(book);
  const Adjustment& result = adjusted->adjustment;
  const Dense dense = denseSolution(book);
  EXPECT_NEAR(result.plane.m0, dense.m0, 1e-6 * dense.m0);
  EXPECT_GT(dense.m0, 0.1);
  EXPECT_EQ(result.plane.redundancy, book.written().size() - 4 * 2 - 3);
  for (const auto& [name, at] : dense.at) {
    const AdjustedPoint* point = pointNamed(result, name);
    ASSERT_NE(point, nullptr) << name;
    EXPECT_NEAR(point->north, at[0], 1e-7) << name;
    EXPECT_NEAR(point->east, at[1], 1e-7) << name;
    EXPECT_NEAR(*point->sNorth, dense.sigma.at(name)[0], 1e-9) << name;
    EXPECT_NEAR(*point->sEast, dense.sigma.at(name)[1], 1e-9) << name;
    EXPECT_EQ(point->role, PointRole::Adjusted);
  }
  int checked = 0;
  for (const AdjustedObservation& o : result.observations) {
    if (o.kind == ObservationKind::HeightDifference) continue;
    EXPECT_NEAR(o.redundancy, dense.redundancy.at({o.row, o.kind == ObservationKind::Distance}), 1e-7) << o.row;
    ++checked;
  }
  EXPECT_EQ(checked, static_cast<int>(book.written().size()));
}

// The ellipse's axes hold the same variance as sN and sE, a along its bearing.
TEST(Adjust, ellipseAxesCarryTheCoordinateVariances) {
  TrueBook book = network({}, true);
  const auto adjusted = adjust(book);
  for (const AdjustedPoint& p : adjusted->adjustment.points) {
    if (p.role == PointRole::Fixed) continue;
    EXPECT_NEAR(*p.a * *p.a + *p.b * *p.b, *p.sNorth * *p.sNorth + *p.sEast * *p.sEast, 1e-12);
    EXPECT_GE(*p.a, *p.b);
    const double along = std::pow(*p.a * std::cos(*p.bearing), 2) + std::pow(*p.b * std::sin(*p.bearing), 2);
    EXPECT_NEAR(along, *p.sNorth * *p.sNorth, 1e-12);
  }
}

struct ExactCase {
  const char* name;
  BookOptions options;
};

// Without errors every point comes back to its truth, its elevation too.
TEST(Adjust, exactObservationsGiveTheTruthBackInEveryUnit) {
  const ExactCase cases[] = {
      {"degrees", {}},
      {"gons", {'2', false}},
      {"mils", {'3', false}},
      {"feet", {'1', true}},
  };
  for (const ExactCase& c : cases) {
    TrueBook book = network(c.options);
    const auto adjusted = adjust(book);
    const Adjustment& result = adjusted->adjustment;
    const double tolerance = 1e-5 * (c.options.feet ? 1 / 0.3048 : 1.0);
    ASSERT_EQ(result.points.size(), book.points().size()) << c.name;
    for (const TruePoint& truth : book.points()) {
      const AdjustedPoint* point = pointNamed(result, truth.name);
      ASSERT_NE(point, nullptr) << c.name << " " << truth.name;
      EXPECT_NEAR(point->north, truth.north, tolerance) << c.name << " " << truth.name;
      EXPECT_NEAR(point->east, truth.east, tolerance) << c.name << " " << truth.name;
      ASSERT_TRUE(point->elevation) << c.name << " " << truth.name;
      EXPECT_NEAR(*point->elevation, truth.elevation, tolerance) << c.name << " " << truth.name;
    }
    EXPECT_LT(result.plane.m0, 1e-3) << c.name;
    EXPECT_LT(result.heights.m0, 1e-3) << c.name;
    EXPECT_GT(result.heights.redundancy, 0u) << c.name;
    EXPECT_TRUE(result.suspects.empty()) << c.name;
    EXPECT_TRUE(result.plane.converged) << c.name;
  }
}

// A gross height error, far beyond the distance's, must not hide it: each
// part names its own suspect.
TEST(Adjust, plantedBlundersArePointedOutByTheirRows_inThePlaneAndInTheHeightsApart) {
  for (const bool feet : {false, true}) {
    const double metre = feet ? 1 / 0.3048 : 1;
    TrueBook book = network({'1', feet}, true, 0.5 * metre, 3 * metre);
    const auto adjusted = adjust(book);
    const Adjustment& result = adjusted->adjustment;
    ASSERT_EQ(result.suspects.size(), 2u) << feet;
    const AdjustedObservation& distance = result.observations[result.suspects[0]];
    const AdjustedObservation& height = result.observations[result.suspects[1]];
    const Written& planted = book.written()[2 * (10 + 3) + 1];
    EXPECT_EQ(distance.row, planted.row);
    EXPECT_EQ(distance.kind, ObservationKind::Distance);
    EXPECT_EQ(height.row, book.written()[2 * 2].row);
    EXPECT_EQ(height.kind, ObservationKind::HeightDifference);
    EXPECT_GT(std::fabs(*height.standardized), std::fabs(*distance.standardized));
    EXPECT_EQ(result.plane.verdict, ChiSquareVerdict::TooLarge);
    const std::string expected = std::string("Вероятно, грубая ошибка: строка "_w) + std::to_string(planted.row + 1) +
                                 std::string(", расстояние S3 -> P2, поправка "_w);
    EXPECT_EQ(result.suspectText.substr(0, expected.size()), expected);
    const std::string second = std::string("\nВероятно, грубая ошибка: строка "_w) + std::to_string(height.row + 1) +
                               std::string(", превышение A -> P1, поправка "_w);
    EXPECT_NE(result.suspectText.find(second), std::string::npos);
  }
}

// A fuzzed book of two unrelated networks and contradictory sights: full
// Gauss-Newton steps sent its points to 1e11 m; halved steps keep them near.
TEST(Adjust, stepsThatMakeThingsWorseAreHalvedSoGrossErrorsDoNotSendPointsAway) {
  RecordList list;
  CaptionState captions;
  importSdrRows(std::string(QUILLMAR_SOURCE_DIR) + "/tests/fuzz/seeds/survey_fuzz/diverging-network.sdr", captions,
                list);
  const Adjustment result = AdjustBook(list, list.size(), {}, {});
  ASSERT_FALSE(result.points.empty());
  for (const AdjustedPoint& p : result.points) {
    EXPECT_LT(std::fabs(p.north), 1e7) << result.names[p.point];
    EXPECT_LT(std::fabs(p.east), 1e7) << result.names[p.point];
  }
}

TEST(Adjust, whatCannotBeAdjustedIsNamedAndTheRestIsAdjusted) {
  TrueBook book = network();
  std::vector<std::string> lines = book.lines();
  const auto first = static_cast<std::uint32_t>(lines.size());
  // A set-up apart from the network, and one on control B that sees nothing placed.
  lines.push_back(station('3', "X1", "", "", ""));
  lines.push_back(observation('3', "F1", "X2", "100", "90", "10", "X1"));
  lines.push_back(station('3', "B", "", "", ""));
  lines.push_back(observation('3', "F1", "X3", "", "90", "10", "B"));
  const RecordList list = listOf(lines);
  const Network net = ReadNetwork(list, list.size());
  const Adjustment result = Adjust(net, Place(net, {}), {});
  EXPECT_EQ(result.points.size(), book.points().size());
  struct Expected {
    bool circle;
    std::uint32_t row;
    UnadjustedReason reason;
  };
  const Expected expected[] = {{false, first, UnadjustedReason::NotPlaced},
                               {false, first + 1, UnadjustedReason::NotPlaced},
                               {true, first + 2, UnadjustedReason::NoReference},
                               {false, first + 3, UnadjustedReason::NotPlaced}};
  ASSERT_EQ(result.unadjusted.size(), std::size(expected));
  for (std::size_t k = 0; k < std::size(expected); ++k) {
    EXPECT_EQ(result.unadjusted[k].circle, expected[k].circle) << k;
    EXPECT_EQ(result.unadjusted[k].row, expected[k].row) << k;
    EXPECT_EQ(result.unadjusted[k].reason, expected[k].reason) << k;
  }
  for (const AdjustedPoint& p : result.points) EXPECT_TRUE(std::isfinite(p.north) && std::isfinite(p.east));
  EXPECT_LT(result.plane.m0, 1e-3);

  // Nothing to adjust at all (the sanitizers watch the solver's empty case).
  const RecordList empty;
  const Adjustment none = AdjustBook(empty, 0, {}, {});
  EXPECT_TRUE(none.points.empty() && none.observations.empty());
  EXPECT_EQ(none.plane.verdict, ChiSquareVerdict::NoRedundancy);
}

TEST(Adjust, cancelledWhenProgressSaysStop) {
  TrueBook book = network();
  const RecordList list = listOf(book.lines());
  const Network net = ReadNetwork(list, list.size());
  const Adjustment result = Adjust(net, Place(net, {}), {}, [](double) { return false; });
  EXPECT_TRUE(result.cancelled);
  EXPECT_TRUE(result.points.empty());
}

}  // namespace
}  // namespace quillmar::survey::test
