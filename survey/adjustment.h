// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The third way to coordinates: a least-squares adjustment of the whole
// network from the placing's approximate coordinates. Horizontal: the
// coordinates of every point that is no control point and one orientation
// per circle, from directions, azimuths and horizontal distances, iterated
// until the corrections fall below 0.01 mm. Heights: a separate adjustment
// of the trigonometric height differences. Then the statistics: m0', its
// chi-square test, standard deviations, error ellipses, residuals,
// redundancy numbers, standardized residuals and the suspected blunder.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "survey/network.h"
#include "survey/placing.h"

namespace quillmar::survey {

struct AdjustmentOptions {
  // A priori standard deviations; a priori m0 = 1.
  double sigmaDirection = 3;   // arc seconds, directions and azimuths
  double sigmaDistanceMm = 2;  // distances: mm + ppm of the distance
  double sigmaDistancePpm = 2;
  double sigmaZenith = 3;  // arc seconds, for the height differences
  // Standardized residuals beyond this are blunders: the normal quantile of
  // a two-sided 0.1 % test, the usual level of data snooping.
  double criticalValue = 3.29;
  int maxIterations = 30;
};

enum class PointRole : std::uint8_t { Fixed, Adjusted };

// Lengths in the book's unit (metres or feet), angles in radians.
struct AdjustedPoint {
  PointId point = 0;
  double north = 0, east = 0;  // true northing and easting
  std::optional<double> elevation;
  std::optional<double> sNorth, sEast, sElevation;  // standard deviations, with m0'
  // The standard error ellipse: semi-axes and the bearing of a, clockwise
  // from north in [0, pi). Nothing for a fixed point.
  std::optional<double> a, b, bearing;
  PointRole role = PointRole::Adjusted;
  bool fixedElevation = false;
};

enum class ObservationKind : std::uint8_t { Direction, Azimuth, Distance, HeightDifference };

// Angles in radians, lengths in the book's unit.
struct AdjustedObservation {
  std::uint32_t row = 0;                 // the face left's row, the 07's, or the only one
  std::optional<std::uint32_t> pairRow;  // the face right's row of a pair
  PointId station = 0, target = 0;
  bool hasTarget = true;  // false for a 07 azimuth without a point named
  ObservationKind kind = ObservationKind::Direction;
  double observed = 0;
  double residual = 0;  // adjusted minus observed
  double sigma = 0;     // a priori
  // Nothing where the observation is not checked by any other (r near 0).
  std::optional<double> standardized;
  double redundancy = 0;
};

enum class ChiSquareVerdict : std::uint8_t { Passed, TooSmall, TooLarge, NoRedundancy };

// One adjustment's figures: the horizontal network or the heights.
struct AdjustmentStatistics {
  double m0 = 0;  // m0' = sqrt([pvv] / r); 0 without redundancy
  double pvv = 0;
  std::size_t observations = 0, unknowns = 0, redundancy = 0;
  int iterations = 0;
  bool converged = true;
  // r m0'^2 / m0^2 against the chi-square quantiles of 2.5 % and 97.5 %.
  double chiSquare = 0, lower = 0, upper = 0;
  ChiSquareVerdict verdict = ChiSquareVerdict::NoRedundancy;
};

enum class UnadjustedReason : std::uint8_t {
  NotPlaced,           // no approximate coordinates: not connected to the control
  TooFewObservations,  // its observations do not fix it (one direction only, ...)
  NoReference,         // a circle without any sight of a point its coordinates come from
  NoHeightDifference,  // a point with an elevation but no usable height difference
};

// A point (or a circle's directions) that the adjustment had to leave out.
struct Unadjusted {
  bool circle = false;
  std::uint32_t index = 0;  // PointId, or the circle's index
  std::uint32_t row = 0;    // the point's first row, or the circle's 02/07
  UnadjustedReason reason = UnadjustedReason::NotPlaced;
};

struct Adjustment {
  std::vector<std::string> names;                 // by PointId
  std::vector<AdjustedPoint> points;              // fixed and adjusted, by first appearance
  std::vector<AdjustedObservation> observations;  // in row order
  AdjustmentStatistics plane, heights;
  // The suspected blunders, indices into observations: at most one of the
  // plane and one of the heights, each part tested on its own (a gross
  // height error must not hide the plane's).
  std::vector<std::size_t> suspects;
  std::string suspectText;  // Windows-1251, a sentence a line; empty without a suspect
  std::vector<Unadjusted> unadjusted;
  std::vector<std::optional<double>> orientations;  // by circle, radians
  double fullCircle = 360;                          // the book's angle unit
  double unitsPerMetre = 1;                         // one metre in the book's distance unit
  double criticalValue = 3.29;
  bool cancelled = false;
};

// The adjustment of what `placement` reached; `progress` gets the share done
// now and then, and stops the work (cancelled) when it returns false.
Adjustment Adjust(const Network& network, const Placement& placement, const AdjustmentOptions& options,
                  const std::function<bool(double done)>& progress = {});

// The whole book: its network read, placed with the user's control choice,
// and adjusted.
Adjustment AdjustBook(const RecordList& list, std::size_t rows, const ControlChoice& control,
                      const AdjustmentOptions& options, const std::function<bool(double done)>& progress = {});

// An angle's residual in the book's small unit: arc seconds in a degree
// book, centesimal seconds (cc) in a gon book, mils in a mil book.
double SmallAngle(double radians, double fullCircle);
// "направление", "азимут", "расстояние", "превышение" (Windows-1251).
std::string_view ObservationKindText(ObservationKind kind);
// direction, azimuth, distance, height: for quillmar-cli's tables.
std::string_view ObservationKindWord(ObservationKind kind);
std::string_view UnadjustedText(UnadjustedReason reason);
std::string_view UnadjustedWord(UnadjustedReason reason);
// The residual with its unit: 41" (seconds), 12cc, 0.150 mil, 500.0 mm
// (`millimetre` names the unit of lengths).
std::string ResidualText(const Adjustment& adjustment, const AdjustedObservation& observation,
                         std::string_view millimetre);
// "Вероятно, грубая ошибка: строка 184, направление ST2 -> G19, поправка 41"".
std::string SuspectText(const Adjustment& adjustment, const AdjustedObservation& observation);

}  // namespace quillmar::survey
