// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a command's input file as the windows would: a name ending in
// ".qdl" is a record file ("Открыть"), anything else an SDR text ("Импорт").

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "records/caption_state.h"
#include "records/record_list.h"

namespace quillmar::cli {

bool isRecordFileName(const std::string& path);

// True, after saying so on stderr with both names, when `out` is the file
// `in` (by identity, not by name): the command would write over its input.
// The caller then exits with 2, as for any other wrong command line.
bool refuseOutputOverInput(const std::string& in, const std::string& out);

// Hands over the input's records in order without holding them, then says
// on stderr, once, what was amiss: a record file's partial record or oversized
// lengths, or a text that holds no SDR record. Returns how many lines of an
// SDR text were too long for their record (0 for a record file). Throws IoError.
std::size_t forEachInputRecord(const std::string& path, const std::function<void(const SurveyRecord&)>& onRecord);

// Says on stderr how many lines of `path` were cut, if any.
void reportCutLines(const std::string& path, std::size_t cutLines);

// "A,B,,C" of --free and --fixed: the point names between the commas, empty
// ones left out, typed on a UTF-8 terminal and turned into the book's
// Windows-1251.
std::vector<std::string> pointNamesOf(const std::string& list);

// Appends the input's records to `list`, captioned. Throws IoError.
void loadInput(const std::string& path, CaptionState& captions, RecordList& list);

}  // namespace quillmar::cli
