// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Any bytes read as the import reads a field book.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "records/import.h"
#include "records/text_lines.h"

inline quillmar::RecordList FieldBookOf(const std::uint8_t* data, std::size_t size) {
  using namespace quillmar;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  LineBuffer lines;
  forEachTextLineIn(bytes, [&](std::string_view line) {
    if (!line.empty()) lines.appendLine(line);
  });
  CaptionState captions;
  RecordList list;
  Obrabotka(lines, lines.size(), captions, list);
  return list;
}
