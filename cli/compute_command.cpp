// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/compute_command.h"

#include <algorithm>
#include <cmath>
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
  for (const survey::SetAside& point : results.setAside) {
    std::cerr << "quillmar-cli: " << in << ": row " << std::uint64_t{point.row} + 1 << ": the coordinates of "
              << point.point << " disagree with the observations by " << std::llround(point.contradiction)
              << (results.feet ? " ft" : " m") << "; computed anew\n";
  }
  std::cerr << "quillmar-cli: computed " << results.points.size() << " points, " << results.checkShots()
            << " check shots, " << results.failures.size() << " observations gave nothing\n";
}

int usage(const std::string& why) {
  if (!why.empty()) std::cerr << "quillmar-cli: " << why << "\n";
  std::cerr << "usage: quillmar-cli compute IN OUT [--free NAMES] [--fixed NAMES]\n";
  return 2;
}

}  // namespace

int runCompute(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  survey::ControlChoice control;
  bool freeGiven = false, fixedGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--free" || arg == "--fixed") {
      bool& given = arg == "--free" ? freeGiven : fixedGiven;
      if (given) return usage(arg + " is given twice");
      if (i + 1 >= args.size()) return usage(arg + " needs the names of points");
      given = true;
      (arg == "--free" ? control.free : control.fixed) = pointNamesOf(args[++i]);
    } else if (arg.starts_with("--")) {
      return usage("unknown option " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return usage("");
  const std::string& in = files[0];
  const std::string& outPath = files[1];
  if (refuseOutputOverInput(in, outPath)) return 2;
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
    const survey::Results results = survey::Compute(list, list.size(), control);
    survey::WriteSolutionTable(file, results);
    file.commit();
    reportResults(in, results);
  } catch (const IoError& e) {
    return report(outPath, e);
  }
  return 0;
}

}  // namespace quillmar::cli
