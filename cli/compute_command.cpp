// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/compute_command.h"

#include <iostream>

#include "cli/load_input.h"
#include "records/file_writer.h"
#include "records/io_error.h"
#include "survey/solution_table.h"
#include "survey/survey.h"

namespace quillmar::cli {
namespace {

int report(const std::string& path, const IoError& error) {
  std::cerr << "quillmar-cli: " << path << ": " << describeWithReason(error) << "\n";
  return 1;
}

// The observations that gave nothing go to stderr, one line each, then the
// counts: the table itself holds solutions only.
void reportResults(const std::string& in, const survey::Results& results) {
  for (const survey::FailedObservation& failure : results.failures) {
    std::cerr << "quillmar-cli: " << in << ": row " << std::uint64_t{failure.row} + 1 << ": "
              << survey::FailureWord(failure.reason) << "\n";
  }
  std::cerr << "quillmar-cli: computed " << results.points.size() << " points, " << results.checkShots()
            << " check shots, " << results.failures.size() << " observations gave nothing\n";
}

}  // namespace

int runCompute(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::cerr << "usage: quillmar-cli compute IN OUT\n";
    return 2;
  }
  const std::string& in = args[0];
  const std::string& outPath = args[1];
  try {
    // OUT is created first, so that a book is not read for a table that cannot be written.
    FileWriter file(outPath);
    RecordList list;
    try {
      CaptionState captions;
      loadInput(in, captions, list);
    } catch (const IoError& e) {
      return report(in, e);
    }
    const survey::Results results = survey::Compute(list);
    survey::WriteSolutionTable(file, results);
    file.commit();
    reportResults(in, results);
  } catch (const IoError& e) {
    return report(outPath, e);
  }
  return 0;
}

}  // namespace quillmar::cli
