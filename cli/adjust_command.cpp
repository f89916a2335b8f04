// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/adjust_command.h"

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>

#include "cli/load_input.h"
#include "records/file_writer.h"
#include "records/io_error.h"
#include "records/same_file.h"
#include "survey/adjustment.h"
#include "survey/adjustment_table.h"
#include "survey/placing.h"

namespace quillmar::cli {
namespace {

constexpr const char* kUsage =
    "usage: quillmar-cli adjust IN OUT [--free NAMES] [--fixed NAMES] [--sigma-direction SEC]\n"
    "                              [--sigma-distance MM,PPM] [--sigma-zenith SEC] [--residuals FILE]\n";

struct Request {
  std::string in, out, residuals;
  survey::ControlChoice control;
  survey::AdjustmentOptions options;
};

int usageError(const std::string& what) {
  std::cerr << "quillmar-cli: adjust: " << what << "\n" << kUsage;
  return 2;
}

// A positive, finite number, the whole text.
std::optional<double> positive(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) || value <= 0) return std::nullopt;
  return value;
}

// Sets one option; an error message, empty when it was taken.
std::string take(Request& request, const std::string& option, const std::string& value) {
  auto& o = request.options;
  if (option == "--free" || option == "--fixed") {
    (option == "--free" ? request.control.free : request.control.fixed) = pointNamesOf(value);
    return {};
  }
  if (option == "--residuals") {
    request.residuals = value;
    return {};
  }
  if (option == "--sigma-distance") {
    const auto comma = value.find(',');
    const auto mm = positive(value.substr(0, comma));
    const auto ppm = comma == std::string::npos ? std::optional<double>() : positive(value.substr(comma + 1));
    const bool zeroPpm = comma != std::string::npos && value.substr(comma + 1) == "0";
    if (!mm || (!ppm && !zeroPpm)) return "--sigma-distance: not MM,PPM: " + value;
    o.sigmaDistanceMm = *mm;
    o.sigmaDistancePpm = ppm.value_or(0);
    return {};
  }
  const auto seconds = positive(value);
  if (!seconds) return option + ": not a positive number of seconds: " + value;
  (option == "--sigma-direction" ? o.sigmaDirection : o.sigmaZenith) = *seconds;
  return {};
}

// Arguments to a request, or the usage error's exit status.
std::optional<int> parse(const std::vector<std::string>& args, Request& request) {
  static const std::vector<std::string> kOptions = {"--free",           "--fixed",        "--sigma-direction",
                                                    "--sigma-distance", "--sigma-zenith", "--residuals"};
  std::vector<std::string> files;
  std::map<std::string, bool> seen;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!arg.starts_with("--")) {
      files.push_back(arg);
      continue;
    }
    if (std::find(kOptions.begin(), kOptions.end(), arg) == kOptions.end()) return usageError("unknown option " + arg);
    if (seen[arg]) return usageError("repeated option " + arg);
    seen[arg] = true;
    if (i + 1 >= args.size()) return usageError(arg + " needs a value");
    if (const std::string error = take(request, arg, args[++i]); !error.empty()) return usageError(error);
  }
  if (files.size() != 2) return usageError("needs IN and OUT");
  request.in = files[0];
  request.out = files[1];
  return std::nullopt;
}

int report(const std::string& path, const IoError& error) {
  std::cerr << "quillmar-cli: " << path << ": " << describeWithReason(error) << "\n";
  return 1;
}

// Every tenth on stderr once the work has taken a second: Ctrl-C stops it.
bool showProgress(double done) {
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point start = Clock::now();
  static int shown = 0;
  const int tenth = static_cast<int>(done * 10);
  if (tenth > shown && Clock::now() - start > std::chrono::seconds(1)) {
    shown = tenth;
    std::cerr << "quillmar-cli: adjusting, " << tenth * 10 << " %\n";
  }
  return true;
}

void reportAdjustment(const std::string& in, const survey::Adjustment& adjustment) {
  for (const survey::Unadjusted& left : adjustment.unadjusted) {
    std::cerr << "quillmar-cli: " << in << ": row " << std::uint64_t{left.row} + 1 << ": ";
    if (left.circle)
      std::cerr << "directions of the circle";
    else
      std::cerr << "point " << adjustment.names[left.index];
    std::cerr << " not adjusted: " << survey::UnadjustedWord(left.reason) << "\n";
  }
  std::cerr << "quillmar-cli: " << survey::AdjustmentSummaryLine(adjustment) << "\n";
}

}  // namespace

int runAdjust(const std::vector<std::string>& args) {
  Request request;
  if (const auto status = parse(args, request)) return *status;
  for (const std::string& out : {request.out, request.residuals}) {
    if (!out.empty() && refuseOutputOverInput(request.in, out)) return 2;
  }
  if (!request.residuals.empty() && IsSameFile(request.out, request.residuals))
    return usageError(request.residuals + " is OUT " + request.out);
  try {
    FileWriter points(request.out);
    std::optional<FileWriter> residuals;
    try {
      if (!request.residuals.empty()) residuals.emplace(request.residuals);
    } catch (const IoError& e) {
      return report(request.residuals, e);
    }
    RecordList list;
    try {
      CaptionState captions;
      loadInput(request.in, captions, list);
    } catch (const IoError& e) {
      return report(request.in, e);
    }
    const survey::Network network = survey::ReadNetwork(list, list.size());
    const survey::Placement placement = survey::Place(network, request.control);
    const survey::Adjustment adjustment = survey::Adjust(network, placement, request.options, showProgress);
    survey::WriteAdjustedPoints(points, adjustment);
    if (residuals) {
      survey::WriteAdjustedObservations(*residuals, adjustment);
      try {
        residuals->commit();
      } catch (const IoError& e) {
        return report(request.residuals, e);
      }
    }
    points.commit();
    reportAdjustment(request.in, adjustment);
  } catch (const IoError& e) {
    return report(request.out, e);
  }
  return 0;
}

}  // namespace quillmar::cli
