#include "link/upload_text.h"

#include <utility>

namespace quillmar {

std::string UploadTextBuilder::take() {
  static constexpr std::string_view kStartLine = "\x02\r\n";
  static constexpr std::string_view kEndLine = "\x03\r\n";
  std::string lines = std::exchange(lines_, {});
  if (lines.empty() || lines.front() != kStx) lines.insert(0, kStartLine);
  // Only the character before the final CR LF is looked at.
  if (lines.size() < 3 || lines[lines.size() - 3] != kEtx) lines.append(kEndLine);
  return lines;
}

std::string buildUploadText(const RecordList& list) {
  UploadTextBuilder builder;
  std::size_t total = 0;
  for (std::size_t i = 0; i < list.size(); ++i) total += list.body(i).size();
  builder.reserve(total);
  for (std::size_t i = 0; i < list.size(); ++i) builder.add(list.body(i));
  return builder.take();
}

}  // namespace quillmar
