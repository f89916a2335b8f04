// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes that an upload sends: every record's line in list order, framed
// by STX CR LF and ETX CR LF. Records whose line begins with STX or ETX (the
// frame lines and the checksum line of a book received from the instrument)
// are left out, so that the frame built here is the only one the instrument
// sees; the records themselves stay in the document. Every record's line
// ends in CR LF, also where a line too long for its record lost it.

#include <cstddef>
#include <string>
#include <string_view>

#include "records/record_list.h"

namespace quillmar {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';

struct UploadText {
  std::string bytes;
  std::size_t framingRecordsLeftOut = 0;
};

// Gathers the records one by one, for a caller that does not hold a list.
class UploadTextBuilder {
 public:
  UploadTextBuilder();
  void reserve(std::size_t bodyBytes) { lines_.reserve(bodyBytes + 6); }
  void add(std::string_view line);
  // The framed text; the builder is left empty.
  UploadText take();

 private:
  std::string lines_;
  std::size_t leftOut_ = 0;
};

UploadText buildUploadText(const RecordList& list);

}  // namespace quillmar
