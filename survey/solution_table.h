// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of solutions that quillmar-cli compute and the results window
// write: Windows-1251, CR LF, a header line, then one row per solution
// ("point;N;E;Elev;station;method;..."), numbers with 4 decimals.

#include <string>

#include "records/file_writer.h"
#include "survey/survey.h"

namespace quillmar::survey {

void WriteSolutionTable(ByteSink& out, const Results& results);

// Throws IoError; a failed write leaves the previous file as it was.
void SolutionTableToFile(const std::string& path, const Results& results);

}  // namespace quillmar::survey
