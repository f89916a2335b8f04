// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/gis_command.h"

#include <iostream>
#include <set>

#include "cli/load_input.h"
#include "gis/gis_export.h"
#include "records/io_error.h"
#include "survey/adjustment.h"

namespace quillmar::cli {
namespace {

int usage() {
  std::cerr << "usage: quillmar-cli export ";
  bool first = true;
  for (const gis::GisFormatInfo& format : gis::GisFormats()) {
    std::cerr << (first ? "" : "|") << format.cliWord;
    first = false;
  }
  std::cerr << " IN OUT [--crs CRS] [--layers points,stations,sight_lines] [--adjust]\n";
  return 2;
}

int report(const std::string& path, const std::string& text) {
  std::cerr << "quillmar-cli: " << path << ": " << text << "\n";
  return 1;
}

// The value of --crs or --layers; false (after a usage error) for a bad one.
bool takeOption(const std::string& option, const std::string& value, gis::GisExportOptions& options) {
  if (option == "--crs") {
    options.crs = value;
    return true;
  }
  const auto layers = gis::ParseLayers(value);
  if (layers) {
    options.layers = *layers;
    return true;
  }
  const std::string_view unknown = gis::UnknownLayerWord(value);
  if (unknown.empty())
    std::cerr << "quillmar-cli: --layers names no layer\n";
  else
    std::cerr << "quillmar-cli: --layers: unknown layer \"" << unknown << "\" (points, stations, sight_lines)\n";
  return false;
}

}  // namespace

bool isGisKind(const std::string& kind) { return gis::FindGisFormat(kind) != nullptr; }

int runGisExport(const std::vector<std::string>& args) {
  if (args.empty()) return usage();
  const gis::GisFormatInfo* format = gis::FindGisFormat(args[0]);
  std::vector<std::string> files;
  gis::GisExportOptions options;
  std::set<std::string> given;
  bool adjust = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--adjust") {
      adjust = true;
    } else if (args[i] == "--crs" || args[i] == "--layers") {
      if (i + 1 >= args.size()) return usage();
      if (!given.insert(args[i]).second) {
        std::cerr << "quillmar-cli: " << args[i] << " is given twice\n";
        return usage();
      }
      if (!takeOption(args[i], args[i + 1], options)) return usage();
      ++i;
    } else if (args[i].starts_with("--")) {
      return usage();
    } else {
      files.push_back(args[i]);
    }
  }
  if (format == nullptr || files.size() != 2) return usage();
  const std::string& in = files[0];
  const std::string& out = files[1];
  for (const std::string& file : gis::TargetFiles(out, format->format, options.layers))
    if (refuseOutputOverInput(in, file)) return 2;
  try {
    // A coordinate system that PROJ does not know stops before IN is read.
    gis::CheckCrs(format->format, options.crs);
  } catch (const gis::GisError& error) {
    return report(out, error.what());
  }
  RecordList list;
  try {
    CaptionState captions;
    loadInput(in, captions, list);
  } catch (const IoError& error) {
    return report(in, describeWithReason(error));
  }
  try {
    gis::BookFeatures book = gis::BookFeatures::read(list);
    // The adjusted points' standard deviations, with the default weights.
    if (adjust) book.setAdjustment(survey::AdjustBook(list, list.size(), {}, {}));
    const gis::GisExportSummary summary = gis::ExportGis(out, book, format->format, options);
    if (summary.noCoordinates)
      std::cerr << "quillmar-cli: " << in << ": no point has coordinates; the layers are empty\n";
    if (summary.outsideAreaOfUse > 0)
      std::cerr << "quillmar-cli: " << in << ": warning: " << summary.outsideAreaOfUse
                << " points lie outside the area of use of " << options.crs << " (" << summary.areaOfUse << ")\n";
  } catch (const gis::GisFileError& error) {
    return report(error.file(), describeWithReason(error));
  } catch (const IoError& error) {
    return report(out, describeWithReason(error));
  } catch (const gis::GisError& error) {
    return report(error.file().empty() ? out : error.file(), error.what());
  }
  return 0;
}

}  // namespace quillmar::cli
