// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a text file line by line: a line ends at LF or CR LF, a CR that is
// not followed by LF is dropped, and byte 26 (Ctrl-Z) ends the file. A line
// keeps only what a record can hold of it, so that memory stays flat for any
// input, a line of gigabytes or an endless device.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "records/survey_record.h"

namespace quillmar {

// The bytes of a line that are kept, CRs removed; the rest is passed over.
inline constexpr std::size_t kLongestLineKept = kBodyCapacity;

// Splits bytes fed in pieces into lines, dropping every CR: the one before LF
// is part of the line end and any other is a lone CR. Bytes past what a line
// keeps are only looked through for the line's end.
class LineSplitter {
 public:
  explicit LineSplitter(const std::function<void(std::string_view)>& onLine) : onLine_(onLine) {}

  // Feeds the next piece; returns false once byte 26 has ended the text.
  bool feed(std::string_view bytes);
  // The last line of a text that does not end in LF.
  void finish();
  // What is held of the current line between two pieces.
  std::size_t keptBytes() const { return line_.capacity(); }

 private:
  void appendWithoutCr(std::string_view bytes);
  void takeDirect();
  void emitLine();

  const std::function<void(std::string_view)>& onLine_;
  std::string line_;
  std::string_view direct_;
  bool pending_ = false;
};

// Hears the number of bytes read so far after every chunk; it may throw to
// stop the reading (a cancel button).
using ReadProgress = std::function<void(std::size_t bytesRead)>;

// Calls `onLine` with every line's text (without its line end), in order.
// Throws IoError when the file cannot be opened or read.
void forEachTextLine(const std::string& path, const std::function<void(std::string_view)>& onLine,
                     const ReadProgress& progress = {});

// The same lines from bytes already in memory.
void forEachTextLineIn(std::string_view bytes, const std::function<void(std::string_view)>& onLine);

struct TextLineCount {
  std::size_t lines = 0;  // empty ones included; no content at all counts as one
  std::size_t bytes = 0;  // bytes up to the end of the text, at most what the lines keep
};

// The first of the two reading passes: counts lines without keeping them.
TextLineCount countTextLines(const std::string& path, const ReadProgress& progress = {});

}  // namespace quillmar
