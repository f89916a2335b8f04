// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A field of an SDR line: the characters at 1-based positions, cut short where
// the line ends, never trimmed or padded.

#include <cstddef>
#include <string_view>

namespace quillmar {

inline std::string_view sdrField(std::string_view line, std::size_t start, std::size_t width) {
  if (start == 0 || start > line.size()) return {};
  return line.substr(start - 1, width);
}

// A one-character code: '\0' stands for a position past the end of the line,
// which matches no code.
inline char sdrCode(std::string_view line, std::size_t position) {
  return position >= 1 && position <= line.size() ? line[position - 1] : '\0';
}

}  // namespace quillmar
