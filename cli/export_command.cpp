// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/export_command.h"

#include <iostream>

#include "cli/load_input.h"
#ifdef QUILLMAR_HAVE_GIS
#include "cli/gis_command.h"
#endif
#include "export/export_writers.h"
#include "records/io_error.h"
#include "records/make_st.h"
#include "records/record_file.h"

namespace quillmar::cli {
namespace {

// The record file (*.qdl) beside the export formats.
constexpr std::string_view kRecordFileWord = "qdl";

// Remembers whether a failure came from the output rather than the input.
class TrackedSink final : public ByteSink {
 public:
  explicit TrackedSink(ByteSink& inner) : inner_(inner) {}
  void write(std::string_view bytes) override {
    try {
      inner_.write(bytes);
    } catch (const IoError&) {
      failed = true;
      throw;
    }
  }
  bool failed = false;

 private:
  ByteSink& inner_;
};

// Streams the records from input to output: a book of any size needs no
// more memory than one record. Returns the number of lines cut on reading.
std::size_t convert(const std::string& in, ByteSink& out, const ExportFormat* format) {
  if (format == nullptr) {
    std::string bytes;
    return forEachInputRecord(in, [&](const SurveyRecord& record) {
      bytes.clear();
      appendRecordBytes(bytes, record);
      out.write(bytes);
    });
  }
  ExportStream stream(out, format->kind);
  CaptionState captions;  // a fresh one, as at program start
  std::string caption;
  return forEachInputRecord(in, [&](const SurveyRecord& record) {
    if (format->kind == ExportKind::CaptionText) {
      MakeStInto(caption, captions, record.body.view(), record.typeCode.view(), record.derivCode.view(),
                 record.version);
    }
    stream.add(record, caption);
  });
}

int report(const std::string& path, const IoError& error) {
  std::cerr << "quillmar-cli: " << path << ": " << describeWithReason(error) << "\n";
  return 1;
}

}  // namespace

int runExport(const std::vector<std::string>& args) {
#ifdef QUILLMAR_HAVE_GIS
  if (!args.empty() && isGisKind(args[0])) return runGisExport(args);
#endif
  const ExportFormat* format = args.size() == 3 ? FindExportFormat(args[0]) : nullptr;
  if (args.size() != 3 || (format == nullptr && args[0] != kRecordFileWord)) {
    std::cerr << "usage: quillmar-cli export ";
    for (const ExportFormat& known : ExportFormats()) std::cerr << known.cliWord << '|';
    std::cerr << kRecordFileWord << " IN OUT\n";
    return 2;
  }
  const std::string& in = args[1];
  const std::string& outPath = args[2];
  if (refuseOutputOverInput(in, outPath)) return 2;
  // IN is opened only by its reader (a named pipe gives its bytes once);
  // OUT's unnamed temporary file leaves nothing behind when IN fails.
  try {
    FileWriter file(outPath);
    TrackedSink out(file);
    std::size_t cutLines = 0;
    try {
      cutLines = convert(in, out, format);
    } catch (const IoError& e) {
      return report(out.failed ? outPath : in, e);
    }
    file.commit();
    reportCutLines(in, cutLines);
  } catch (const IoError& e) {
    return report(outPath, e);
  }
  return 0;
}

}  // namespace quillmar::cli
