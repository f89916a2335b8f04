#pragma once
// Reading a text file line by line: a line ends at LF or CR LF, a CR that is
// not followed by LF is dropped, and byte 26 (Ctrl-Z) ends the file.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quillmar {

// Calls `onLine` with every line's text (without its line end), in order.
// Throws IoError when the file cannot be opened or read.
void forEachTextLine(const std::string& path, const std::function<void(std::string_view)>& onLine);

// The same lines from bytes already in memory.
void forEachTextLineIn(std::string_view bytes, const std::function<void(std::string_view)>& onLine);

struct TextLineCount {
  std::size_t lines = 0;  // empty ones included; no content at all counts as one
  std::size_t bytes = 0;  // bytes up to the end of the text
};

// The first of the two reading passes: counts lines without keeping them.
TextLineCount countTextLines(const std::string& path);

}  // namespace quillmar
