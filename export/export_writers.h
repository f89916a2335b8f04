// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a document out: its captions, a table of observations, a table of
// coordinates, or its SDR lines. Each kind is one ExportFormat that holds
// everything about it: the export dialog's filter, the extension, the line
// it writes per record and the word quillmar-cli knows it by.

#include <span>
#include <string>
#include <string_view>

#include "records/file_writer.h"
#include "records/record_list.h"

namespace quillmar {

enum class ExportKind { CaptionText, ObservationTable, PositionTable, SdrFile };

struct ExportFormat {
  ExportKind kind;
  std::string_view filterName;  // Windows-1251, as the export dialog lists it
  std::string_view extension;   // "txt" or "sdr", without the dot
  std::string_view cliWord;     // quillmar-cli export KIND
  std::string_view header;      // the table's first line without its CR LF; empty: none
  // Puts the record's line, CR LF included, into `line`; leaves it empty
  // for a record that the export leaves out.
  void (*makeLine)(std::string& line, const SurveyRecord& record, std::string_view caption);
};

// In the order of the export dialog's filters.
std::span<const ExportFormat> ExportFormats();
const ExportFormat& FormatOf(ExportKind kind);
// The format a filter index of the export dialog chooses (counting from 1);
// the first for an index that names none.
const ExportFormat& FormatForFilterIndex(int filterIndex);
// nullptr for a word that names no format.
const ExportFormat* FindExportFormat(std::string_view cliWord);

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
  ByteSink& out_;
  const ExportFormat& format_;
  std::string line_;
};

void writeExport(ByteSink& out, const RecordList& list, ExportKind kind);

// Throws IoError; a failed export leaves the previous file as it was.
void exportToFile(const std::string& path, const RecordList& list, ExportKind kind);

}  // namespace quillmar
