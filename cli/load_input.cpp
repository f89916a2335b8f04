// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/load_input.h"

#include <iostream>

#include "records/import.h"
#include "records/record_file.h"
#include "records/same_file.h"

namespace quillmar::cli {

bool isRecordFileName(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".qdl") == 0;
}

bool refuseOutputOverInput(const std::string& in, const std::string& out) {
  if (!IsSameFile(in, out)) return false;
  std::cerr << "quillmar-cli: " << out << " is the input file " << in
            << ": writing it would destroy the input; name another output file\n";
  return true;
}

void forEachInputRecord(const std::string& path, const std::function<void(const SurveyRecord&)>& onRecord) {
  if (isRecordFileName(path))
    readRecordFile(path, onRecord);
  else
    forEachImportedRecord(path, onRecord);
}

void loadInput(const std::string& path, CaptionState& captions, RecordList& list) {
  forEachInputRecord(path, [&](const SurveyRecord& record) { list.append(record, captions); });
}

}  // namespace quillmar::cli
