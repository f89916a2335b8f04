#pragma once
// Reading a command's input file as the windows would: a name ending in
// ".qdl" is a record file ("Открыть"), anything else an SDR text ("Импорт").

#include <string>

#include "records/caption_state.h"
#include "records/record_list.h"

namespace quillmar::cli {

bool isRecordFileName(const std::string& path);

// Throws IoError.
void loadInput(const std::string& path, CaptionState& captions, RecordList& list);

}  // namespace quillmar::cli
