#include "records/text_lines.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "records/io_error.h"

namespace quillmar {
namespace {

constexpr std::size_t kChunkSize = 1 << 18;  // fits the cache the kernel copies into
constexpr char kEndOfFile = 26;

class InputFile {
 public:
  explicit InputFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0) throw IoError::fromErrno(errno);
  }
  ~InputFile() { ::close(fd_); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Fills `buffer` with up to its size; returns the count, 0 at the end.
  std::size_t read(char* buffer, std::size_t size) {
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, size);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) throw IoError::fromErrno(errno);
    }
  }

 private:
  int fd_;
};

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
    const std::size_t n = file.read(chunk.data(), chunk.size());
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
    std::size_t n = file.read(chunk.data(), chunk.size());
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
