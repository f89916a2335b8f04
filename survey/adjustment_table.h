// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The adjustment's tables, as quillmar-cli adjust writes them: Windows-1251,
// CR LF, a header line. Points: "point;N;E;Elev;sN;sE;sElev;a;b;bearing;role"
// (coordinates with 4 decimals, standard deviations and semi-axes in mm with
// 1, the bearing of a in the book's angle unit). Observations:
// "row;station;target;kind;observed;residual;standardized;redundancy".

#include <string>

#include "records/file_writer.h"
#include "survey/adjustment.h"

namespace quillmar::survey {

void WriteAdjustedPoints(ByteSink& out, const Adjustment& adjustment);
// Observed in the book's units; residuals of angles in the book's small
// unit (seconds, cc or mils), of lengths in mm.
void WriteAdjustedObservations(ByteSink& out, const Adjustment& adjustment);

// The summary in English words for quillmar-cli: m0', redundancy, the
// chi-square verdict of both adjustments, and the suspected blunder.
std::string AdjustmentSummaryLine(const Adjustment& adjustment);

}  // namespace quillmar::survey
