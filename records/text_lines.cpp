// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/text_lines.h"

#include <algorithm>
#include <cstring>

#include "records/input_file.h"
#include "records/io_error.h"

namespace quillmar {
namespace {

constexpr std::size_t kChunkSize = 1 << 18;  // fits the cache the kernel copies into
constexpr char kEndOfFile = 26;

}  // namespace

bool LineSplitter::feed(std::string_view bytes) {
  const std::size_t stop = bytes.find(kEndOfFile);
  const bool ended = stop != std::string_view::npos;
  if (ended) bytes = bytes.substr(0, stop);
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    if (lf == std::string_view::npos) {
      appendWithoutCr(bytes);
      takeDirect();  // the chunk behind `bytes` is about to be reused
      break;
    }
    std::string_view text = bytes.substr(0, lf);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);  // the CR of CR LF
    appendWithoutCr(text);
    emitLine();
    bytes.remove_prefix(lf + 1);
  }
  return !ended;
}

void LineSplitter::finish() {
  if (pending_) emitLine();
}

void LineSplitter::appendWithoutCr(std::string_view bytes) {
  pending_ = pending_ || !bytes.empty();
  const std::size_t room = kLongestLineKept - line_.size() - direct_.size();
  if (room == 0) return;
  if (line_.empty() && direct_.empty() && bytes.substr(0, room).find('\r') == std::string_view::npos) {
    direct_ = bytes.substr(0, room);  // the common case: hand over the bytes without a copy
    return;
  }
  takeDirect();
  for (std::size_t i = 0; i < bytes.size() && line_.size() < kLongestLineKept; ++i) {
    if (bytes[i] != '\r') line_.push_back(bytes[i]);
  }
}

void LineSplitter::takeDirect() {
  if (!direct_.empty()) line_.append(direct_);
  direct_ = {};
}

void LineSplitter::emitLine() {
  if (!line_.empty()) {
    takeDirect();
    onLine_(line_);
  } else {
    onLine_(direct_);
  }
  line_.clear();
  direct_ = {};
  pending_ = false;
}

namespace {

std::size_t countLineFeeds(std::string_view bytes) {
  std::size_t count = 0;
  const char* at = bytes.data();
  const char* end = at + bytes.size();
  while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr) {
    ++count;
    ++at;
  }
  return count;
}

}  // namespace

void forEachTextLineIn(std::string_view bytes, const std::function<void(std::string_view)>& onLine) {
  LineSplitter lines(onLine);
  lines.feed(bytes);
  lines.finish();
}

void forEachTextLine(const std::string& path, const std::function<void(std::string_view)>& onLine,
                     const ReadProgress& progress) {
  InputFile file(path);
  LineSplitter lines(onLine);
  std::string chunk(kChunkSize, '\0');
  std::size_t bytesRead = 0;
  for (;;) {
    const std::size_t n = file.readSome(chunk.data(), chunk.size());
    if (n == 0 || !lines.feed(std::string_view(chunk.data(), n))) break;
    bytesRead += n;
    if (progress) progress(bytesRead);
  }
  lines.finish();
}

TextLineCount countTextLines(const std::string& path, const ReadProgress& progress) {
  InputFile file(path);
  std::string chunk(kChunkSize, '\0');
  TextLineCount count;
  bool lineOpen = false;
  for (;;) {
    std::size_t n = file.readSome(chunk.data(), chunk.size());
    if (n == 0) break;
    const char* stop = static_cast<const char*>(std::memchr(chunk.data(), kEndOfFile, n));
    if (stop != nullptr) n = static_cast<std::size_t>(stop - chunk.data());
    count.lines += countLineFeeds(std::string_view(chunk.data(), n));
    count.bytes += n;
    if (n > 0) lineOpen = chunk[n - 1] != '\n';
    if (stop != nullptr) break;
    if (progress) progress(count.bytes);
  }
  if (lineOpen || count.lines == 0) ++count.lines;
  count.bytes = std::min(count.bytes, count.lines * kLongestLineKept);
  return count;
}

}  // namespace quillmar
