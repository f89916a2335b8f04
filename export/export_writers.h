#pragma once
// Writing a document out: its captions, a table of observations, a table of
// coordinates, or its SDR lines.

#include <string>
#include <string_view>

#include "records/file_writer.h"
#include "records/record_list.h"

namespace quillmar {

// In the order of the export dialog's filters (index 1 to 4).
enum class ExportKind { CaptionText = 1, ObservationTable = 2, PositionTable = 3, SdrFile = 4 };

// "txt" or "sdr".
std::string_view exportExtension(ExportKind kind);

// Appends "." and the extension unless the name's last three characters
// already are the extension (case-sensitive).
std::string completeExportName(const std::string& name, ExportKind kind);

// Writes one kind record by record: the header (if the kind has one) when
// made, then a line (or nothing) per record.
class ExportStream {
 public:
  ExportStream(ByteSink& out, ExportKind kind);
  void add(const SurveyRecord& record, std::string_view caption);

 private:
  void addTableRow(const SurveyRecord& record);

  ByteSink& out_;
  ExportKind kind_;
  std::string line_;
};

void writeExport(ByteSink& out, const RecordList& list, ExportKind kind);

// Throws IoError; a failed export leaves the previous file as it was.
void exportToFile(const std::string& path, const RecordList& list, ExportKind kind);

}  // namespace quillmar
