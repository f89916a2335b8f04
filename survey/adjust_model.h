// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The adjustment's own pieces: the two adjustments (horizontal network and
// heights) and the statistics they share.

#include <functional>
#include <vector>

#include "survey/adjust_solver.h"
#include "survey/adjustment.h"
#include "survey/geometry.h"

namespace quillmar::survey::detail {

// One adjustment solved: its observations (residuals filled in), the
// equations at the solution and the factorised normal equations.
struct Solved {
  std::vector<AdjustedObservation> observations;
  std::vector<Equation> equations;  // misclosures at the solution: residual = -misclosure
  std::size_t unknowns = 0;
  NormalEquations normal;
  AdjustmentStatistics statistics;
};

using Progress = std::function<bool(double)>;

// `progress` of a part of the work from `from` to `to`.
Progress Part(const Progress& progress, double from, double to);

struct PlaneSolution {
  Solved solved;
  std::vector<std::optional<Plane>> at;            // by PointId, adjusted or fixed
  std::vector<std::uint32_t> unknown;              // by PointId: its north's unknown, or kFixed
  std::vector<std::optional<double>> orientation;  // by circle
  std::vector<Unadjusted> unadjusted;
  bool cancelled = false;
};

PlaneSolution AdjustPlane(const Network& network, const Placement& placement, const AdjustmentOptions& options,
                          const Progress& progress);

struct HeightSolution {
  Solved solved;
  std::vector<std::optional<double>> elevation;  // by PointId
  std::vector<std::uint32_t> unknown;            // by PointId, or kFixed
  std::vector<bool> fixed;                       // by PointId: a control elevation
  std::vector<Unadjusted> unadjusted;
};

HeightSolution AdjustHeights(const Network& network, const Placement& placement, const PlaneSolution& plane,
                             const AdjustmentOptions& options);

// m0', the chi-square test, and each observation's redundancy number and
// standardized residual; false when cancelled.
bool FillStatistics(Solved& solved, const Progress& progress);

// Sigma of a distance: mm + ppm, in the book's unit.
double DistanceSigma(const AdjustmentOptions& options, double distance, double unitsPerMetre);
inline constexpr double kArcSecond = 1.0 / 206264.80624709636;

}  // namespace quillmar::survey::detail
