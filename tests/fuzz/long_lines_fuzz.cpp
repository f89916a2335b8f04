// SPDX-License-Identifier: GPL-3.0-or-later
// Text of any size, described by a small input: "N bytes of X" runs and
// literal bytes, fed to the line splitter in the reader's 256 KiB chunks. The
// lines must be what a plain model of the rules gives, and what the splitter
// holds between chunks must stay small whatever the line's length: a line of
// hundreds of megabytes, endless NULs, CRs or LFs on a chunk seam.
//
// Input: a sequence of items. A first byte below 0x80 is a literal of that
// many following bytes; 0x80 | s is a run: value byte, then a 16-bit count n
// (little-endian), giving n << s bytes of the value.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "records/text_lines.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using quillmar::kLongestLineKept;

constexpr std::size_t kChunk = 256 * 1024;                // the reader's
constexpr std::size_t kMostBytes = std::size_t{1} << 28;  // per input, to keep runs quick
constexpr std::size_t kMostHeld = 4 * kLongestLineKept;

struct Piece {
  std::string literal;
  char value = 0;
  std::size_t count = 0;  // of `value` when `literal` is empty
};

std::vector<Piece> parse(const std::uint8_t* data, std::size_t size) {
  std::vector<Piece> pieces;
  std::size_t total = 0;
  for (std::size_t at = 0; at < size && total < kMostBytes;) {
    const std::uint8_t tag = data[at++];
    Piece piece;
    if (tag < 0x80) {
      const std::size_t n = std::min<std::size_t>(tag, size - at);
      piece.literal.assign(reinterpret_cast<const char*>(data + at), n);
      at += n;
      piece.count = n;
    } else {
      if (size - at < 3) break;
      piece.value = static_cast<char>(data[at]);
      const std::size_t n = data[at + 1] | (std::size_t{data[at + 2]} << 8);
      at += 3;
      piece.count = std::min(n << (tag & 0x0F), kMostBytes - total);
    }
    total += piece.count;
    pieces.push_back(std::move(piece));
  }
  return pieces;
}

// Order-sensitive digest of lines.
struct Digest {
  std::uint64_t hash = 1469598103934665603ull;
  std::size_t lines = 0;
  void add(std::string_view line) {
    for (unsigned char c : line) hash = (hash ^ c) * 1099511628211ull;
    hash = (hash ^ 0x100) * 1099511628211ull;
    ++lines;
  }
  bool operator==(const Digest&) const = default;
};

// The rules, one byte at a time: every CR goes, LF ends a line, byte 26 ends
// the text, a line keeps its first bytes only.
class Model {
 public:
  void add(char c, std::size_t times) {
    if (ended_ || times == 0) return;
    if (c == 26) {
      ended_ = true;
    } else if (c == '\n') {
      digest.add(line_);
      for (std::size_t i = 1; i < times; ++i) digest.add({});
      line_.clear();
      open_ = false;
    } else {
      open_ = true;
      if (c != '\r') line_.append(std::min(times, kLongestLineKept - line_.size()), c);
    }
  }
  void finish() {
    if (open_) digest.add(line_);
  }
  Digest digest;

 private:
  std::string line_;
  bool open_ = false;
  bool ended_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<Piece> pieces = parse(data, size);
  Model model;
  for (const Piece& piece : pieces) {
    if (piece.literal.empty()) model.add(piece.value, piece.count);
    for (char c : piece.literal) model.add(c, 1);
  }
  model.finish();

  Digest seen;
  const std::function<void(std::string_view)> onLine = [&seen](std::string_view line) {
    check(line.size() <= kLongestLineKept);
    seen.add(line);
  };
  quillmar::LineSplitter splitter(onLine);
  std::string chunk;
  chunk.reserve(kChunk);
  bool going = true;
  auto feed = [&] {
    going = going && splitter.feed(chunk);
    check(splitter.keptBytes() <= kMostHeld);
    chunk.clear();
  };
  for (const Piece& piece : pieces) {
    std::size_t left = piece.count;
    for (std::size_t i = 0; left > 0;) {
      const std::size_t n = std::min(left, kChunk - chunk.size());
      if (piece.literal.empty())
        chunk.append(n, piece.value);
      else
        chunk.append(piece.literal, i, n);
      i += n;
      left -= n;
      if (chunk.size() == kChunk) feed();
    }
  }
  if (!chunk.empty()) feed();
  splitter.finish();
  check(seen == model.digest);
  return 0;
}
