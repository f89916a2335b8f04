// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/table_text.h"

#include <charconv>

namespace quillmar {

void AppendFixed(std::string& out, double value, int decimals) {
  char digits[352];  // the longest double in fixed notation, sign and point included
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return;
  const std::string_view text(digits, static_cast<std::size_t>(end - digits));
  // "-0.0000": a small negative value rounded away to nothing.
  const bool negativeZero = text.front() == '-' && text.find_first_not_of("-0.") == std::string_view::npos;
  out.append(negativeZero ? text.substr(1) : text);
}

std::string FixedText(double value, int decimals) {
  std::string text;
  AppendFixed(text, value, decimals);
  return text;
}

void AppendTableField(std::string& out, std::string_view field, char separator) {
  const char special[] = {separator, '"', '\r', '\n'};
  if (field.find_first_of(std::string_view(special, sizeof special)) == std::string_view::npos) {
    out.append(field);
    return;
  }
  out.push_back('"');
  for (const char c : field) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace quillmar
