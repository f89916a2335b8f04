// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record file (*.qdl): 178-byte records in list order, nothing else.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "records/caption_state.h"
#include "records/file_writer.h"
#include "records/record_list.h"

namespace quillmar {

inline constexpr std::size_t kRecordFileRecordSize = 178;

// What a record file held that its records do not: the reader ignores the
// one and clips the other, and the caller says so once.
struct RecordFileFaults {
  std::uint64_t trailingBytes = 0;  // after the last whole record
  std::size_t clippedRecords = 0;   // records with a length byte above its field's capacity
  std::size_t firstClipped = 0;     // 1-based number of the first of them

  bool any() const { return trailingBytes != 0 || clippedRecords != 0; }
};

// One Windows-1251 sentence per fault, without a capital or a full stop:
// "в конце файла 100 байт, не составляющих записи".
std::vector<std::string> RecordFileFaultTexts(const RecordFileFaults& faults);

// Hands the records of the file to `onRecord` one by one, in file order;
// length bytes above a field's capacity are clipped and an incomplete last
// record is ignored. Throws IoError; the records handed over stay handed over.
RecordFileFaults readRecordFile(const std::string& path, const std::function<void(const SurveyRecord&)>& onRecord);

// The same for record-file bytes already in memory.
RecordFileFaults forEachRecordIn(std::string_view bytes, const std::function<void(const SurveyRecord&)>& onRecord);

// Appends every record of the file to `list`, captioned by MakeSt.
// `progress` hears the number of records read so far now and then.
RecordFileFaults openRecordFile(const std::string& path, CaptionState& captions, RecordList& list,
                                const std::function<void(std::size_t recordsDone)>& progress = {});

// The number of whole records in the file, or 0 when it cannot be examined.
std::size_t recordFileCount(const std::string& path);

// The 178 bytes of one record; bytes past a text's length are zero.
void appendRecordBytes(std::string& out, const SurveyRecord& record);

void writeRecords(ByteSink& out, const RecordList& list);
// Throws IoError; a failed write leaves the previous file as it was.
void writeRecordFile(const std::string& path, const RecordList& list);

}  // namespace quillmar
