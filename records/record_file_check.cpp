// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_file_check.h"

#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "records/record_file.h"

namespace quillmar {
namespace {

// Enough records to tell, few enough to cost nothing on a large file.
constexpr std::size_t kRecordsLookedAt = 368;
// Where each length byte of a record stands, and its field's capacity.
constexpr std::array<std::pair<std::size_t, unsigned char>, 3> kLengthBytes{{{0, 2}, {3, 2}, {7, 170}}};
constexpr std::size_t kSdrLineLookahead = 256;

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Two digits of a record type and a line end soon after: an SDR text.
bool startsLikeSdrText(std::string_view start) {
  if (start.size() < 4 || !isDigit(start[0]) || !isDigit(start[1])) return false;
  return start.substr(0, kSdrLineLookahead).find('\n') != std::string_view::npos;
}

}  // namespace

RecordFileCheck checkRecordFileStart(std::string_view start, std::uintmax_t size) {
  RecordFileCheck check;
  check.size = size;
  if (startsLikeSdrText(start)) {
    check.doubt = RecordFileDoubt::SdrText;
    return check;
  }
  if (size % kRecordFileRecordSize != 0) {
    check.doubt = RecordFileDoubt::PartialRecord;
    return check;
  }
  for (std::size_t at = 0; at + kRecordFileRecordSize <= start.size(); at += kRecordFileRecordSize) {
    for (const auto& [offset, capacity] : kLengthBytes) {
      if (static_cast<unsigned char>(start[at + offset]) <= capacity) continue;
      check.doubt = RecordFileDoubt::LengthOverCapacity;
      check.record = at / kRecordFileRecordSize + 1;
      return check;
    }
  }
  return check;
}

RecordFileCheck checkRecordFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  std::ifstream in(path, std::ios::binary);
  if (error || !in) return {};
  std::string start(kRecordsLookedAt * kRecordFileRecordSize, '\0');
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(in.gcount()));
  return checkRecordFileStart(start, size);
}

}  // namespace quillmar
