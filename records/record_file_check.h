// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a file chosen for "Открыть" is plainly not a record file: reading
// an SDR text as records gives rows of garbage, and saving them would write
// binary records over the field book. Only the start of the file is looked
// at; a file that cannot be read is left to the reader to report, and so is
// a record file with a partial record or an oversized length at the end
// (the reader reads it as records and tells what it found).

#include <cstdint>
#include <string>

namespace quillmar {

enum class RecordFileDoubt {
  None,
  SdrText,  // starts like the text of an SDR field book
};

struct RecordFileCheck {
  RecordFileDoubt doubt = RecordFileDoubt::None;
  std::uintmax_t size = 0;  // of the file, in bytes
};

RecordFileCheck checkRecordFile(const std::string& path);
// The same for the file's first bytes and its whole size.
RecordFileCheck checkRecordFileStart(std::string_view start, std::uintmax_t size);

}  // namespace quillmar
