// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record file (*.qdl): 178-byte records in list order, nothing else.

#include <functional>
#include <string>

#include "records/caption_state.h"
#include "records/file_writer.h"
#include "records/record_list.h"

namespace quillmar {

inline constexpr std::size_t kRecordFileRecordSize = 178;

// Hands the records of the file to `onRecord` one by one, in file order;
// length bytes above a field's capacity are clipped and an incomplete last
// record is ignored. Throws IoError; the records handed over stay handed over.
void readRecordFile(const std::string& path, const std::function<void(const SurveyRecord&)>& onRecord);

// The same for record-file bytes already in memory.
void forEachRecordIn(std::string_view bytes, const std::function<void(const SurveyRecord&)>& onRecord);

// Appends every record of the file to `list`, captioned by MakeSt.
// `progress` hears the number of records read so far now and then.
void openRecordFile(const std::string& path, CaptionState& captions, RecordList& list,
                    const std::function<void(std::size_t recordsDone)>& progress = {});

// The number of whole records in the file, or 0 when it cannot be examined.
std::size_t recordFileCount(const std::string& path);

// The 178 bytes of one record; bytes past a text's length are zero.
void appendRecordBytes(std::string& out, const SurveyRecord& record);

void writeRecords(ByteSink& out, const RecordList& list);
// Throws IoError; a failed write leaves the previous file as it was.
void writeRecordFile(const std::string& path, const RecordList& list);

}  // namespace quillmar
