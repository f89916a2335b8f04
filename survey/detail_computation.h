// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One pass over the book's rows, then the check shots and the means.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "records/record_list.h"
#include "survey/detail_faces.h"
#include "survey/detail_fields.h"
#include "survey/detail_names.h"
#include "survey/survey.h"

namespace quillmar::survey::detail {

struct SetUp {
  std::string_view station;
  std::optional<Coordinates> at;
  double instrumentHeight = 0;
  std::optional<double> circleZero;  // in the book's unit
};

class Computation {
 public:
  Computation(const RecordList& list, std::size_t rows) : list_(list), rows_(rows), recorded_(list, rows) {}

  Results run();

 private:
  static bool byFirstRow(const FacePair& a, const FacePair& b) { return a.row1 < b.row1; }

  // Reading the book's conventions, set-ups and orientations.
  void take(Kind kind, std::string_view line, char version, std::uint32_t row);
  void station(std::string_view line, const Places& places);
  void backsight(std::string_view line, const Places& places);
  double clockwise(double reading) const { return conventions_.counterClockwise ? -reading : reading; }

  // Reducing one observation.
  void observation(std::string_view line, const Places& places, std::string_view derivCode, std::uint32_t row);
  std::optional<Failure> solve(const Sighting& seen, double horizontal, double zenith, double slope,
                               std::optional<std::uint32_t> pairRow, Solution& solution);
  void reducedObservation(std::string_view line, const Places& places, std::uint32_t row);
  std::optional<Failure> place(std::string_view target, double azimuth, double distance, std::optional<double> rise,
                               double targetHeight, Method method, std::uint32_t row,
                               std::optional<std::uint32_t> pairRow, Solution& solution);
  void fail(std::uint32_t row, Failure reason) { results_.failures.push_back({row, reason}); }

  // Face pairs.
  std::optional<Failure> single(const Sighting& seen, Solution& solution);
  void pair(const Waiting& left, const Sighting& right);

  // The computed points and check shots, after the pass.
  void markCheckShots();
  void meanPoints();

  const RecordList& list_;
  std::size_t rows_;
  const RecordedPoints recorded_;
  Conventions conventions_;
  double targetHeight_ = 0;
  std::optional<SetUp> setUp_;
  WaitingFaces waiting_;
  Results results_;
};

}  // namespace quillmar::survey::detail
