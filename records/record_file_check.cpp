// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_file_check.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace quillmar {
namespace {

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
  if (startsLikeSdrText(start)) check.doubt = RecordFileDoubt::SdrText;
  return check;
}

RecordFileCheck checkRecordFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  std::ifstream in(path, std::ios::binary);
  if (error || !in) return {};
  std::string start(kSdrLineLookahead, '\0');
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(in.gcount()));
  return checkRecordFileStart(start, size);
}

}  // namespace quillmar
