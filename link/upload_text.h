#pragma once
// The bytes that an upload sends: every record's line in list order, framed
// by STX CR LF and ETX CR LF unless the records already carry that framing
// (a document received from the instrument starts with an STX line and ends
// with an ETX line).

#include <string>
#include <string_view>

#include "records/record_list.h"

namespace quillmar {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';

std::string frameUploadText(std::string lines);

std::string buildUploadText(const RecordList& list);

}  // namespace quillmar
