// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/detail_computation.h"

#include <utility>

namespace quillmar::survey::detail {

// One face read as face left.
std::optional<Failure> Computation::single(const Sighting& seen, Solution& solution) {
  const double full = seen.conventions.fullCircle;
  const bool right = seen.face == Face::Right;
  const double horizontal = right ? reduced(seen.horizontal - full / 2, full) : seen.horizontal;
  const double zenith = right ? full - seen.zenith : seen.zenith;
  return solve(seen, horizontal, zenith, seen.slope, std::nullopt, solution);
}

void Computation::pair(const Waiting& left, const Sighting& right) {
  const Sighting& first = left.seen;
  const double full = first.conventions.fullCircle;
  const double turned = right.horizontal - full / 2;
  const double difference = centred(first.horizontal - turned, full);
  FacePair errors;
  errors.point = std::string(first.target);
  errors.station = std::string(setUp_->station);
  errors.row1 = first.row;
  errors.row2 = right.row;
  errors.collimation = difference / 2;
  errors.index = centred(first.zenith + right.zenith - full, full) / 2;
  results_.pairs.push_back(std::move(errors));
  // The face left alone gave nothing: the set-up gives the pair nothing for the same reason.
  if (left.solution == kNone) return fail(right.row, left.failure);
  const double horizontal = reduced(turned + difference / 2, full);
  const double zenith = (first.zenith + (full - right.zenith)) / 2;
  Solution solution;
  if (const auto failure = solve(first, horizontal, zenith, (first.slope + right.slope) / 2, right.row, solution))
    return fail(right.row, *failure);
  results_.solutions[left.solution] = std::move(solution);
}

}  // namespace quillmar::survey::detail
