#include "cli/export_command.h"

#include <iostream>
#include <optional>

#include "cli/load_input.h"
#include "export/export_writers.h"
#include "records/io_error.h"
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

void writeOutput(const std::string& path, const RecordList& list, OutputKind kind) {
  switch (kind) {
    case OutputKind::Captions: exportToFile(path, list, ExportKind::CaptionText); break;
    case OutputKind::Observations: exportToFile(path, list, ExportKind::ObservationTable); break;
    case OutputKind::Positions: exportToFile(path, list, ExportKind::PositionTable); break;
    case OutputKind::Sdr: exportToFile(path, list, ExportKind::SdrFile); break;
    case OutputKind::RecordFile: writeRecordFile(path, list); break;
  }
}

}  // namespace

int runExport(const std::vector<std::string>& args) {
  const auto kind = args.size() == 3 ? parseKind(args[0]) : std::nullopt;
  if (!kind) {
    std::cerr << "usage: quillmar-cli export captions|obs|pos|sdr|qdl IN OUT\n";
    return 2;
  }
  const std::string& in = args[1];
  const std::string& out = args[2];
  CaptionState captions;
  RecordList list;
  try {
    loadInput(in, captions, list);
  } catch (const IoError& e) {
    std::cerr << "quillmar-cli: " << in << ": " << e.what() << "\n";
    return 1;
  }
  try {
    writeOutput(out, list, *kind);
  } catch (const IoError& e) {
    std::cerr << "quillmar-cli: " << out << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace quillmar::cli
