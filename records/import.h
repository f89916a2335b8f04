#pragma once
// Bringing SDR field-book lines into a document: reading a text file into the
// line buffer (Import) and turning buffered lines into records (Obrabotka).

#include <cstddef>
#include <string>

#include "records/caption_state.h"
#include "records/line_buffer.h"
#include "records/record_list.h"

namespace quillmar {

// Reads the file twice, first counting its lines and then storing every
// non-empty one with CR LF appended. Returns the number of lines stored (the
// LineCount for Obrabotka). Throws IoError; `buffer` is then left empty.
std::size_t ImportSdrFile(const std::string& path, LineBuffer& buffer);

// The SDR layout that the buffer's first lines name: '3', '2' or kVersionNone.
char DetectVersion(const LineBuffer& lines, std::size_t count);

// Appends one row per line for the first `count` lines, each captioned by MakeSt.
void Obrabotka(const LineBuffer& lines, std::size_t count, CaptionState& captions, RecordList& list);

}  // namespace quillmar
