// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an SDR field book: the computation must cope, give finite
// numbers only, keep its lists consistent, and make 08 records of every
// computed point that fits, nothing else.
#include <cmath>
#include <cstdint>
#include <string>

#include "survey/coordinate_records.h"
#include "survey/solution_table.h"
#include "survey/survey.h"
#include "tests/fuzz/fuzz_book.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/string_sink.h"

namespace {

void checkFinite(double value) { check(std::isfinite(value)); }
void checkFinite(const std::optional<double>& value) {
  if (value) check(std::isfinite(*value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmar;
  const RecordList list = FieldBookOf(data, size);

  const survey::Results results = survey::Compute(list);
  std::size_t computedSolutions = 0;
  for (std::size_t i = 0; i < results.solutions.size(); ++i) {
    const survey::Solution& s = results.solutions[i];
    checkFinite(s.north);
    checkFinite(s.east);
    checkFinite(s.elevation);
    checkFinite(s.dNorth);
    checkFinite(s.dEast);
    checkFinite(s.dElevation);
    check(s.row < list.size() && (!s.pairRow || *s.pairRow < list.size()));
    check(i == 0 || results.solutions[i - 1].row <= s.row);
    check((s.method == survey::Method::Check) == s.dNorth.has_value());
    if (s.method != survey::Method::Check) ++computedSolutions;
  }
  check(results.checkShots() + computedSolutions == results.solutions.size());
  std::size_t averaged = 0;
  for (const survey::ComputedPoint& p : results.points) {
    checkFinite(p.north);
    checkFinite(p.east);
    checkFinite(p.elevation);
    checkFinite(p.spread);
    check(p.solutions > 0 && p.spread >= 0 && p.lastRow < list.size());
    averaged += p.solutions;
  }
  check(averaged == computedSolutions);
  for (const survey::FacePair& pair : results.pairs) {
    checkFinite(pair.collimation);
    checkFinite(pair.index);
    check(pair.row1 < pair.row2 && pair.row2 < list.size());
  }
  for (const survey::StationResult& station : results.stations) {
    checkFinite(station.north);
    checkFinite(station.east);
    checkFinite(station.elevation);
    checkFinite(station.orientation);
    checkFinite(station.scale);
    check(station.row < list.size() && station.north.has_value() == station.east.has_value());
    for (const survey::Reference& reference : station.references) {
      checkFinite(reference.orientationResidual);
      checkFinite(reference.distanceResidual);
    }
  }
  for (const survey::SetAside& aside : results.setAside) checkFinite(aside.contradiction);
  for (const survey::FailedObservation& failure : results.failures) {
    check(failure.row < list.size());
    check(!survey::FailureText(failure.reason).empty());
  }

  const survey::CoordinateRecords made = survey::MakeCoordinateRecords(list, list.size(), results);
  // A point "Вставить координаты" put in the book already is not inserted again.
  std::size_t toInsert = 0;
  for (const survey::ComputedPoint& p : results.points) toInsert += !p.inserted;
  check(made.records.size() + made.notFitted.size() == toInsert);
  for (std::size_t i = 0; i < made.records.size(); ++i) {
    const survey::CoordinateRecord& r = made.records[i];
    check(r.afterRow < list.size() && (i == 0 || made.records[i - 1].afterRow <= r.afterRow));
    check(r.record.typeCode.view() == "08" && r.record.body.view().ends_with("\r\n"));
  }

  StringSink table;
  survey::WriteSolutionTable(table, results);
  return 0;
}
