// SPDX-License-Identifier: GPL-3.0-or-later
// What a geodesist reads off an adjustment: m0' and its chi-square test,
// each observation's redundancy number and standardized residual.

#include <algorithm>
#include <cmath>

#include "survey/adjust_model.h"

namespace quillmar::survey::detail {
namespace {

// Normal quantiles of 2.5 % and 97.5 %.
constexpr double kNormal975 = 1.959963984540054;

// The chi-square quantile of r degrees of freedom: exact for one and two,
// Wilson and Hilferty's cube-root approximation beyond (good to a few
// tenths of a percent from three degrees on).
double chiSquareQuantile(std::size_t r, bool upper) {
  if (r == 1) return upper ? 5.023886187314888 : 0.000982069117175;
  if (r == 2) return -2 * std::log(upper ? 0.025 : 0.975);
  const double n = static_cast<double>(r);
  const double z = upper ? kNormal975 : -kNormal975;
  const double cube = 1 - 2 / (9 * n) + z * std::sqrt(2 / (9 * n));
  return n * cube * cube * cube;
}

// Below this an observation is checked by no other: its residual says nothing.
constexpr double kUncheckedRedundancy = 1e-6;

}  // namespace

Progress Part(const Progress& progress, double from, double to) {
  if (!progress) return {};
  return [progress, from, to](double done) { return progress(from + (to - from) * done); };
}

bool FillStatistics(Solved& solved, const Progress& progress) {
  AdjustmentStatistics& s = solved.statistics;
  s.observations = solved.observations.size();
  s.unknowns = solved.unknowns;
  s.redundancy = s.observations > s.unknowns ? s.observations - s.unknowns : 0;
  s.pvv = WeightedSquares(solved.equations);
  if (s.redundancy > 0) {
    s.m0 = std::sqrt(s.pvv / static_cast<double>(s.redundancy));
    // With a priori m0 = 1, r m0'^2 / m0^2 is [pvv].
    s.chiSquare = s.pvv;
    s.lower = chiSquareQuantile(s.redundancy, false);
    s.upper = chiSquareQuantile(s.redundancy, true);
    s.verdict = s.chiSquare < s.lower   ? ChiSquareVerdict::TooSmall
                : s.chiSquare > s.upper ? ChiSquareVerdict::TooLarge
                                        : ChiSquareVerdict::Passed;
  }
  if (!solved.normal.invert(progress)) return false;
  for (std::size_t k = 0; k < solved.observations.size(); ++k) {
    AdjustedObservation& o = solved.observations[k];
    const Equation& e = solved.equations[k];
    o.residual = -e.misclosure;
    const double variance = o.sigma * o.sigma;
    const double qvv = std::max(0.0, variance - solved.normal.rowVariance(e));
    o.redundancy = std::clamp(qvv / variance, 0.0, 1.0);
    // Baarda's w: the residual over its own a priori standard deviation.
    o.standardized.reset();
    if (o.redundancy > kUncheckedRedundancy) o.standardized = o.residual / std::sqrt(qvv);
  }
  return true;
}

}  // namespace quillmar::survey::detail
