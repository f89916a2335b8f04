// SPDX-License-Identifier: GPL-3.0-or-later
// Any line read into field rows and assembled again: the assembled line has
// the layout's length, ends in its only CR LF, and a full-length line without
// stray line ends comes back unchanged.
#include <cstdint>

#include <cstdlib>
#include <string>
#include <vector>
#include "tests/fuzz/fuzz_check.h"

#include "editing/field_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmar;
  const std::string line(reinterpret_cast<const char*>(data), size);
  for (std::string_view type : {"02", "03", "08", "09"}) {
    for (char version : {'2', '3'}) {
      for (std::string_view deriv : {"F1", "MC", "TS"}) {
        const auto rows = FieldRows(type, version, deriv);
        if (rows.empty()) continue;
        std::vector<std::string> values;
        std::size_t width = 0;
        for (const auto& row : rows) {
          values.push_back(EditableValue(line, row));
          width += row.width;
        }
        const std::string assembled = AssembleLine(type, deriv, rows, values);
        check(assembled.size() == 4 + width + 2);
        check(assembled.find_first_of("\r\n") == assembled.size() - 2);
        const std::string text =
            std::string(type) + std::string(deriv) + line.substr(std::min<std::size_t>(4, line.size()));
        if (text.size() >= 4 + width && text.substr(0, 4 + width).find_first_of("\r\n") == std::string::npos) {
          check(assembled == text.substr(0, 4 + width) + "\r\n");
        }
      }
    }
  }
  return 0;
}
