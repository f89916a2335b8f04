// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bringing SDR field-book lines into a document: reading a text file into the
// line buffer (Import) and turning buffered lines into records (Obrabotka).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "records/caption_state.h"
#include "records/line_buffer.h"
#include "records/record_list.h"
#include "records/text_lines.h"

namespace quillmar {

// Reads the file twice, first counting its lines and then storing every
// non-empty one with CR LF appended. Returns the number of lines stored (the
// LineCount for Obrabotka). Throws IoError; `buffer` is then left empty, as
// it is when `progress` throws to stop the reading.
// `afterCounting` runs between the two passes (progress displays, tests).
std::size_t ImportSdrFile(const std::string& path, LineBuffer& buffer, const std::function<void()>& afterCounting = {},
                          const ReadProgress& progress = {});

// The same for an SDR text held in memory: its non-empty lines, each with
// CR LF appended, after what `buffer` holds. Returns the buffer's line count.
std::size_t ImportSdrText(std::string_view text, LineBuffer& buffer);

// The SDR layout that the buffer's first lines name: '3', '2' or kVersionNone.
char DetectVersion(const LineBuffer& lines, std::size_t count);

// The records that ImportSdrFile and Obrabotka together would make from the
// file, handed over one by one without holding the file's lines: for
// converting books of any size. Throws IoError.
void forEachImportedRecord(const std::string& path, const std::function<void(const SurveyRecord&)>& onRecord);

// ImportSdrFile and Obrabotka in one pass, without holding the file's lines:
// appends the same rows with the same captions. `progress` hears the bytes
// read so far after every chunk and may throw to stop the reading. Throws
// IoError; the rows appended before a failure are then still in `list`.
void importSdrRows(const std::string& path, CaptionState& captions, RecordList& list,
                   const ReadProgress& progress = {});

// How many of the first `count` lines (each with its CR LF) are longer than a
// record keeps, so that their records lose the line end or more.
std::size_t CountCutLines(const LineBuffer& lines, std::size_t count);

// How many of the list's records lost their line end, in part or whole,
// because their line was longer than a record keeps.
std::size_t CountCutRecords(const RecordList& list);

// Said once of an imported file that holds records but not one SDR record
// (a table of another instrument): Windows-1251, without capital or full stop.
std::string_view NoSdrRecordText();
// Whether the rows from `first` on hold records and not one of them is an SDR record.
bool HoldsNoSdrRecord(const RecordList& list, std::size_t first = 0);

// Appends one row per line for the first `count` lines, each captioned by MakeSt.
// `progress`, when given, hears the number of rows made so far now and then.
using RowProgress = std::function<void(std::size_t rowsDone)>;
void Obrabotka(const LineBuffer& lines, std::size_t count, CaptionState& captions, RecordList& list,
               const RowProgress& progress = {});

}  // namespace quillmar
