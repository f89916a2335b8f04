// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A record line's fixed-width fields, as the tests write them.

#include <algorithm>
#include <string>
#include <string_view>

namespace quillmar::testing {

// `text` then blanks up to `width`.
inline std::string left(std::string_view text, std::size_t width) {
  std::string field(text);
  field.resize(width, ' ');
  return field;
}

// Blanks then `text`, `width` in all; a longer text whole.
inline std::string right(std::string_view text, std::size_t width) {
  return std::string(width - std::min(width, text.size()), ' ') + std::string(text);
}

}  // namespace quillmar::testing
