// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Computed points as position (08) records of the book's own layout and
// coordinate order, each to go right after the last observation of its point.

#include <cstddef>
#include <string>
#include <vector>

#include "records/record_list.h"
#include "records/survey_record.h"
#include "survey/adjustment.h"
#include "survey/survey.h"

namespace quillmar::survey {

struct CoordinateRecord {
  std::size_t afterRow = 0;  // insert at afterRow + 1, before any later insert
  SurveyRecord record;
};

struct CoordinateRecords {
  std::vector<CoordinateRecord> records;  // in row order
  // Points whose values do not fit the layout's fields even with fewer
  // decimals: named here, never cut.
  std::vector<std::string> notFitted;
};

// For the first `rows` records of `list` and what Compute made of them. With
// an adjustment, its points (not the control) take its coordinates; the
// points it left out keep their means.
CoordinateRecords MakeCoordinateRecords(const RecordList& list, std::size_t rows, const Results& results,
                                        const Adjustment* adjustment = nullptr);

}  // namespace quillmar::survey
