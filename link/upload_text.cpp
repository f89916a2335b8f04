#include "link/upload_text.h"

namespace quillmar {

std::string frameUploadText(std::string lines) {
  static constexpr std::string_view kStartLine = "\x02\r\n";
  static constexpr std::string_view kEndLine = "\x03\r\n";
  if (lines.empty() || lines.front() != kStx) lines.insert(0, kStartLine);
  // Only the character before the final CR LF is looked at.
  if (lines.size() < 3 || lines[lines.size() - 3] != kEtx) lines.append(kEndLine);
  return lines;
}

std::string buildUploadText(const RecordList& list) {
  std::string lines;
  std::size_t total = 0;
  for (std::size_t i = 0; i < list.size(); ++i) total += list.body(i).size();
  lines.reserve(total + 6);
  for (std::size_t i = 0; i < list.size(); ++i) lines.append(list.body(i));
  return frameUploadText(std::move(lines));
}

}  // namespace quillmar
