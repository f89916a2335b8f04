// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an SDR field book, adjusted: finite numbers only, standard
// deviations and redundancy numbers in their ranges, indices that stay in
// their lists, at most one suspect of the plane and one of the heights.
#include <cmath>
#include <cstdint>
#include <string>

#include "survey/adjustment.h"
#include "survey/adjustment_table.h"
#include "tests/fuzz/fuzz_book.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/string_sink.h"

namespace {

void checkFinite(double value) { check(std::isfinite(value)); }
void checkFinite(const std::optional<double>& value) {
  if (value) check(std::isfinite(*value));
}
void checkStatistics(const quillmar::survey::AdjustmentStatistics& s) {
  checkFinite(s.m0);
  checkFinite(s.pvv);
  checkFinite(s.chiSquare);
  check(s.m0 >= 0 && s.pvv >= 0 && s.redundancy <= s.observations);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmar;
  const RecordList list = FieldBookOf(data, size);

  const survey::Adjustment a = survey::AdjustBook(list, list.size(), {}, {});
  checkStatistics(a.plane);
  checkStatistics(a.heights);
  for (const survey::AdjustedPoint& p : a.points) {
    check(p.point < a.names.size());
    checkFinite(p.north);
    checkFinite(p.east);
    checkFinite(p.elevation);
    for (const auto& s : {p.sNorth, p.sEast, p.sElevation, p.a, p.b}) check(!s || (std::isfinite(*s) && *s >= 0));
    check(!p.a || !p.b || *p.b <= *p.a * (1 + 1e-9) + 1e-12);
    check(!p.bearing || (*p.bearing >= 0 && *p.bearing < 3.15));
  }
  for (const survey::AdjustedObservation& o : a.observations) {
    check(o.row < list.size() && o.station < a.names.size() && (!o.hasTarget || o.target < a.names.size()));
    checkFinite(o.observed);
    checkFinite(o.residual);
    checkFinite(o.standardized);
    check(std::isfinite(o.sigma) && o.sigma > 0 && o.redundancy >= 0 && o.redundancy <= 1);
  }
  check(a.suspects.size() <= 2);
  for (const std::size_t k : a.suspects) check(k < a.observations.size() && a.observations[k].standardized);
  check(a.suspects.empty() == a.suspectText.empty());
  for (const survey::Unadjusted& u : a.unadjusted) check(u.row < list.size() || list.size() == 0);

  StringSink table;
  survey::WriteAdjustedPoints(table, a);
  survey::WriteAdjustedObservations(table, a);
  survey::AdjustmentSummaryLine(a);
  return 0;
}
