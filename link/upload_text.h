#pragma once
// The bytes that an upload sends: every record's line in list order, framed
// by STX CR LF and ETX CR LF unless the records already carry that framing
// (a document received from the instrument starts with an STX line and ends
// with an ETX line).

#include <cstddef>
#include <string>
#include <string_view>

#include "records/record_list.h"

namespace quillmar {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';

// Gathers the records one by one, for a caller that does not hold a list.
class UploadTextBuilder {
 public:
  void reserve(std::size_t bodyBytes) { lines_.reserve(bodyBytes + 6); }
  void add(std::string_view line) { lines_.append(line); }
  // The framed text; the builder is left empty.
  std::string take();

 private:
  std::string lines_;
};

std::string buildUploadText(const RecordList& list);

}  // namespace quillmar
