// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/gis_command.h"

#include <iostream>

#include "cli/load_input.h"
#include "gis/gis_export.h"
#include "records/io_error.h"

namespace quillmar::cli {
namespace {

int usage() {
  std::cerr << "usage: quillmar-cli export ";
  bool first = true;
  for (const gis::GisFormatInfo& format : gis::GisFormats()) {
    std::cerr << (first ? "" : "|") << format.cliWord;
    first = false;
  }
  std::cerr << " IN OUT [--crs CRS] [--layers points,stations,sight_lines]\n";
  return 2;
}

int report(const std::string& path, const std::string& text) {
  std::cerr << "quillmar-cli: " << path << ": " << text << "\n";
  return 1;
}

}  // namespace

bool isGisKind(const std::string& kind) { return gis::FindGisFormat(kind) != nullptr; }

int runGisExport(const std::vector<std::string>& args) {
  if (args.empty()) return usage();
  const gis::GisFormatInfo* format = gis::FindGisFormat(args[0]);
  std::vector<std::string> files;
  gis::GisExportOptions options;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--crs" || args[i] == "--layers") {
      if (i + 1 >= args.size()) return usage();
      const std::string& value = args[++i];
      if (args[i - 1] == "--crs") {
        options.crs = value;
      } else {
        const auto layers = gis::ParseLayers(value);
        if (!layers) return usage();
        options.layers = *layers;
      }
    } else if (args[i].starts_with("--")) {
      return usage();
    } else {
      files.push_back(args[i]);
    }
  }
  if (format == nullptr || files.size() != 2) return usage();
  const std::string& in = files[0];
  const std::string& out = files[1];
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
    const gis::BookFeatures book = gis::BookFeatures::read(list);
    const gis::GisExportSummary summary = gis::ExportGis(out, book, format->format, options);
    if (summary.noCoordinates)
      std::cerr << "quillmar-cli: " << in << ": no point has coordinates; the layers are empty\n";
  } catch (const IoError& error) {
    return report(out, describeWithReason(error));
  } catch (const gis::GisError& error) {
    return report(out, error.what());
  }
  return 0;
}

}  // namespace quillmar::cli
