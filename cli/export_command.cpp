#include "cli/export_command.h"

#include <iostream>
#include <optional>

#include "cli/load_input.h"
#include "export/export_writers.h"
#include "records/io_error.h"
#include "records/make_st.h"
#include "records/record_file.h"

namespace quillmar::cli {
namespace {

enum class OutputKind { Captions, Observations, Positions, Sdr, RecordFile };

std::optional<OutputKind> parseKind(const std::string& word) {
  if (word == "captions") return OutputKind::Captions;
  if (word == "obs") return OutputKind::Observations;
  if (word == "pos") return OutputKind::Positions;
  if (word == "sdr") return OutputKind::Sdr;
  if (word == "qdl") return OutputKind::RecordFile;
  return std::nullopt;
}

ExportKind exportKindOf(OutputKind kind) {
  switch (kind) {
    case OutputKind::Captions: return ExportKind::CaptionText;
    case OutputKind::Observations: return ExportKind::ObservationTable;
    case OutputKind::Positions: return ExportKind::PositionTable;
    default: return ExportKind::SdrFile;
  }
}

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
// more memory than one record.
void convert(const std::string& in, ByteSink& out, OutputKind kind) {
  if (kind == OutputKind::RecordFile) {
    std::string bytes;
    forEachInputRecord(in, [&](const SurveyRecord& record) {
      bytes.clear();
      appendRecordBytes(bytes, record);
      out.write(bytes);
    });
    return;
  }
  ExportStream stream(out, exportKindOf(kind));
  CaptionState captions;  // a fresh one, as at program start
  std::string caption;
  forEachInputRecord(in, [&](const SurveyRecord& record) {
    if (kind == OutputKind::Captions) {
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
  const auto kind = args.size() == 3 ? parseKind(args[0]) : std::nullopt;
  if (!kind) {
    std::cerr << "usage: quillmar-cli export captions|obs|pos|sdr|qdl IN OUT\n";
    return 2;
  }
  const std::string& in = args[1];
  const std::string& outPath = args[2];
  // IN is opened only by its reader (a named pipe gives its bytes once);
  // OUT's unnamed temporary file leaves nothing behind when IN fails.
  try {
    FileWriter file(outPath);
    TrackedSink out(file);
    try {
      convert(in, out, *kind);
    } catch (const IoError& e) {
      return report(out.failed ? outPath : in, e);
    }
    file.commit();
  } catch (const IoError& e) {
    return report(outPath, e);
  }
  return 0;
}

}  // namespace quillmar::cli
