// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program-wide line buffer that SDR import and reception fill and
// Obrabotka turns into records. Every line ends in CR LF. The lines share one
// text so that a large field book costs little more than its bytes.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar {

class LineBuffer {
 public:
  void clear() {
    text_.clear();
    ends_.clear();
  }
  void reserve(std::size_t lines, std::size_t bytes) {
    ends_.reserve(lines);
    text_.reserve(bytes);
  }
  // Stores `text` followed by CR LF as the next line.
  void appendLine(std::string_view text) {
    text_.append(text);
    text_.append("\r\n", 2);
    ends_.push_back(text_.size());
  }
  std::size_t size() const { return ends_.size(); }
  // The line with its CR LF.
  std::string_view line(std::size_t index) const {
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
  }

 private:
  std::string text_;
  std::vector<std::size_t> ends_;
};

}  // namespace quillmar
