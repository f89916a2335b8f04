// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/load_input.h"

#include <iostream>

#include "records/import.h"
#include "records/record_file.h"

namespace quillmar::cli {

bool isRecordFileName(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".qdl") == 0;
}

std::size_t forEachInputRecord(const std::string& path, const std::function<void(const SurveyRecord&)>& onRecord) {
  if (isRecordFileName(path)) {
    readRecordFile(path, onRecord);
    return 0;
  }
  std::size_t cut = 0;
  forEachImportedRecord(path, [&](const SurveyRecord& record) {
    if (!missingLineEnd(record.body.view()).empty()) ++cut;
    onRecord(record);
  });
  return cut;
}

void reportCutLines(const std::string& path, std::size_t cutLines) {
  if (cutLines == 0) return;
  std::cerr << "quillmar-cli: " << path << ": " << cutLines << (cutLines == 1 ? " line was" : " lines were")
            << " longer than 168 characters and cut to the " << kBodyCapacity << " characters a record keeps\n";
}

void loadInput(const std::string& path, CaptionState& captions, RecordList& list) {
  reportCutLines(path, forEachInputRecord(path, [&](const SurveyRecord& record) { list.append(record, captions); }));
}

}  // namespace quillmar::cli
