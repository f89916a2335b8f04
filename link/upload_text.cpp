// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/upload_text.h"

#include <utility>

namespace quillmar {
namespace {

constexpr std::string_view kStartLine = "\x02\r\n";
constexpr std::string_view kEndLine = "\x03\r\n";

}  // namespace

UploadTextBuilder::UploadTextBuilder() : lines_(kStartLine) {}

void UploadTextBuilder::add(std::string_view line) {
  if (!line.empty() && (line.front() == kStx || line.front() == kEtx)) {
    ++leftOut_;
    return;
  }
  // A line too long for its record lost its line end: the instrument gets it back.
  lines_.append(line).append(missingLineEnd(line));
}

UploadText UploadTextBuilder::take() {
  lines_.append(kEndLine);
  return {std::exchange(lines_, std::string(kStartLine)), std::exchange(leftOut_, 0)};
}

UploadText buildUploadText(const RecordList& list) {
  UploadTextBuilder builder;
  std::size_t total = 0;
  for (std::size_t i = 0; i < list.size(); ++i) total += list.body(i).size();
  builder.reserve(total);
  for (std::size_t i = 0; i < list.size(); ++i) builder.add(list.body(i));
  return builder.take();
}

}  // namespace quillmar
