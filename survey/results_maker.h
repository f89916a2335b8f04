// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results stage's own pieces: the computation's, not for other libraries.

#include <cstdint>
#include <optional>
#include <vector>

#include "survey/network.h"
#include "survey/placing.h"
#include "survey/survey.h"

namespace quillmar::survey::detail {

class ResultsMaker {
 public:
  ResultsMaker(const Network& network, const Placement& placed);
  Results make();

 private:
  void station(std::uint32_t setUp);
  void sight(std::uint32_t sight);
  void crossed(const Placement::Crossing& crossing);
  void add(Solution solution, PointId target);
  Failure whyNot(const Sight& sight, bool stationPlaced, bool oriented) const;
  std::optional<Coordinates> at(PointId point) const;
  void meanPoints();
  void recordedPoints();

  const Network& network_;
  const Placement& placed_;
  std::vector<bool> used_;  // by sight: it crossed with others
  Results results_;
};

}  // namespace quillmar::survey::detail
