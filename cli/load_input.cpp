// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/load_input.h"

#include <algorithm>
#include <iostream>

#include "records/cp1251.h"
#include "records/import.h"
#include "records/record_file.h"
#include "records/record_layout.h"
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

namespace {

void sayOfInput(const std::string& path, std::string_view sentence) {
  std::cerr << "quillmar-cli: " << path << ": " << sentence << "\n";
}

}  // namespace

std::size_t forEachInputRecord(const std::string& path, const std::function<void(const SurveyRecord&)>& onRecord) {
  if (isRecordFileName(path)) {
    for (const std::string& sentence : RecordFileFaultTexts(readRecordFile(path, onRecord))) sayOfInput(path, sentence);
    return 0;
  }
  std::size_t cut = 0;
  bool anyRecord = false;
  bool anySdrRecord = false;
  forEachImportedRecord(path, [&](const SurveyRecord& record) {
    anyRecord = true;
    if (!anySdrRecord) anySdrRecord = IsSdrRecordCode(record.typeCode.view(), record.derivCode.view());
    if (!missingLineEnd(record.body.view()).empty()) ++cut;
    onRecord(record);
  });
  if (anyRecord && !anySdrRecord) sayOfInput(path, NoSdrRecordText());
  return cut;
}

void reportCutLines(const std::string& path, std::size_t cutLines) {
  if (cutLines == 0) return;
  std::cerr << "quillmar-cli: " << path << ": " << cutLines << (cutLines == 1 ? " line was" : " lines were")
            << " longer than 168 characters and cut to the " << kBodyCapacity << " characters a record keeps\n";
}

std::vector<std::string> pointNamesOf(const std::string& list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    if (comma > start) names.push_back(Utf8ToCp1251(list.substr(start, comma - start)));
    start = comma + 1;
  }
  return names;
}

void loadInput(const std::string& path, CaptionState& captions, RecordList& list) {
  reportCutLines(path, forEachInputRecord(path, [&](const SurveyRecord& record) { list.append(record, captions); }));
}

}  // namespace quillmar::cli
